#include "IconWidget.h"

#include "MediaHelper.h"

#include <QEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QTimer>

IconWidget::IconWidget(
    const QString& path, const QColor& color, const QSize& size, const QColor& colorToReplace, QWidget* parent)
    : QWidget(parent)
{
    if (size.isValid())
        setFixedSize(size);
    setIcon(path, color, colorToReplace);
}

void IconWidget::setIcon(const QString& path, const QColor& color, const QColor& colorToReplace)
{
    m_path = path;
    m_color = color;
    m_colorToReplace = colorToReplace;
    // recolorSVG compares colour texts as written, and the icons write theirs in upper case.
    QMap<QString, QString> colors;
    if (color.isValid())
        colors.insert(colorToReplace.name().toUpper(), color.name());
    m_svg = path.isEmpty() ? QByteArray() : MediaHelper::recolorSVG(path, colors).toUtf8();
    render();
    update();
}

void IconWidget::animate(bool animated)
{
    if (m_animated == animated)
        return;
    m_animated = animated;
    if (animated) {
        if (!m_animation) {
            m_animation = new QTimer(this);
            m_animation->setInterval(40);
            connect(m_animation, &QTimer::timeout, this, [this]() {
                m_angle = (m_angle + 12) % 360;
                update();
            });
        }
        m_animation->start();
    } else {
        if (m_animation)
            m_animation->stop();
        m_angle = 0;
        update();
    }
}

void IconWidget::setInvertedEnabledBehavior(bool inverted)
{
    m_inverted = inverted;
    update();
}

QSize IconWidget::sizeHint() const
{
    return { 24, 24 };
}

void IconWidget::render()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    m_pixmap = QPixmap();
    if (m_svg.isEmpty() || pixels.isEmpty())
        return;
    QSvgRenderer renderer(m_svg);
    if (!renderer.isValid())
        return;
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    pixmap.setDevicePixelRatio(ratio);
    m_pixmap = pixmap;
}

void IconWidget::paintEvent(QPaintEvent*)
{
    if (m_pixmap.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool dimmed = m_inverted ? isEnabled() : !isEnabled();
    if (dimmed)
        painter.setOpacity(0.4);
    if (m_angle != 0) {
        painter.translate(width() / 2.0, height() / 2.0);
        painter.rotate(m_angle);
        painter.translate(-width() / 2.0, -height() / 2.0);
    }
    painter.drawPixmap(rect(), m_pixmap);
}

void IconWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    render();
}

void IconWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}
