#include "DataRow.h"
#include "RecordWriter.h"
#include "TemporaryHome.h"

#ifdef Q_OS_UNIX
#include "FileSizeLimit.h"
#endif

#include <QDir>
#include <QTest>

namespace {

RecordLayout layout(int variant, int channels)
{
    RecordLayout result;
    result.variant = variant;
    result.channelCount = channels;
    return result;
}

} // namespace

class TestRecordWriter : public QObject
{
    Q_OBJECT
private slots:
    void headersAndIni_data()
    {
        addColumns<RecordLayout, QByteArray, QByteArray, QByteArray>({ "layout", "csv", "raw", "ini" });
        const QByteArray smoothing = "<Smoothing>20</Smoothing>\r\n";
        addRow("aRIR", layout(RecordLayout::Acquire_aRIR, 1), QByteArray("ALT;V1;R1;IR1\r\n"),
            QByteArray("ALT;R1;IR1\r\n"), smoothing);
        addRow("VRIR", layout(RecordLayout::Acquire_VRIR, 1), QByteArray(";V1;R1;IR1\r\n"),
            QByteArray(";V1;R1;IR1\r\n"), smoothing);
        RecordLayout montage = layout(RecordLayout::Acquire_RIR, 2);
        montage.montageActive = true;
        montage.montageNames.insert(0, QStringLiteral("Fp1"));
        montage.useMontage = true;
        montage.montageText = QStringLiteral("1=Fp1;2=Ф\n3");
        montage.smoothing = 7;
        addRow("montage labels channel 1 only", montage, QByteArray(";V1(Fp1);R1;IR1;V2;R2;IR2\r\n"),
            QByteArray(";R1;IR1;R2;IR2\r\n"),
            QByteArray("<Smoothing>7</Smoothing>\r\n<Montage>\r\n1=Fp1;2=\xd0\xa4\n3\r\n</Montage>\r\n"));
    }
    void headersAndIni()
    {
        QFETCH(RecordLayout, layout);
        QTEST(RecordWriter::csvHeader(layout), "csv");
        QTEST(RecordWriter::rawHeader(layout), "raw");
        QTEST(RecordWriter::iniContent(layout), "ini");
    }

    // The line must stay what Qt's fixed format prints, whatever shortcut the writer takes.
    void sampleLineAsQtPrintsIt()
    {
        const QList<double> values { 1.5, -2.5, -0.0, -0.2, 0.49999999999999994, -1e15 - 0.5, 4503599627370497.0,
            9007199254740993.0, 1e-300, 1e20, std::numeric_limits<double>::max(), qQNaN(), -qInf() };
        QByteArray expected = "-9000000000";
        for (double value : values)
            expected += ';' + QByteArray::number(value, 'f', 0);
        QCOMPARE(RecordWriter::formatSampleLine(-9000000000LL, values), expected + "\r\n");
        QCOMPARE(RecordWriter::formatSampleLine(0, {}), "0\r\n");
    }

    void names()
    {
        QCOMPARE(RecordWriter::safeTitle(QStringLiteral("Опыт 1, v1.2")), QStringLiteral("Опыт 1, v1.2"));
        QCOMPARE(RecordWriter::safeTitle(QStringLiteral("../a\\b<>:\"|?*\t")), QStringLiteral("___a_b________"));
        const QDateTime start(QDate(2024, 3, 9), QTime(7, 5, 4, 32));
        QCOMPARE(RecordWriter::baseName(start, QString()), QStringLiteral("2024.03.09-07.05.04.032.csv"));
        const QString titled = RecordWriter::baseName(start, QStringLiteral("a.csv/b"));
        QCOMPARE(titled, QStringLiteral("2024.03.09-07.05.04.032-a.csv_b.csv"));
        QCOMPARE(RecordWriter::companionName(titled, QStringLiteral(".raw")),
            QStringLiteral("2024.03.09-07.05.04.032-a.csv_b.raw"));
        QCOMPARE(
            RecordWriter::companionName(QStringLiteral("r"), QStringLiteral(".events")), QStringLiteral("r.events"));
        QCOMPARE(
            RecordWriter::companionName(QStringLiteral("r.raw"), QStringLiteral(".raw")), QStringLiteral("r.raw.raw"));
    }

