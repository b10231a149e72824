#pragma once

#include <QColor>
#include <QMargins>
#include <QWidget>

class NStackPanel;
class QLabel;
class QScrollArea;

// A scrolling column (or row) of widgets, with an optional placeholder shown while it is empty.
class NScrollViewer : public QWidget
{
    Q_OBJECT
public:
    explicit NScrollViewer(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    void add(QWidget* widget, int stretch = 0);
    void addWidget(QWidget* widget) { add(widget); }
    void remove(QWidget* widget);
    void clear();
    int count() const;
    QWidget* itemAt(int index) const;
    NStackPanel* getStackPanel() const { return m_panel; }
    QScrollArea* getScrollArea() const { return m_scrollArea; }

    void setSpacing(int spacing);
    void setItemPadding(const QMargins& padding);
    void setItemAlignment(Qt::Alignment alignment);
    void setItemAlignmentByIndex(int index, Qt::Alignment alignment);
    void setItemVisible(int index, bool visible);

    void setPlaceholderText(const QString& text);
    // The viewer takes ownership of the widget.
    void setPlaceholderWidget(QWidget* widget);
    void checkPlaceholder();

    void setTransparentBackground(bool transparent = true);
    void setBackground(const QColor& color, bool enabled = true);
    void setBackgroundAndBorder(const QColor& background, int borderWidth, const QColor& border, bool enabled = true);

private:
    void applyFrameStyle(const QString& styleSheet);

    QScrollArea* m_scrollArea = nullptr;
    NStackPanel* m_panel = nullptr;
    QWidget* m_placeholder = nullptr;
};
