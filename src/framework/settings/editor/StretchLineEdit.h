#pragma once

#include <QLineEdit>

// An editable label: a frameless line edit whose preferred width follows its text.
class StretchLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit StretchLineEdit(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
