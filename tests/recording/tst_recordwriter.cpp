#include "RecordWriter.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
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
        QTest::addColumn<RecordLayout>("layout");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("ini");
        const QByteArray smoothing = "<Smoothing>20</Smoothing>\r\n";

        QTest::newRow("RIR, two channels")
            << layout(RecordLayout::Acquire_RIR, 2) << QByteArray(";V1;R1;IR1;V2;R2;IR2\r\n")
            << QByteArray(";R1;IR1;R2;IR2\r\n") << smoothing;
        QTest::newRow("aRIR") << layout(RecordLayout::Acquire_aRIR, 1) << QByteArray("ALT;V1;R1;IR1\r\n")
                              << QByteArray("ALT;R1;IR1\r\n") << smoothing;
        QTest::newRow("VRIR") << layout(RecordLayout::Acquire_VRIR, 1) << QByteArray(";V1;R1;IR1\r\n")
                              << QByteArray(";V1;R1;IR1\r\n") << smoothing;
        RecordLayout empty = layout(RecordLayout::Acquire_aRIR, 0);
        empty.useMontage = true;
        QTest::newRow("zero channels, empty montage text")
            << empty << QByteArray("ALT\r\n") << QByteArray("ALT\r\n") << smoothing + "<Montage>\r\n\r\n</Montage>\r\n";

        RecordLayout montage = layout(RecordLayout::Acquire_RIR, 2);
        montage.montageActive = true;
        montage.montageNames.insert(0, QStringLiteral("Fp1"));
        montage.useMontage = true;
        montage.montageText = QStringLiteral("1=Fp1;2=Ф\n3");
        montage.smoothing = 7;
        QTest::newRow("montage labels channel 1 only")
            << montage << QByteArray(";V1(Fp1);R1;IR1;V2;R2;IR2\r\n") << QByteArray(";R1;IR1;R2;IR2\r\n")
            << QByteArray("<Smoothing>7</Smoothing>\r\n<Montage>\r\n1=Fp1;2=\xd0\xa4\n3\r\n</Montage>\r\n");
        montage.montageActive = false;
        montage.useMontage = false;
        QTest::newRow("inactive montage")
            << montage << QByteArray(";V1;R1;IR1;V2;R2;IR2\r\n") << QByteArray(";R1;IR1;R2;IR2\r\n")
            << QByteArray("<Smoothing>7</Smoothing>\r\n");
    }

    void headersAndIni()
    {
        QFETCH(RecordLayout, layout);
        QTEST(RecordWriter::csvHeader(layout), "csv");
        QTEST(RecordWriter::rawHeader(layout), "raw");
        QTEST(RecordWriter::iniContent(layout), "ini");
    }

    void sampleLines_data()
    {
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no values") << qint64(0) << QList<double>() << QByteArray("0\r\n");
        QTest::newRow("negative elapsed") << qint64(-15) << QList<double> { 1 } << QByteArray("-15;1\r\n");
        QTest::newRow("rounding") << qint64(7) << QList<double> { 2.4, -0.6, 1.5, -2.5, 0.5 }
                                  << QByteArray("7;2;-1;2;-3;1\r\n");
        QTest::newRow("not numbers") << qint64(1) << QList<double> { qQNaN(), qInf(), -qInf() }
                                     << QByteArray("1;nan;inf;-inf\r\n");
        QTest::newRow("large") << qint64(9000000000LL) << QList<double> { 1e9, 1e20 }
                               << QByteArray("9000000000;1000000000;100000000000000000000\r\n");
    }

    void sampleLines()
    {
        QFETCH(qint64, elapsed);
        QFETCH(QList<double>, values);
        QFETCH(QByteArray, expected);
        QCOMPARE(RecordWriter::formatSampleLine(elapsed, values), expected);
    }

    // The line must stay what Qt's fixed format prints, whatever shortcut the writer takes.
    void numbersAsQtPrintsThem()
    {
        const QList<double> values { -0.0, -0.2, -0.5, 0.49999999999999994, 2.5, 3.5, -1e15 - 0.5, 4503599627370497.0,
            9007199254740991.0, 9007199254740993.0, -123456.789, 1e-300, std::numeric_limits<double>::max() };
        for (double value : values)
            QCOMPARE(RecordWriter::formatSampleLine(0, { value }), "0;" + QByteArray::number(value, 'f', 0) + "\r\n");
    }

    void safeTitles_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << QStringLiteral("rat 5, run 2") << QStringLiteral("rat 5, run 2");
        QTest::newRow("cyrillic") << QStringLiteral("Опыт №1") << QStringLiteral("Опыт №1");
        QTest::newRow("separators") << QStringLiteral("a/b\\c") << QStringLiteral("a_b_c");
        QTest::newRow("escape upward") << QStringLiteral("../../x") << QStringLiteral("______x");
        QTest::newRow("windows specials") << QStringLiteral("a<b>c:d\"e|f?g*h") << QStringLiteral("a_b_c_d_e_f_g_h");
        QTest::newRow("control characters") << QStringLiteral("a\tb\nc") << QStringLiteral("a_b_c");
        QTest::newRow("single dots kept") << QStringLiteral("v1.2.csv") << QStringLiteral("v1.2.csv");
    }

    void safeTitles()
    {
        QFETCH(QString, title);
        QFETCH(QString, safe);
        QCOMPARE(RecordWriter::safeTitle(title), safe);
    }

    void names()
    {
        const QDateTime start(QDate(2024, 3, 9), QTime(7, 5, 4, 32));
        QCOMPARE(RecordWriter::baseName(start, QString()), QStringLiteral("2024.03.09-07.05.04.032.csv"));
        const QString titled = RecordWriter::baseName(start, QStringLiteral("a.csv/b"));
        QCOMPARE(titled, QStringLiteral("2024.03.09-07.05.04.032-a.csv_b.csv"));
        QCOMPARE(RecordWriter::companionName(titled, QStringLiteral(".raw")),
            QStringLiteral("2024.03.09-07.05.04.032-a.raw_b.raw"));
        QCOMPARE(
            RecordWriter::companionName(QStringLiteral("r"), QStringLiteral(".events")), QStringLiteral("r.events"));
    }

    void filesByteForByte()
    {
        TemporaryHome home;
        const QString csv = home.path() + QStringLiteral("/r-x.csv.csv");
        RecordLayout l = layout(RecordLayout::Acquire_RIR, 1);
        l.smoothing = 3;
        RecordWriter writer;
        QVERIFY2(writer.open(csv, l), qPrintable(writer.errorString()));
        QVERIFY(writer.hasRaw());
        QVERIFY(writer.writeRaw(-5, { 10, 14.6 }));
        const QString events = home.path() + QStringLiteral("/r-x.events.events");
        QCOMPARE(TemporaryHome::readFile(events), QByteArray());
        QVERIFY(writer.writeProcessed(-5, { 10, 10, 4 }));
        QVERIFY(writer.writeEvent(-2, QStringLiteral("key"), QStringLiteral("F1")));
        // Every line is in the file before the record is closed.
        QCOMPARE(TemporaryHome::readFile(csv), QByteArray(";V1;R1;IR1\r\n-5;10;10;4\r\n"));
        QCOMPARE(TemporaryHome::readFile(events), QByteArray("-2\tkey\tF1\r\n"));
        // A change of the channel count keeps the header and writes the longer lines.
        QVERIFY(writer.writeRaw(20, { 1, 2, 3, 4 }));
        QVERIFY(writer.writeProcessed(20, { 1, 2, 3, 4, 5, 6 }));
        writer.close();

        QCOMPARE(TemporaryHome::readFile(csv), QByteArray(";V1;R1;IR1\r\n-5;10;10;4\r\n20;1;2;3;4;5;6\r\n"));
        QCOMPARE(TemporaryHome::readFile(home.path() + QStringLiteral("/r-x.raw.raw")),
            QByteArray(";R1;IR1\r\n-5;10;15\r\n20;1;2;3;4\r\n"));
        QCOMPARE(TemporaryHome::readFile(home.path() + QStringLiteral("/r-x.ini.ini")),
            QByteArray("<Smoothing>3</Smoothing>\r\n"));
    }

    void openFailures_data()
    {
        QTest::addColumn<QString>("relativeName");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << QStringLiteral("missing/r.csv") << false
                                        << QStringLiteral("No such file or directory");
        QTest::newRow("folder not writable")
            << QStringLiteral("locked/r.csv") << true << QStringLiteral("Permission denied");
        QTest::newRow("name too long") << QString(300, QLatin1Char('n')) + QStringLiteral(".csv") << false
                                       << QStringLiteral("too long");
    }

    void openFailures()
    {
        QFETCH(QString, relativeName);
        QFETCH(bool, readOnlyFolder);
        QFETCH(QString, reason);
        TemporaryHome home;
        if (readOnlyFolder) {
            QVERIFY(QDir(home.path()).mkdir(QStringLiteral("locked")));
            QFile::setPermissions(home.path() + QStringLiteral("/locked"), QFile::ReadOwner | QFile::ExeOwner);
            if (QFileInfo(home.path() + QStringLiteral("/locked")).isWritable())
                QSKIP("running with rights that ignore folder permissions");
        }
        const QString csv = home.path() + QLatin1Char('/') + relativeName;
        RecordWriter writer;
        QVERIFY(!writer.open(csv, layout(RecordLayout::Acquire_RIR, 1)));
        QVERIFY(!writer.isOpen());
        QVERIFY2(writer.errorString().contains(csv) && writer.errorString().contains(reason),
            qPrintable(writer.errorString()));
        QVERIFY(!QFile::exists(home.path() + QStringLiteral("/missing")));
    }

    void eventsFileThatCannotBeCreatedFailsTheStart()
    {
        TemporaryHome home;
        QVERIFY(QDir(home.path()).mkdir(QStringLiteral("r.events")));
        RecordWriter writer;
        QVERIFY(!writer.open(home.path() + QStringLiteral("/r.csv"), layout(RecordLayout::Acquire_RIR, 1)));
        QVERIFY(!writer.isOpen());
        QVERIFY2(writer.errorString().contains(QStringLiteral("r.events")), qPrintable(writer.errorString()));
        QCOMPARE(QDir(home.path()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestRecordWriter)
#include "tst_recordwriter.moc"
