#include "StretchLineEdit.h"

StretchLineEdit::StretchLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(this, &QLineEdit::textChanged, this, &QWidget::updateGeometry);
}

QSize StretchLineEdit::sizeHint() const
{
    const QString shown = text().isEmpty() ? placeholderText() : text();
    const QMargins margins = textMargins() + contentsMargins();
    // A few pixels beyond the text keep the cursor visible at the end.
    const int width = fontMetrics().horizontalAdvance(shown) + margins.left() + margins.right() + 8;
    return { qMax(width, 50), QLineEdit::sizeHint().height() };
}

QSize StretchLineEdit::minimumSizeHint() const
{
    return { 50, QLineEdit::minimumSizeHint().height() };
}
