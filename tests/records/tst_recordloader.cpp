#include "RecordEvents.h"
#include "RecordLoader.h"
#include "RecordText.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>
#include <numeric>

using Status = RecordLoader::Status;
using Values = std::vector<double>;
Q_DECLARE_METATYPE(RecordLoader::Status)

namespace {

// The header a record of `channels` channels gets when written with the RIR variant.
QByteArray header(int channels)
{
    QByteArray line;
    for (int c = 1; c <= channels; ++c)
        line += ";V" + QByteArray::number(c) + ";R" + QByteArray::number(c) + ";IR" + QByteArray::number(c);
    return line + "\r\n";
}

// A one-channel record of the given lines.
QByteArray oneChannel(const QList<QByteArray>& lines)
{
    QByteArray data = header(1);
    for (const QByteArray& line : lines)
        data += line + "\r\n";
    return data;
}

RecordLoader::Comparison compare(const QByteArray& data, int channel1 = 0, int channel2 = 0, double hpf = 0)
{
    RecordLoader loader;
    loader.setData(data);
    RecordLoader::Comparison result;
    loader.compare(channel1, channel2, hpf, result);
    return result;
}

bool sameValues(const Values& actual, const Values& expected, double tolerance = 1e-9)
{
    if (actual.size() != expected.size()) {
        qWarning("%zu values, expected %zu", actual.size(), expected.size());
        return false;
    }
    for (size_t i = 0; i < actual.size(); ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance) {
            qWarning("value %zu: %.9g, expected %.9g", i, actual[i], expected[i]);
            return false;
        }
    }
    return true;
}

// Order-2 Butterworth high-pass from its analogue prototype s² / (s² + √2·w·s + w²), pre-warped and mapped by
// s = 2·fs·(1 − z⁻¹)/(1 + z⁻¹), run twice in double precision from rest.
Values referenceHighPass(Values x, double cutoff, double fs)
{
    const double c = 2 * fs;
    const double w = c * std::tan(M_PI * cutoff / fs);
    const double a0 = c * c + std::sqrt(2.0) * w * c + w * w;
    const double b[3] = { c * c / a0, -2 * c * c / a0, c * c / a0 };
    const double a1 = (2 * w * w - 2 * c * c) / a0;
    const double a2 = (c * c - std::sqrt(2.0) * w * c + w * w) / a0;
    for (int pass = 0; pass < 2; ++pass) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double& v : x) {
            const double y = b[0] * v + b[1] * x1 + b[2] * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = v;
            y2 = y1;
            y1 = y;
            v = y;
        }
    }
    return x;
}

} // namespace

