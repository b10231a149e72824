#include "UIHelper.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QUrl>

QLabel* UIHelper::GenerateLabelWithName(const QString& text, const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(objectName);
    return label;
}

QPushButton* UIHelper::GenerateLinkButton(
    const QString& address, const QString& text, const QIcon& icon, const QString& objectName)
{
    auto* button = new QPushButton(icon, text);
    button->setObjectName(objectName);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(address);
    QObject::connect(button, &QPushButton::clicked, button,
        [address]() { QDesktopServices::openUrl(QUrl::fromUserInput(address)); });
    return button;
}

void UIHelper::ChangeBackground(QWidget* widget, const QColor& color)
{
    if (!widget)
        return;
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, color);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
