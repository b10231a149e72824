#pragma once

#include "MenuButton.h"

// A menu button that reads like a combo box: its text starts at the left edge.
class ComboMenu : public MenuButton
{
    Q_OBJECT
public:
    explicit ComboMenu(const QIcon& icon = QIcon(), const QString& text = QString(), QWidget* parent = nullptr);
};