    void filesByteForByte()
    {
        using Result = RecordWriter::Result;
        TemporaryHome home;
        const QString csv = home.path() + QStringLiteral("/r-x.csv.csv");
        // The channels of the headers come from the first sample, whatever the window counted before it.
        RecordLayout l = layout(RecordLayout::Acquire_RIR, 3);
        l.smoothing = 3;
        RecordWriter writer;
        QVERIFY(writer.open(csv, l));
        QCOMPARE(TemporaryHome::readFile(csv), QByteArray());
        QCOMPARE(writer.writeRaw(-5, { 10, 14.6 }), Result::Written);
        QCOMPARE(writer.writeProcessed(-5, { 10, 10, 4 }), Result::Written);
        QVERIFY(writer.writeEvent(-2, QStringLiteral("key"), QStringLiteral("F1")));
        // A sample of another channel count is refused whole, so that the headers name every line's fields.
        QCOMPARE(writer.writeRaw(20, { 1, 2, 3, 4 }), Result::OtherLayout);
        QCOMPARE(writer.writeProcessed(20, { 1, 2, 3, 4, 5, 6 }), Result::OtherLayout);
        QCOMPARE(writer.writeRaw(30, { 1, 2 }), Result::Written);
        // Every line is in the files before the record is closed, so that a crash loses none of them.
        QCOMPARE(TemporaryHome::readFile(csv), QByteArray(";V1;R1;IR1\r\n-5;10;10;4\r\n"));
        QCOMPARE(TemporaryHome::readFile(home.path() + QStringLiteral("/r-x.csv.raw")),
            QByteArray(";R1;IR1\r\n-5;10;15\r\n30;1;2\r\n"));
        QCOMPARE(TemporaryHome::readFile(home.path() + QStringLiteral("/r-x.csv.events")), "-2\tkey\tF1\r\n");
        QCOMPARE(TemporaryHome::readFile(home.path() + QStringLiteral("/r-x.csv.ini")),
            QByteArray("<Smoothing>3</Smoothing>\r\n"));
    }

    // A record that cannot make any one of its files does not start, names the file, removes what it made and
    // leaves alone what was there before.
    void openFailures_data()
    {
        addColumns<QString, QString, QString>({ "name", "inTheWay", "failing" });
        addRow("missing folder", "missing/r.csv", "", "missing/r.csv: No such file or directory");
        addRow("events file is a folder", "r.csv", "r.events/", "r.events: ");
        addRow("raw file is a folder", "r.csv", "r.raw/", "r.raw: ");
        addRow("ini file is a folder", "r.csv", "r.ini/", "r.ini: ");
        addRow("an earlier csv file", "r.csv", "r.csv", "r.csv: ");
    }
    void openFailures()
    {
        QFETCH(QString, name);
        QFETCH(QString, inTheWay);
        QFETCH(QString, failing);
        TemporaryHome home;
        const QDir folder(home.path());
        const QByteArray earlier = "0;1;2\r\n";
        if (inTheWay.endsWith(QLatin1Char('/')))
            QVERIFY(folder.mkdir(inTheWay));
        else if (!inTheWay.isEmpty())
            QVERIFY(TemporaryHome::writeFile(folder.filePath(inTheWay), earlier));
        RecordWriter writer;
        QVERIFY(!writer.open(folder.filePath(name), layout(RecordLayout::Acquire_RIR, 1)));
        QVERIFY(!writer.isOpen());
        QVERIFY2(writer.errorString().contains(failing), qPrintable(writer.errorString()));
        const bool file = !inTheWay.isEmpty() && !inTheWay.endsWith(QLatin1Char('/'));
        QCOMPARE(folder.entryList(QDir::Files), file ? QStringList { inTheWay } : QStringList());
        if (file)
            QCOMPARE(TemporaryHome::readFile(folder.filePath(inTheWay)), earlier);
    }

#ifdef Q_OS_UNIX
    // A disk that fills in the middle of a line: the file is cut back to its last whole line, and the failure names
    // the file and the system's reason. Every file of the record takes its lines through the same write.
    void shortWriteKeepsWholeLines()
    {
        TemporaryHome home;
        const QString csv = home.path() + QStringLiteral("/r.csv");
        RecordWriter writer;
        QVERIFY(writer.open(csv, layout(RecordLayout::Acquire_RIR, 1)));
        QCOMPARE(writer.writeProcessed(100, { 1890, 1900, 10 }), RecordWriter::Result::Written);
        const QByteArray whole = TemporaryHome::readFile(csv);
        {
            FileSizeLimit limit(whole.size() + 4);
            QVERIFY(limit.isActive());
            QCOMPARE(writer.writeProcessed(200, { 1890, 1900, 10 }), RecordWriter::Result::Failed);
        }
        QCOMPARE(TemporaryHome::readFile(csv), whole);
        QCOMPARE(writer.errorString(), QStringLiteral("Cannot write the record file %1: File too large").arg(csv));
    }
#endif
};

QTEST_GUILESS_MAIN(TestRecordWriter)
#include "tst_recordwriter.moc"
