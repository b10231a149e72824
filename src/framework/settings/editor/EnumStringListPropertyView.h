#pragma once

#include "BasePropertyView.h"

class QComboBox;

class EnumStringListPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit EnumStringListPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QComboBox* m_edit = nullptr;
};
