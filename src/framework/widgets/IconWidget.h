#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

class QTimer;

// An SVG icon with one colour swapped (the icons are drawn in #303030), painted at the widget's size.
// While animated it turns slowly, as a busy sign.
class IconWidget : public QWidget
{
    Q_OBJECT
public:
    explicit IconWidget(const QString& path = QString(), const QColor& color = QColor(), const QSize& size = QSize(),
        const QColor& colorToReplace = QColor(0x30, 0x30, 0x30), QWidget* parent = nullptr);

    void setIcon(const QString& path, const QColor& color, const QColor& colorToReplace = QColor(0x30, 0x30, 0x30));
    QString path() const { return m_path; }
    QColor color() const { return m_color; }

    void animate(bool animated);
    bool isAnimated() const { return m_animated; }
    // Shows the disabled state as normal and the enabled state dimmed, for icons that mark a missing thing.
    void setInvertedEnabledBehavior(bool inverted);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void render();

    QString m_path;
    QColor m_color;
    QColor m_colorToReplace;
    QByteArray m_svg;
    QPixmap m_pixmap;
    QTimer* m_animation = nullptr;
    bool m_animated = false;
    bool m_inverted = false;
    int m_angle = 0;
};
