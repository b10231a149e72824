#include "../DataRow.h"
#include "ConfirmDialog.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class tst_ConfirmDialog : public QObject
{
    Q_OBJECT
private slots:
    void buttons_data()
    {
        QTest::addColumn<QString>("positive");
        QTest::addColumn<QString>("cancel");
        QTest::addColumn<QString>("decline");
        QTest::addColumn<QString>("positiveShown");
        QTest::addColumn<QString>("cancelShown");

        addRow("defaults", QString(), QString(), QString(), "Save", "Cancel");
        addRow("given texts", "OK", "Back", "Not now", "OK", "Back");
    }

    void buttons()
    {
        QFETCH(QString, positive);
        QFETCH(QString, cancel);
        QFETCH(QString, decline);
        QFETCH(QString, positiveShown);
        QFETCH(QString, cancelShown);

        ConfirmDialog dialog(nullptr, positive, cancel, decline);
        QCOMPARE(dialog.positiveButton()->objectName(), QStringLiteral("positive"));
        QCOMPARE(dialog.positiveButton()->text(), positiveShown);
        QCOMPARE(dialog.cancelButton()->text(), cancelShown);
        QCOMPARE(dialog.declineButton() != nullptr, !decline.isEmpty());
        if (dialog.declineButton())
            QCOMPARE(dialog.declineButton()->text(), decline);
        QCOMPARE(dialog.positiveButton()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(dialog.isModal());
    }

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

        if (button == QLatin1String("positive"))
            QTest::mouseClick(dialog.positiveButton(), Qt::LeftButton);
        else if (button == QLatin1String("cancel"))
            QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
        else if (button == QLatin1String("decline"))
            QTest::mouseClick(dialog.declineButton(), Qt::LeftButton);
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
