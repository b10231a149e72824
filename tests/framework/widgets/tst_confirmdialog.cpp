#include "../DataRow.h"
#include "ConfirmDialog.h"

#include <QMap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class tst_ConfirmDialog : public QObject
{
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("signalCounts"); // accepted, canceled, declined, closed

        addRow("positive", "positive", 1, QList<int> { 1, 0, 0, 1 });
        addRow("cancel", "cancel", 0, QList<int> { 0, 1, 0, 1 });
        addRow("decline", "decline", int(ConfirmDialog::Declined), QList<int> { 0, 0, 1, 1 });
        addRow("escape", "escape", 0, QList<int> { 0, 0, 0, 1 });
    }

    void answers()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        QFETCH(QList<int>, signalCounts);

        ConfirmDialog dialog(nullptr, "OK", "Cancel", "Not now");
        QSignalSpy accepted(&dialog, qOverload<bool&>(&ConfirmDialog::accepted));
        QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
        QSignalSpy declined(&dialog, &ConfirmDialog::declined);
        QSignalSpy closed(&dialog, &ConfirmDialog::closed);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        const QMap<QString, QPushButton*> buttons { { "positive", dialog.positiveButton() },
            { "cancel", dialog.cancelButton() }, { "decline", dialog.declineButton() } };
        if (QPushButton* target = buttons.value(button))
            QTest::mouseClick(target, Qt::LeftButton);
        else
            QTest::keyClick(&dialog, Qt::Key_Escape);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QCOMPARE(
            (QList<int> { int(accepted.count()), int(canceled.count()), int(declined.count()), int(closed.count()) }),
            signalCounts);
    }

    void receiverKeepsDialogOpen()
    {
        ConfirmDialog dialog;
        bool refuse = true;
        connect(&dialog, qOverload<bool&>(&ConfirmDialog::accepted), &dialog, [&refuse](bool& accept) {
            QVERIFY(accept);
            accept = !refuse;
        });
        QSignalSpy closed(&dialog, &ConfirmDialog::closed);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QTest::mouseClick(dialog.positiveButton(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(closed.count(), 0);

        dialog.setPositiveEnabled(false);
        QTest::mouseClick(dialog.positiveButton(), Qt::LeftButton);
        QVERIFY(dialog.isVisible());

        refuse = false;
        dialog.setPositiveEnabled(true);
        QTest::mouseClick(dialog.positiveButton(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(closed.count(), 1);
    }

    void message()
    {
        ConfirmDialog dialog;
        dialog.setMessage("Restart now?\r\n\r\nПерезапустить?");
        QCOMPARE(dialog.message(), QStringLiteral("Restart now?\n\nПерезапустить?"));
    }
};

QTEST_MAIN(tst_ConfirmDialog)
#include "tst_confirmdialog.moc"
