#pragma once

#include "BasePropertyView.h"

#include <QStringList>

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
    // Marks a text that is not an address of one of the allowed schemes (empty is allowed: it turns the use off).
    void showValidity(const QString& text);

    QLineEdit* m_edit = nullptr;
    QStringList m_schemes;
};
