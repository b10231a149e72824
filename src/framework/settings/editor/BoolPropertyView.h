#pragma once

#include "BasePropertyView.h"

class QCheckBox;

class BoolPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit BoolPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QCheckBox* m_edit = nullptr;
};
