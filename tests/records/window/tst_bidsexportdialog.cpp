// The records window's BIDS export: the entries it remembers between uses, and what it shows after an export that
// ran on its own thread (the files, or the reason and an unchanged dataset; the validator's verdict).
#include "BidsExportDialog.h"
#include "BidsValidator.h"
#include "DataRow.h"
#include "LightRecord.h"
#include "RecordsSettings.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

class tst_BidsExportDialog : public QObject
{
    Q_OBJECT
private slots:
    void exported_data()
    {
        addColumns<QString, QStringList>({ "subject", "report" });
        const QString verdict = BidsValidator::missing().isEmpty() ? "BIDS validator: 0 errors" : "Not validated";
        addRow("exported and validated", QString("07"),
            QStringList {
                "Exported to " + QDir::toNativeSeparators("sub-07/nirs/sub-07_task-rest_run-2_nirs.snirf"), verdict });
        addRow("a label refused", QString("P-07"),
            QStringList { "Not exported: subject \"P-07\" is not a label", "The dataset is as it was." });
    }
    void exported()
    {
        QFETCH(QString, subject);
        QFETCH(QStringList, report);
        TemporaryHome home;
        const QString record = QDir(home.path()).filePath("2026.03.14-09.26.53.589-rest.csv");
        QList<qint64> times;
        for (int i = 0; i < 600; ++i)
            times.append(20 * i);
        QVERIFY(writeLightRecord(record, RecordLayout::Acquire_RIR, { Light::Coupled }, QString(), times));
        const QString file = QDir(home.path()).filePath("RecSettings.xml");
        const QString dataset = QDir(home.path()).filePath("study");
        {
            RecordsSettings settings(file);
            BidsExportDialog dialog(&settings);
            dialog.findChild<QLineEdit*>("bidsDataset")->setText(dataset);
            dialog.findChild<QLineEdit*>("bidsSubject")->setText(subject);
            dialog.findChild<QLineEdit*>("bidsTask")->setText("rest");
            dialog.findChild<QSpinBox*>("bidsRun")->setValue(2);
            dialog.setRecords({ record });
            QSignalSpy finished(&dialog, &BidsExportDialog::exportFinished);
            dialog.startExport();
            QVERIFY(finished.wait(120000));
            const QString shown = dialog.findChild<QPlainTextEdit*>("bidsReport")->toPlainText();
            for (const QString& line : report)
                QVERIFY2(shown.contains(line), qPrintable(shown));
        }
        QCOMPARE(QFileInfo::exists(dataset), report.constLast() != "The dataset is as it was.");
        RecordsSettings reread(file);
        reread.reload();
        BidsExportDialog again(&reread);
        QCOMPARE(again.findChild<QLineEdit*>("bidsDataset")->text(), dataset);
        QCOMPARE(again.findChild<QLineEdit*>("bidsSubject")->text(), subject);
        QCOMPARE(again.findChild<QLineEdit*>("bidsTask")->text(), QString("rest"));
        QCOMPARE(again.findChild<QSpinBox*>("bidsRun")->value(), 2);
    }
};

QTEST_MAIN(tst_BidsExportDialog)
#include "tst_bidsexportdialog.moc"
