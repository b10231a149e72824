#pragma once

#include "BasePropertyView.h"

class QDateTimeEdit;

class DatePropertyView : public BasePropertyView
{
    Q_OBJECT
public:
    explicit DatePropertyView(AbstractMetaDescription* description, QWidget* parent = nullptr);

    void nullifyEditor() override;

public slots:
    void metaValueChanged(QVariant value) override;

private:
    QDateTimeEdit* m_edit = nullptr;
    bool m_dateOnly = true;
};
