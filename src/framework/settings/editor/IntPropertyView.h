#pragma once

#include "BasePropertyView.h"

class QSpinBox;

class IntPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit IntPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void up() override;
    void down() override;
    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QSpinBox* m_spinBox = nullptr;
};
