#include "ComboMenu.h"

ComboMenu::ComboMenu(const QIcon& icon, const QString& text, QWidget* parent)
    : MenuButton(icon, text, parent)
{
    setStyleSheet(QStringLiteral("text-align: left"));
}
