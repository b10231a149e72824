#pragma once

#include "BasePropertyView.h"

class QLineEdit;

class StringPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit StringPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QLineEdit* m_edit = nullptr;
};
