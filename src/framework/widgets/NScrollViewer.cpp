#include "NScrollViewer.h"

#include "NStackPanel.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

NScrollViewer::NScrollViewer(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent)
    , m_scrollArea(new QScrollArea(this))
    , m_panel(new NStackPanel(orientation))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scrollArea);
    m_scrollArea->setObjectName(QStringLiteral("nscrollviewer"));
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(
        orientation == Qt::Vertical ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    m_scrollArea->setVerticalScrollBarPolicy(
        orientation == Qt::Vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidget(m_panel);
}

void NScrollViewer::add(QWidget* widget, int stretch)
{
    m_panel->add(widget, stretch);
    checkPlaceholder();
}

void NScrollViewer::remove(QWidget* widget)
{
    m_panel->remove(widget);
    checkPlaceholder();
}

void NScrollViewer::clear()
{
    m_panel->clear();
    checkPlaceholder();
}

int NScrollViewer::count() const
{
    return m_panel->count();
}

QWidget* NScrollViewer::itemAt(int index) const
{
    return m_panel->at(index);
}

void NScrollViewer::setSpacing(int spacing)
{
    m_panel->setSpacing(spacing);
}

void NScrollViewer::setItemPadding(const QMargins& padding)
{
    m_panel->setItemPadding(padding);
}

void NScrollViewer::setItemAlignment(Qt::Alignment alignment)
{
    m_panel->setItemAlignment(alignment);
}

void NScrollViewer::setItemAlignmentByIndex(int index, Qt::Alignment alignment)
{
    m_panel->setItemAlignmentByIndex(index, alignment);
}

void NScrollViewer::setItemVisible(int index, bool visible)
{
    if (QWidget* widget = m_panel->at(index))
        widget->setVisible(visible);
}

void NScrollViewer::setPlaceholderText(const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QStringLiteral("subtext"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    setPlaceholderWidget(label);
}

void NScrollViewer::setPlaceholderWidget(QWidget* widget)
{
    delete m_placeholder;
    m_placeholder = widget;
    if (m_placeholder) {
        // The placeholder lives beside the scroll area, not among the items, so that count() never sees it.
        layout()->addWidget(m_placeholder);
    }
    checkPlaceholder();
}

void NScrollViewer::checkPlaceholder()
{
    const bool empty = m_panel->count() == 0;
    if (m_placeholder) {
        m_placeholder->setVisible(empty);
        m_scrollArea->setVisible(!empty);
    } else {
        m_scrollArea->setVisible(true);
    }
}

void NScrollViewer::applyFrameStyle(const QString& styleSheet)
{
    m_scrollArea->setStyleSheet(styleSheet);
    m_panel->setAttribute(Qt::WA_StyledBackground, true);
}

void NScrollViewer::setTransparentBackground(bool transparent)
{
    applyFrameStyle(transparent ? QStringLiteral("#nscrollviewer, #nscrollviewer > QWidget > QWidget "
                                                 "{ background: transparent; border: none; }")
                                : QString());
}

void NScrollViewer::setBackground(const QColor& color, bool enabled)
{
    applyFrameStyle(enabled ? QStringLiteral("#nscrollviewer, #nscrollviewer > QWidget > QWidget { background: ")
                + color.name(QColor::HexArgb) + QStringLiteral("; }")
                            : QString());
}

void NScrollViewer::setBackgroundAndBorder(
    const QColor& background, int borderWidth, const QColor& border, bool enabled)
{
    if (!enabled) {
        applyFrameStyle(QString());
        return;
    }
    applyFrameStyle(QStringLiteral("#nscrollviewer { background: ") + background.name(QColor::HexArgb)
        + QStringLiteral("; border: ") + QString::number(borderWidth) + QStringLiteral("px solid ")
        + border.name(QColor::HexArgb) + QStringLiteral("; } #nscrollviewer > QWidget > QWidget { background: ")
        + background.name(QColor::HexArgb) + QStringLiteral("; }"));
}
