#include "ViewStack.h"

#include "MainToolBar.h"

#include <QPushButton>
#include <QShortcut>

ViewStack::ViewStack(HalvexSettings* settings, QWidget* window)
    : QStackedWidget(window)
    , m_settings(settings)
    , m_window(window)
{
    setObjectName(QStringLiteral("viewStack"));
    setContentsMargins(0, 0, 0, 0);
    connect(m_settings, &HalvexSettings::changedView, this, &ViewStack::switchView);
}

QPushButton* ViewStack::addView(HalvexSettings::ViewMode view, QWidget* page, const QString& buttonName,
    const QString& icon, const QString& toolTip, const QKeySequence& key)
{
    addWidget(page);
    m_views.append(view);
    auto* button = MainToolBar::iconButton(m_window, buttonName, icon);
    button->setCheckable(true);
    button->setToolTip(MainToolBar::withShortcut(toolTip, key));
    m_buttons.append(button);
    roundOuterCorners();
    connect(button, &QPushButton::clicked, this, [this, view]() { switchView(view); });
    // Shortcuts on the window rather than on the buttons: a click on a checked button would uncheck it first.
    connect(new QShortcut(key, m_window), &QShortcut::activated, this, [this, view]() { switchView(view); });
    return button;
}

void ViewStack::switchView(HalvexSettings::ViewMode view)
{
    qsizetype index = m_views.indexOf(view);
    if (index < 0)
        index = m_views.indexOf(HalvexSettings::View_Graphics);
    setCurrentIndex(int(index));
    for (qsizetype i = 0; i < m_buttons.size(); ++i)
        m_buttons.at(i)->setChecked(i == index);
    m_settings->setView(view);
}

void ViewStack::roundOuterCorners()
{
    for (qsizetype i = 0; i < m_buttons.size(); ++i) {
        const QString left = i == 0 ? QStringLiteral("8px") : QStringLiteral("0");
        const QString right = i + 1 == m_buttons.size() ? QStringLiteral("8px") : QStringLiteral("0");
        m_buttons.at(i)->setStyleSheet(QStringLiteral("QPushButton { padding: 0; border-top-right-radius: %2; "
                                                      "border-bottom-right-radius: %2; border-top-left-radius: %1; "
                                                      "border-bottom-left-radius: %1 }")
                                           .arg(left, right));
    }
}
