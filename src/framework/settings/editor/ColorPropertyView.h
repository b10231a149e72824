#pragma once

#include "BasePropertyView.h"

class QLineEdit;

class ColorPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit ColorPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QLineEdit* m_edit = nullptr;
};
