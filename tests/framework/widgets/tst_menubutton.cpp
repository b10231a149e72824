#include "MenuButton.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

class TestMenuButton : public QObject
{
    Q_OBJECT
private slots:
    void persistentPanelOutlivesTheWindowItCovers()
    {
        QWidget home;
        auto* button = new MenuButton(QIcon(), QStringLiteral("menu"), &home);
        button->addWidgetToMenu(new QLabel(QStringLiteral("first")));
        home.show();
        auto covered = std::make_unique<QWidget>();
        covered->show();
        covered->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(covered.get()));

        button->showPersistentPanel();
        QVERIFY(button->isPersistentPanelShown());
        const QPointer<QWidget> panel = button->menuPanel();
        covered.reset();
        QVERIFY(!panel.isNull());
        QTRY_VERIFY(!button->isPersistentPanelShown());
        button->addWidgetToMenu(new QLabel(QStringLiteral("second")));
        QCOMPARE(button->menuLayout()->count(), 2);
    }
};

QTEST_MAIN(TestMenuButton)
#include "tst_menubutton.moc"
