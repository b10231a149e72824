#pragma once

#include "BasePropertyView.h"

class QComboBox;

class EnumPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit EnumPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QComboBox* m_edit = nullptr;
};
