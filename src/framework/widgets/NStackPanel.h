#pragma once

#include <QBoxLayout>
#include <QMargins>
#include <QWidget>

// Widgets in a row or a column, packed towards the start; the space that is left stays at the end.
class NStackPanel : public QWidget
{
    Q_OBJECT
public:
    explicit NStackPanel(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    NStackPanel& add(QWidget* widget, int stretch = 0);
    NStackPanel& operator<<(QWidget* widget) { return add(widget); }
    QWidget* at(int index) const;
    // Takes the widget out of the panel and deletes it.
    void remove(QWidget* widget);
    void remove(int index);
    void clear();
    int count() const;

    void setOrientation(Qt::Orientation orientation);
    Qt::Orientation boxOrientation() const { return m_orientation; }
    void setSpacing(int spacing);
    void setPadding(int padding);
    void setPadding(const QMargins& padding);
    // Margins inside every item, for the items there and those added later.
    void setItemPadding(const QMargins& padding);
    void setItemAlignment(Qt::Alignment alignment);
    void setItemAlignmentByIndex(int index, Qt::Alignment alignment);
    // Applies the item alignment again to every item.
    void realign();

    QBoxLayout* boxLayout() const { return m_layout; }

private:
    QBoxLayout* m_layout = nullptr;
    Qt::Orientation m_orientation = Qt::Vertical;
    Qt::Alignment m_itemAlignment;
    QMargins m_itemPadding;
    bool m_hasItemPadding = false;
};
