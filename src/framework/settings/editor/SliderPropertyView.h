#pragma once

#include "BasePropertyView.h"

class QSlider;

class SliderPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit SliderPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void up() override;
    void down() override;
    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QSlider* m_edit = nullptr;
    double m_minimum = 0;
    double m_step = 1;
};
