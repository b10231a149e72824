#pragma once

#include "HalvexSettings.h"

#include <QKeySequence>
#include <QList>
#include <QStackedWidget>

class QPushButton;

// The main window's views (the value table, the graphs, …) as pages of one stack, each with a checkable tool-bar
// button and a window shortcut. The shown view is the setting View and follows its changes.
class ViewStack : public QStackedWidget
{
    Q_OBJECT
public:
    // The shortcuts belong to window, so that they work while the stack is hidden behind the empty state.
    explicit ViewStack(HalvexSettings* settings, QWidget* window);

    // Adds a page with its button; the buttons are joined in the order of the calls. Once all are added, the owner
    // shows the stored view with switchView(settings->getView()).
    QPushButton* addView(HalvexSettings::ViewMode view, QWidget* page, const QString& buttonName, const QString& icon,
        const QString& toolTip, const QKeySequence& key);
    // Shows the page of view (the graphs for a view without a page), checks its button and stores the choice.
    void switchView(HalvexSettings::ViewMode view);
    const QList<QPushButton*>& buttons() const { return m_buttons; }

private:
    void roundOuterCorners();

    HalvexSettings* m_settings = nullptr;
    QWidget* m_window = nullptr;
    QList<HalvexSettings::ViewMode> m_views;
    QList<QPushButton*> m_buttons;
};
