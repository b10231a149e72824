#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

class UIHelper
{
public:
    static QLabel* GenerateLabelWithName(const QString& text, const QString& objectName, QWidget* parent = nullptr);
    // A flat button that opens the address with the desktop's handler when clicked.
    static QPushButton* GenerateLinkButton(const QString& address, const QString& text, const QIcon& icon = QIcon(),
        const QString& objectName = QStringLiteral("linkButton"));
    static void ChangeBackground(QWidget* widget, const QColor& color);
};
