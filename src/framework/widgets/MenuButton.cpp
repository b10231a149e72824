#include "MenuButton.h"

#include "AppHelper.h"
#include "StyleHelper.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QMenu>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidgetAction>

MenuButton::MenuButton(const QIcon& icon, const QString& text, QWidget* parent)
    : QPushButton(icon, text, parent)
    , m_menu(new QMenu(this))
    , m_action(new QWidgetAction(m_menu))
    , m_panel(new QWidget)
    , m_layout(new QVBoxLayout(m_panel))
{
    setCursor(Qt::PointingHandCursor);
    m_panel->setObjectName(QStringLiteral("menulike"));
    m_panel->setAttribute(Qt::WA_StyledBackground, true);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_action->setDefaultWidget(m_panel);
    m_menu->addAction(m_action);
    setMenu(m_menu);
    connect(m_menu, &QMenu::aboutToShow, this, &MenuButton::menuShown);
    connect(m_menu, &QMenu::aboutToHide, this, &MenuButton::menuHidden);
}

MenuButton::~MenuButton()
{
    if (m_persistent) {
        returnPanelToMenu();
        delete m_persistent;
    }
}

void MenuButton::addWidgetToMenu(QWidget* widget, int stretch, Qt::Alignment alignment)
{
    m_layout->addWidget(widget, stretch, alignment);
}

void MenuButton::addSeparator()
{
    auto* line = new QFrame;
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedHeight(1);
    line->setObjectName(QStringLiteral("menuSeparator"));
    m_layout->addWidget(line);
}

void MenuButton::clear()
{
    while (QLayoutItem* item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void MenuButton::setMenuContentsMargins(int left, int top, int right, int bottom)
{
    m_layout->setContentsMargins(left, top, right, bottom);
}

void MenuButton::hideMenuIndicator()
{
    setStyleSheet(QStringLiteral("QPushButton::menu-indicator { width: 0; image: none}"));
}

void MenuButton::closeMenu()
{
    m_menu->hide();
    if (m_persistent)
        m_persistent->close();
}

void MenuButton::returnPanelToMenu()
{
    if (m_menu->actions().contains(m_action))
        return;
    m_panel->hide();
    m_panel->setParent(nullptr);
    m_menu->addAction(m_action);
}

bool MenuButton::eventFilter(QObject* watched, QEvent* event)
{
    // The overlay deletes itself on close: the panel must leave it first.
    if (watched == m_persistent && event->type() == QEvent::Close) {
        returnPanelToMenu();
        emit menuHidden();
    }
    return QPushButton::eventFilter(watched, event);
}

void MenuButton::showPersistentPanel()
{
    if (m_persistent)
        return;
    m_menu->hide();
    QWidget* owner = QApplication::activeWindow() ? QApplication::activeWindow() : window();

    // The overlay is a window of the button's own: the panel inside must outlive any other window, and the
    // overlay closes (giving the panel back) when the window it covers goes away.
    auto* overlay = new QFrame(this, Qt::Window | Qt::FramelessWindowHint);
    overlay->setObjectName(QStringLiteral("persistentPanel"));
    overlay->setAttribute(Qt::WA_DeleteOnClose);
    StyleHelper::Link(overlay, [overlay]() {
        overlay->setStyleSheet(QStringLiteral("#persistentPanel { background: ")
            + StyleHelper::ThemeColor(QStringLiteral("--n-bg"), Qt::white).name()
            + QStringLiteral("; border: 1px solid ")
            + StyleHelper::ThemeColor(QStringLiteral("--n-btn-border"), Qt::gray).name() + QStringLiteral("; }"));
    });

    auto* layout = new QVBoxLayout(overlay);
    auto* close = new QPushButton(QStringLiteral("X"), overlay);
    close->setToolTip(QCoreApplication::translate("Generic", "Close"));
    close->setStyleSheet(QStringLiteral("font-size: 24px"));
    close->setFixedSize(32, 32);
    close->setCursor(Qt::PointingHandCursor);
    const QIcon closeIcon = CloseIcon();
    if (!closeIcon.isNull()) {
        close->setFlat(true);
        close->setText(QString());
        close->setIcon(closeIcon);
        close->setIconSize(QSize(24, 24));
    }
    layout->addWidget(close, 0, Qt::AlignRight);

    // The menu lets go of the panel (the action gives it back unparented) and gets it again when the overlay
    // closes, so the drop-down keeps working afterwards.
    m_menu->removeAction(m_action);
    const QRect area = owner ? owner->geometry() : QGuiApplication::primaryScreen()->availableGeometry();
    if (m_panel->sizeHint().height() <= area.height() - 40) {
        layout->addStretch(1);
        layout->addWidget(m_panel, 0, Qt::AlignHCenter);
        layout->addStretch(1);
    } else {
        auto* scroll = new QScrollArea(overlay);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setWidget(m_panel);
        layout->addWidget(scroll, 1);
    }
    m_panel->show();
    connect(close, &QPushButton::clicked, overlay, &QWidget::close);
    overlay->installEventFilter(this);
    m_persistent = overlay;
    if (owner && owner != window())
        connect(owner, &QObject::destroyed, overlay, &QWidget::close);
    overlay->setGeometry(area);
    overlay->showFullScreen();
    emit menuShown();
}

MenuButton* MenuButton::fromMenu(QMenu* menu, const QString& styleSheet, QWidget* parent)
{
    if (!menu)
        return nullptr;
    auto* button = new MenuButton(menu->icon(), menu->title(), parent);
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->isSeparator())
            continue;
        auto* item = new QPushButton(action->icon(), action->text());
        item->setFlat(true);
        item->setStyleSheet(styleSheet);
        item->setCursor(Qt::PointingHandCursor);
        item->setEnabled(action->isEnabled());
        connect(item, &QPushButton::clicked, action, [button, action]() {
            button->closeMenu();
            action->trigger();
        });
        button->addWidgetToMenu(item);
    }
    return button;
}

QIcon MenuButton::CloseIcon()
{
    static const QIcon icon = []() {
        QString path = AppHelper::findInResources(QStringLiteral("close-circle.svg"));
        if (path.isEmpty())
            path = AppHelper::findInResources(QStringLiteral("close.svg"));
        if (path.isEmpty())
            return QIcon();
        return StyleHelper::ColoredIcon(path, QColor(QStringLiteral("#FFF")), QColor(QStringLiteral("#303030")));
    }();
    return icon;
}
