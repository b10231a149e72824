#pragma once

#include "BasePropertyView.h"

class QPlainTextEdit;

class StringListPropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit StringListPropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QPlainTextEdit* m_edit = nullptr;
};
