#pragma once

#include "BasePropertyView.h"

class QPlainTextEdit;

class MultilinePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit MultilinePropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QPlainTextEdit* m_edit = nullptr;
};
