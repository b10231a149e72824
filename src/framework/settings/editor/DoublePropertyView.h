#pragma once

#include "BasePropertyView.h"

class SuggestionDoubleSpinBox;

class DoublePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit DoublePropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void up() override;
    void down() override;
    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    SuggestionDoubleSpinBox* m_spinBox = nullptr;
};