class tst_RecordLoader : public QObject
{
    Q_OBJECT
private slots:
    void channelNames_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("count");
        QStringList ten;
        for (int c = 1; c <= 10; ++c)
            ten << QString::number(c);
        QTest::newRow("RIR, 10 channels") << header(10) << ten << 10;
        QTest::newRow("montage labels") << QByteArray("ALT;V1(Fp1);R1;IR1;V2(Fp2);R2;IR2\r\n")
                                        << QStringList { "1(Fp1)", "2(Fp2)" } << 2;
        QTest::newRow("V and R leave a label") << QByteArray("ALT;V1(RVo);R1;IR1\r\n") << QStringList { "1(o)" } << 1;
        QTest::newRow("repeated name once") << QByteArray(";V1;R1;IR1;V1;R1;IR1\r\n") << QStringList { "1" } << 2;
        QTest::newRow("fields trimmed") << QByteArray(" ; V3 ;R3;IR3;V4\n") << QStringList { "3", "4" } << 2;
    }

    void channelNames()
    {
        QFETCH(QByteArray, line);
        RecordLoader loader;
        loader.setData(line + "0;1;2;3\r\n");
        QTEST(loader.channelNames(), "names");
        QTEST(loader.channelCount(), "count");
    }

    void comparesTheVColumns()
    {
        // Field k of line i holds k·i, so each column has its own slope.
        QByteArray data = header(10);
        for (int i = 0; i < 3; ++i) {
            data += QByteArray::number(i * 50);
            for (int k = 1; k <= 30; ++k)
                data += ';' + QByteArray::number(k * i);
            data += "\r\n";
        }
        const RecordLoader::Comparison result = compare(data, 0, 9);
        QVERIFY(sameValues(result.left, { -1, 0, 1 }));
        QVERIFY(sameValues(result.right, { -28, 0, 28 }));
        QCOMPARE(result.diff(2), 1.0 - 28.0);
    }

    void status_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("channel2");
        QTest::addColumn<Status>("status");
        const QByteArray nine = header(9) + "0;1\r\n";
        QTest::newRow("9 channels, Channel2 9") << nine << 9 << Status::ChannelOutOfRange;
        QTest::newRow("9 channels, Channel2 8") << nine << 8 << Status::Loaded;
        QTest::newRow("negative channel") << nine << -1 << Status::ChannelOutOfRange;
        QTest::newRow("header without line end") << header(2).trimmed() << 0 << Status::TooShort;
        QTest::newRow("empty file") << QByteArray() << 0 << Status::TooShort;
        QTest::newRow("header line only") << header(2) << 1 << Status::Loaded;
    }

    void status()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, channel2);
        RecordLoader loader;
        loader.setData(data);
        RecordLoader::Comparison result;
        QTEST(loader.compare(0, channel2, 0.02, result), "status");
        QVERIFY(result.left.empty());
    }

    void resample_data()
    {
        QTest::addColumn<std::vector<quint32>>("times");
        QTest::addColumn<Values>("values");
        QTest::addColumn<Values>("expected");
        QTest::newRow("halfway points") << std::vector<quint32> { 0, 100, 200 } << Values { 0, 10, 20 }
                                        << Values { 0, 5, 10, 15, 20 };
        QTest::newRow("uneven spacing") << std::vector<quint32> { 0, 30, 120 } << Values { 0, 3, 12 }
                                        << Values { 0, 5, 10 };
        QTest::newRow("last key off the grid")
            << std::vector<quint32> { 7, 120 } << Values { 0, 113 } << Values { 0, 50, 100 };
        QTest::newRow("one entry") << std::vector<quint32> { 5 } << Values { 1 } << Values {};
    }

    void resample()
    {
        QFETCH(std::vector<quint32>, times);
        QFETCH(Values, values);
        QFETCH(Values, expected);
        QVERIFY(sameValues(RecordLoader::resample(times, values, 20), expected));
    }

    void lines_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<Values>("left");
        const Values ramp { -5, 0, 5 };
        QTest::newRow("ends with CR LF") << oneChannel({ "1000;0;0;0", "1100;10;0;0" }) << qint64(1000) << ramp;
        QTest::newRow("LF, no final line end") << QByteArray(";V1;R1;IR1\n0;0;1;1\n100;10;1;1") << qint64(0) << ramp;
        QTest::newRow("same time, later wins") << oneChannel({ "0;0", "100;4", "100;10" }) << qint64(0) << ramp;
        QTest::newRow("times out of order") << oneChannel({ "100;10", "0;0" }) << qint64(100) << ramp;
        QTest::newRow("short line skipped") << oneChannel({ "0;0", "50", "", "100;10" }) << qint64(0) << ramp;
        QTest::newRow("negative time is 0") << oneChannel({ "-100;0", "100;10" }) << qint64(0) << ramp;
        QTest::newRow("sign and spaces") << oneChannel({ " 0 ;0", "100; +10 " }) << qint64(0) << ramp;
        QTest::newRow("non-numbers are 0")
            << oneChannel({ "0;x", "100;10", "200;nan" }) << qint64(0) << Values { -4, 1, 6, 1, -4 };
        QTest::newRow("infinity is 0") << oneChannel({ "0;-inf", "100;10" }) << qint64(0) << ramp;
    }

    void lines()
    {
        QFETCH(QByteArray, data);
        const RecordLoader::Comparison result = compare(data);
        QTEST(result.startTime, "start");
        QFETCH(Values, left);
        QVERIFY(sameValues(result.left, left));
        QCOMPARE(result.time(2), result.startTime + 100);
    }

    void highPass_data()
    {
        QTest::addColumn<double>("hpf");
        QTest::addColumn<bool>("reference");
        QTest::addColumn<bool>("singlePrecision");
        QTest::newRow("0: centred only") << 0.0 << false << false;
        QTest::newRow("0.02: filtered") << 0.02 << true << true;
        QTest::newRow("0.5: filtered") << 0.5 << true << true;
        QTest::newRow("0.005: passes unchanged") << 0.005 << false << true;
        QTest::newRow("10: passes unchanged") << 10.0 << false << true;
    }

    void highPass()
    {
        QFETCH(double, hpf);
        // Two channels on the 20 Hz grid: a drift with a 1 Hz wave, and a step.
        QByteArray data = header(2);
        Values first;
        Values second;
        for (int i = 0; i < 1200; ++i) {
            first.push_back(std::round(1000 + 3 * i + 40 * std::sin(2 * M_PI * i / 20.0)));
            second.push_back(i < 600 ? 100 : 400);
            data += QByteArray::number(i * 50) + ';' + QByteArray::number(first.back()) + ";0;0;"
                + QByteArray::number(second.back()) + ";0;0\r\n";
        }
        const RecordLoader::Comparison result = compare(data, 0, 1, hpf);
        for (Values* values : { &first, &second }) {
            const double mean = std::accumulate(values->cbegin(), values->cend(), 0.0) / double(values->size());
            for (double& v : *values)
                v -= mean;
        }
        QFETCH(bool, reference);
        QFETCH(bool, singlePrecision);
        if (reference) {
            // Both curves start from rest: the step channel must not inherit the drift channel's state.
            // The filter is designed in single precision as the low-pass mirrored at fs/2; this is the cut-off that
            // design realises.
            const double cutoff = 10.0 - double(10.0f - float(hpf));
            QVERIFY(sameValues(result.left, referenceHighPass(first, cutoff, 20), 1e-3));
            QVERIFY(sameValues(result.right, referenceHighPass(second, cutoff, 20), 1e-3));
            QVERIFY(std::abs(result.left.back() - first.back()) > 100);
        } else {
            for (Values* values : { &first, &second })
                for (double& v : *values)
                    v = singlePrecision ? double(float(v)) : v;
            QVERIFY(sameValues(result.left, first, 0));
            QVERIFY(sameValues(result.right, second, 0));
        }
    }

    void marks_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QList<qint64>>("times");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("Sync fixes the zero")
            << QByteArray("1000\tSync\r\n3500\tStim A\r\n") << QList<qint64> { 2500 } << QStringList { "StimA" };
        QTest::newRow("comment, Next skipped")
            << QByteArray("1000\tA\r\n1500\t// note\r\n1600\tNext\r\n") << QList<qint64> { 0 } << QStringList { "A" };
        QTest::newRow("one field skipped")
            << QByteArray("1000\r\n2000\tB\tmore\r\n") << QList<qint64> { 0 } << QStringList { "B" };
        QTest::newRow("zero before the base")
            << QByteArray("0\tA\r\n1000\tB\r\n") << QList<qint64> { 1, 0 } << QStringList { "A", "B" };
        QTest::newRow("earlier than the base")
            << QByteArray("5000\tSync\r\n4000\tearly\r\n") << QList<qint64> { -1000 } << QStringList { "early" };
        QTest::newRow("bare LF") << QByteArray("1000\tA\n2000\tB\n") << QList<qint64> { 0, 1000 }
                                 << QStringList { "A", "B" };
        QTest::newRow("time beyond 64 bits is 0")
            << QByteArray("99999999999999999999\tA\r\n18446744073709551615\tB\r\n3\tC") << QList<qint64> { 1, 0, 4 }
            << QStringList { "A", "B", "C" };
    }

    void marks()
    {
        QFETCH(QByteArray, log);
        QList<qint64> times;
        QStringList texts;
        for (const RecordLoader::Mark& mark : RecordLoader::parseMarks(log)) {
            times << mark.time;
            texts << mark.text;
        }
        QTEST(times, "times");
        QTEST(texts, "texts");
    }

    void events_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<int>("skipped");
        QTest::newRow("written lines") << RecordEvents::formatLine(12, "key", "F1")
                + RecordEvents::formatLine(40, "http", QString::fromUtf8("Стимул\tA\r\nB") + QChar(0) + QChar(0x2028))
                                       << QStringList { "12 key F1", QString::fromUtf8("40 http Стимул A  B  ") } << 0;
        QTest::newRow("out of order sorted, ties kept") << QByteArray("50\thalvex\tb\n10\tkey\ta\n50\thttp\tc")
                                                        << QStringList { "10 key a", "50 halvex b", "50 http c" } << 0;
        QTest::newRow("damaged lines skipped")
            << QByteArray("no tabs\r\nx\tkey\tA\r\n7\tkey\r\n\x01\xff") + '\0' + QByteArray("\r\n\r\n8\tkey\tok")
            << QStringList { "8 key ok" } << 4;
    }

    void events()
    {
        QFETCH(QByteArray, file);
        QStringList events;
        const RecordEvents::Contents contents = RecordEvents::parse(file);
        for (const RecordEvents::Event& event : contents.events)
            events << QString::number(event.time) + ' ' + event.source + ' ' + event.text;
        QTEST(events, "events");
        QTEST(contents.skippedLines, "skipped");
    }

    void files()
    {
        TemporaryHome home;
        const QString record = QDir(home.path()).filePath("a.csv.d/2024.csv");
        QCOMPARE(RecordLoader::logPath(record), QDir(home.path()).filePath("a.log.d/2024.log"));
        QCOMPARE(RecordEvents::eventsPath(record), QDir(home.path()).filePath("a.events.d/2024.events"));
        QCOMPARE(RecordEvents::eventsPath("/r/2024.csv.raw"), QString("/r/2024.csv.events"));
        RecordLoader loader;
        QVERIFY(!loader.open(record));
        QVERIFY(!loader.open(home.path()));
        QVERIFY(RecordLoader::readMarks(RecordLoader::logPath(record)).isEmpty());

        // A first line past the cap is no header, and the file is not read on to find where it ends.
        const QString endless = QDir(home.path()).filePath("endless.csv");
        QVERIFY(TemporaryHome::writeFile(endless, QByteArray(RecordText::MaxHeaderSize, ';') + "\n0;1\n100;2\n"));
        QVERIFY(loader.open(endless));
        QVERIFY(!loader.hasLines());
    }

    void damaged_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<qsizetype>("points");
        QByteArray garbage(1 << 20, '\0');
        QRandomGenerator random(7);
        for (char& c : garbage)
            c = char(random.bounded(256));
        QTest::newRow("binary garbage") << garbage << qsizetype(-1);
        QTest::newRow("enormous line among good ones")
            << oneChannel({ "0;0", QByteArray(8 << 20, ';'), QByteArray(8 << 20, '7'), "100;10" }) << qsizetype(3);
        QByteArray wide;
        for (int c = 0; c < 100000; ++c)
            wide += "V" + QByteArray::number(c) + ";";
        QTest::newRow("header of 100000 channels") << wide + "\n0;1\n100;2\n" << qsizetype(3);
        QTest::newRow("times 49 days apart")
            << oneChannel({ "0;0", "4294967295;1" }) << RecordLoader::MaxResampledPoints;
    }

    void damaged()
    {
        QFETCH(QByteArray, data);
        RecordLoader loader;
        loader.setData(data);
        QVERIFY(loader.channelNames().size() <= RecordLoader::MaxChannelNames);
        RecordLoader::Comparison result;
        loader.compare(0, 0, 0.02, result);
        QFETCH(qsizetype, points);
        if (points >= 0)
            QCOMPARE(result.size(), points);
        QCOMPARE(result.right.size(), result.left.size());
        for (double v : result.left)
            QVERIFY(std::isfinite(v));
    }
};

QTEST_GUILESS_MAIN(tst_RecordLoader)
#include "tst_recordloader.moc"
