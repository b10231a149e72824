#include "NStackPanel.h"

namespace {

QBoxLayout::Direction directionOf(Qt::Orientation orientation)
{
    return orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
}

} // namespace

NStackPanel::NStackPanel(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , m_layout(new QBoxLayout(directionOf(orientation), this))
    , m_orientation(orientation)
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    // The trailing stretch keeps the items packed at the start; every index below skips it.
    m_layout->addStretch(1);
}

NStackPanel& NStackPanel::add(QWidget* widget, int stretch)
{
    if (!widget)
        return *this;
    if (m_hasItemPadding)
        widget->setContentsMargins(m_itemPadding);
    m_layout->insertWidget(count(), widget, stretch, m_itemAlignment);
    return *this;
}

int NStackPanel::count() const
{
    return m_layout->count() - 1;
}

QWidget* NStackPanel::at(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return m_layout->itemAt(index)->widget();
}

void NStackPanel::remove(QWidget* widget)
{
    if (!widget || m_layout->indexOf(widget) < 0)
        return;
    m_layout->removeWidget(widget);
    delete widget;
}

void NStackPanel::remove(int index)
{
    remove(at(index));
}

void NStackPanel::clear()
{
    while (count() > 0) {
        QLayoutItem* item = m_layout->takeAt(0);
        delete item->widget();
        delete item;
    }
}

void NStackPanel::setOrientation(Qt::Orientation orientation)
{
    m_orientation = orientation;
    m_layout->setDirection(directionOf(orientation));
}

void NStackPanel::setSpacing(int spacing)
{
    m_layout->setSpacing(spacing);
}

void NStackPanel::setPadding(int padding)
{
    m_layout->setContentsMargins(padding, padding, padding, padding);
}

void NStackPanel::setPadding(const QMargins& padding)
{
    m_layout->setContentsMargins(padding);
}

void NStackPanel::setItemPadding(const QMargins& padding)
{
    m_itemPadding = padding;
    m_hasItemPadding = true;
    for (int i = 0; i < count(); ++i)
        at(i)->setContentsMargins(padding);
}

void NStackPanel::setItemAlignment(Qt::Alignment alignment)
{
    m_itemAlignment = alignment;
    realign();
}

void NStackPanel::setItemAlignmentByIndex(int index, Qt::Alignment alignment)
{
    if (QWidget* widget = at(index))
        m_layout->setAlignment(widget, alignment);
}

void NStackPanel::realign()
{
    for (int i = 0; i < count(); ++i)
        m_layout->setAlignment(at(i), m_itemAlignment);
}
