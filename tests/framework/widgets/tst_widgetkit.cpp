#include "ConfirmDialog.h"
#include "DataRow.h"
#include "FrameRateCounter.h"
#include "MenuButton.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>

class tst_WidgetKit : public QObject
{
    Q_OBJECT
private slots:
    void answers_data()
    {
        // button: positive, cancel, decline; -1 is Escape
        // signalCounts: accepted, canceled, declined, closed
        addColumns<int, int, QList<int>>({ "button", "result", "signalCounts" });
        addRow("positive", 0, 1, QList<int> { 2, 0, 0, 1 });
        addRow("cancel", 1, 0, QList<int> { 0, 1, 0, 1 });
        addRow("decline", 2, int(ConfirmDialog::Declined), QList<int> { 0, 0, 1, 1 });
        addRow("escape", -1, 0, QList<int> { 0, 0, 0, 1 });
    }
    void answers()
    {
        QFETCH(int, button);
        ConfirmDialog dialog(nullptr, "OK", "Cancel", "Not now");
        QSignalSpy accepted(&dialog, qOverload<bool&>(&ConfirmDialog::accepted));
        QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
        QSignalSpy declined(&dialog, &ConfirmDialog::declined);
        QSignalSpy closed(&dialog, &ConfirmDialog::closed);
        // A receiver that refuses (an input still missing) keeps the dialog open.
        bool refuse = true;
        connect(&dialog, qOverload<bool&>(&ConfirmDialog::accepted), &dialog,
            [&refuse](bool& accept) { accept = !refuse; });
        dialog.show();
        if (button == 0) {
            QTest::mouseClick(dialog.positiveButton(), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            refuse = false;
        }
        const QList<QPushButton*> buttons { dialog.positiveButton(), dialog.cancelButton(), dialog.declineButton() };
        if (button >= 0)
            QTest::mouseClick(buttons.at(button), Qt::LeftButton);
        else
            QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QTEST(dialog.result(), "result");
        QTEST((QList<int> { int(accepted.count()), int(canceled.count()), int(declined.count()), int(closed.count()) }),
            "signalCounts");
    }

    void rate_data()
    {
        // accumulator: set before the last event
        addColumns<int, QList<qint64>, double>({ "accumulator", "timestamps", "expected" });
        addRow("window of ten intervals", 10,
            QList<qint64> { 0, 1000, 1010, 1020, 1030, 1040, 1050, 1060, 1070, 1080, 1090, 1100 }, 100.0);
        addRow("a smaller accumulator drops every surplus", 1, QList<qint64> { 0, 10, 20, 1020, 1030 }, 100.0);
    }
    void rate()
    {
        QFETCH(int, accumulator);
        QFETCH(QList<qint64>, timestamps);
        FrameRateCounter counter;
        QSignalSpy changed(&counter, &FrameRateCounter::frameRateChanged);
        for (qint64 timestamp : timestamps.first(timestamps.size() - 1))
            counter.nextFrame(timestamp);
        counter.setAccumulator(accumulator);
        counter.nextFrame(timestamps.last());
        QTEST(counter.getFrameRate(), "expected");
        QTEST(changed.last().at(0).toDouble(), "expected");
    }

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
        const QPointer<QWidget> panel = button->menuPanel();
        covered.reset();
        QVERIFY(!panel.isNull());
        QTRY_VERIFY(!button->isPersistentPanelShown());
        button->addWidgetToMenu(new QLabel(QStringLiteral("second")));
        QCOMPARE(button->menuLayout()->count(), 2);
    }
};

QTEST_MAIN(tst_WidgetKit)
#include "tst_widgetkit.moc"
