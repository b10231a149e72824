#pragma once

#include <QIcon>
#include <QPointer>
#include <QPushButton>

class QMenu;
class QVBoxLayout;
class QWidgetAction;

// A push button whose drop-down is a panel of arbitrary widgets (named "menulike" so that the style sheet paints
// it like a menu). The same panel can instead be shown as a persistent full-window overlay.
class MenuButton : public QPushButton
{
    Q_OBJECT
public:
    explicit MenuButton(const QIcon& icon = QIcon(), const QString& text = QString(), QWidget* parent = nullptr);
    ~MenuButton() override;

    void addWidgetToMenu(QWidget* widget, int stretch = 0, Qt::Alignment alignment = Qt::Alignment());
    void addSeparator();
    void clear();
    QVBoxLayout* menuLayout() const { return m_layout; }
    QWidget* menuPanel() const { return m_panel; }
    void setMenuContentsMargins(int left, int top, int right, int bottom);
    void hideMenuIndicator();
    void closeMenu();

    // Shows the panel in a window without title bar that covers the active window, until closed.
    void showPersistentPanel();
    bool isPersistentPanelShown() const { return !m_persistent.isNull(); }

    static MenuButton* fromMenu(QMenu* menu, const QString& styleSheet = QString(), QWidget* parent = nullptr);
    // "close-circle.svg" (or "close.svg") coloured for the theme at the first call; the same icon afterwards.
    static QIcon CloseIcon();

signals:
    void menuShown();
    void menuHidden();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void returnPanelToMenu();

    QMenu* m_menu = nullptr;
    QWidgetAction* m_action = nullptr;
    QWidget* m_panel = nullptr;
    QVBoxLayout* m_layout = nullptr;
    QPointer<QWidget> m_persistent;
};
