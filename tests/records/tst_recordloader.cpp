#include "DataRow.h"
#include "RawRecord.h"
#include "RecordEvents.h"
#include "RecordFixture.h"
#include "RecordGaps.h"
#include "RecordLoader.h"
#include "RecordText.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using Status = RecordLoader::Status;
using Values = std::vector<double>;
using Numbers = QList<qint64>;
Q_DECLARE_METATYPE(RecordLoader::Status)

class tst_RecordLoader : public QObject
{
    Q_OBJECT
private slots:
    void channelNames_data()
    {
        addColumns<QByteArray, QStringList, int>({ "line", "names", "count" });
        QTest::newRow("RIR, 3 channels") << rirRecord(3) << QStringList { "1", "2", "3" } << 3;
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

    // The V column of channel 0 on the 20 Hz grid, centred (and high-passed from hpf on); every line reaches 100 ms
    // after the start.
    void compare_data()
    {
        addColumns<QByteArray, int, Status, qint64, Values, double>(
            { "data", "channel2", "status", "start", "left", "hpf" });
        const Values ramp { -5, 0, 5 };
        const auto row
            = [](const char* name, const QByteArray& data, qint64 start, const Values& left, double hpf = 0) {
                  QTest::newRow(name) << data << 0 << Status::Loaded << start << left << hpf;
              };
        row("CR LF", rirRecord(1, { "1000;0;0;0", "1100;10;0;0" }), 1000, ramp);
        row("LF, no final line end", ";V1;R1;IR1\n0;0;1;1\n100;10;1;1", 0, ramp);
        row("same time, later wins", rirRecord(1, { "0;0", "100;4", "100;10" }), 0, ramp);
        row("times out of order", rirRecord(1, { "100;10", "0;0" }), 100, ramp);
        row("short line skipped", rirRecord(1, { "0;0", "50", "", "100;10" }), 0, ramp);
        row("negative time is 0", rirRecord(1, { "-100;0", "100;10" }), 0, ramp);
        row("sign and spaces", rirRecord(1, { " 0 ;0", "100; +10 " }), 0, ramp);
        row("negative whole numbers", rirRecord(1, { "0;-10", "100;0" }), 0, ramp);
        row("non-numbers are 0", rirRecord(1, { "0;x", "100;10", "200;nan" }), 0, { -4, 1, 6, 1, -4 });
        row("infinity is 0", rirRecord(1, { "0;-inf", "100;10" }), 0, ramp);
        // The filter sees the centred values: a level far from 0 would start every curve with a swing.
        row("high-passed level stays 0", rirRecord(1, { "0;2000", "100;2000" }), 0, { 0, 0, 0 }, 0.5);
        const auto status = [](const char* name, const QByteArray& data, int channel2, Status status) {
            QTest::newRow(name) << data << channel2 << status << 0LL << Values {} << 0.0;
        };
        const QByteArray nine = rirRecord(9, { "0;1" });
        status("channel 9 of 9", nine, 9, Status::ChannelOutOfRange);
        status("channel 8 of 9", nine, 8, Status::Loaded);
        status("negative channel", nine, -1, Status::ChannelOutOfRange);
        status("header without line end", rirRecord(2).trimmed(), 0, Status::TooShort);
        status("empty file", QByteArray(), 0, Status::TooShort);
        status("header line only", rirRecord(2), 1, Status::Loaded);
    }
    void compare()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, channel2);
        QFETCH(double, hpf);
        RecordLoader loader;
        loader.setData(data);
        RecordLoader::Comparison result;
        QTEST(loader.compare(0, channel2, hpf, result), "status");
        QTEST(result.startTime, "start");
        QTEST(result.left, "left");
        if (result.size() > 2)
            QCOMPARE(result.time(2), result.startTime + 100);
    }

    // Long after a step a high-passed curve is back at 0, where a centred one is not. Every curve starts from
    // rest: the same channel on both sides gives the same curve, although the first ends just after a step.
    void highPass()
    {
        QByteArray data = rirRecord(1);
        for (int i = 0; i < 1200; ++i)
            data += QByteArray::number(i * 50) + (i < 600 || i >= 1190 ? ";100\r\n" : ";400\r\n");
        for (const double hpf : { 0.0, 0.004, 0.5 }) {
            RecordLoader loader;
            loader.setData(data);
            RecordLoader::Comparison result;
            loader.compare(0, 0, hpf, result);
            QVERIFY(result.right == result.left);
            QCOMPARE(std::abs(result.left.at(1180)) < 1, hpf >= RecordLoader::MinimumCutoff);
        }
    }

    // A ".log" of the stimulus program gives marks ("time text"), an events file events ("time source text").
    void parse_data()
    {
        addColumns<bool, QByteArray, QStringList, int>({ "events", "file", "parsed", "skipped" });
        const auto marks = [](const char* name, const QByteArray& log, const QStringList& parsed) {
            QTest::newRow(name) << false << log << parsed << 0;
        };
        marks("Sync fixes the zero", "1000\tSync\r\n3500\tStim A\r\n", { "2500 StimA" });
        marks("comment, Next skipped", "1000\tA\r\n1500\t// note\r\n1600\tNext\r\n", { "0 A" });
        marks("one field skipped", "1000\r\n2000\tB\tmore\r\n", { "0 B" });
        marks("zero is a time", "0\tSync\r\n2000\tB\r\n", { "2000 B" });
        marks("line without a time skipped", "x\tA\r\n1000\tSync\r\n3000\tB\r\n", { "2000 B" });
        marks("earlier than the base", "5000\tSync\r\n4000\tearly\r\n", { "-1000 early" });
        marks("bare LF", "1000\tA\n2000\tB\n", { "0 A", "1000 B" });
        marks("time beyond 64 bits skipped", "99999999999999999999\tA\r\n18446744073709551615\tB\r\n3\tC",
            { "0 B", "4 C" });
        QTest::newRow("written events") << true
                                        << RecordEvents::formatLine(12, "key", "F1")
                + RecordEvents::formatLine(40, "http", QString::fromUtf8("Стимул\tA\r\nB") + QChar(0) + QChar(0x2028))
                                        << QStringList { "12 key F1", QString::fromUtf8("40 http Стимул A  B  ") } << 0;
        QTest::newRow("events out of order sorted, ties kept")
            << true << QByteArray("50\thalvex\tb\n10\tkey\ta\n50\thttp\tc")
            << QStringList { "10 key a", "50 halvex b", "50 http c" } << 0;
        QTest::newRow("damaged events skipped")
            << true
            << QByteArray("no tabs\r\nx\tkey\tA\r\n7\tkey\r\n\x01\xff") + '\0' + QByteArray("\r\n\r\n8\tkey\tok")
            << QStringList { "8 key ok" } << 4;
    }
    void parse()
    {
        QFETCH(bool, events);
        QFETCH(QByteArray, file);
        QStringList parsed;
        if (events) {
            const RecordEvents::Contents contents = RecordEvents::parse(file);
            for (const RecordEvents::Event& event : contents.events)
                parsed << QString::number(event.time) + ' ' + event.source + ' ' + event.text;
            QTEST(contents.skippedLines, "skipped");
        }
        for (const RecordLoader::Mark& mark : events ? QList<RecordLoader::Mark>() : RecordLoader::parseMarks(file))
            parsed << QString::number(mark.time) + ' ' + mark.text;
        QTEST(parsed, "parsed");
    }

    // Lines every `step` ms from `first` to `last`.
    static Numbers steady(qint64 first, qint64 last, qint64 step)
    {
        Numbers times;
        for (qint64 t = first; t <= last; t += step)
            times.append(t);
        return times;
    }
    void gaps_data()
    {
        // gaps: start, end, start, end, …
        addColumns<Numbers, Numbers>({ "times", "gaps" });
        QTest::newRow("none") << steady(0, 2000, 50) << Numbers {};
        QTest::newRow("30 s unplugged") << steady(0, 1000, 50) + steady(31000, 32000, 50) << Numbers { 1000, 31000 };
        QTest::newRow("two slips") << steady(0, 1000, 100) + steady(2500, 3000, 100) + steady(5000, 6000, 100)
                                   << Numbers { 1000, 2500, 3000, 5000 };
        QTest::newRow("under a second") << steady(0, 1000, 50) + steady(1950, 3000, 50) << Numbers {};
        QTest::newRow("a second, slow record") << steady(0, 10000, 400) + steady(11600, 20000, 400) << Numbers {};
        QTest::newRow("just over five medians")
            << steady(0, 10000, 400) + steady(12001, 20001, 400) << Numbers { 10000, 12001 };
        QTest::newRow("exactly one second") << steady(0, 1000, 100) + steady(2000, 3000, 100) << Numbers { 1000, 2000 };
        QTest::newRow("two lines") << Numbers { 0, 60000 } << Numbers {};
    }
    void gaps()
    {
        QFETCH(Numbers, times);
        Numbers found;
        for (const RecordGaps::Gap& gap : RecordGaps::find(std::vector<quint32>(times.cbegin(), times.cend())))
            found << gap.start << gap.end;
        QTEST(found, "gaps");
    }

    // The ".log", ".events", ".raw" and ".ini" files read beside a record, given the files that exist. A folder or
    // a title may hold ".csv" or ".raw"; records written earlier had every ".csv" of the file name replaced.
    void companions_data()
    {
        addColumns<QStringList, QString, QStringList>({ "existing", "record", "companions" });
        const QStringList earlier { "T-a.log.log", "T-a.events.events", "T-a.raw.raw", "T-a.ini.ini" };
        addRow("folder holding .csv and .raw", QStringList(), "s.csv.raw/T.csv",
            QStringList { "s.csv.raw/T.log", "s.csv.raw/T.events", "s.csv.raw/T.raw", "s.csv.raw/T.ini" });
        addRow("the .raw in such a folder", QStringList(), "s.csv.raw/T.raw",
            QStringList { "s.csv.raw/T.log", "s.csv.raw/T.events", "s.csv.raw/T.raw", "s.csv.raw/T.ini" });
        addRow("title holding .csv", earlier, "T-b.csv.csv",
            QStringList { "T-b.csv.log", "T-b.csv.events", "T-b.csv.raw", "T-b.csv.ini" });
        addRow("title holding .csv, written earlier", earlier, "T-a.csv.csv", earlier);
        addRow("its .raw, written earlier", earlier, "T-a.raw.raw", earlier);
        addRow("both names exist", earlier + QStringList { "T-a.csv.log", "T-a.csv.raw" }, "T-a.csv.csv",
            QStringList { "T-a.csv.log", "T-a.events.events", "T-a.csv.raw", "T-a.ini.ini" });
    }
    void companions()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, record);
        TemporaryHome home;
        const QDir dir(home.path());
        for (const QString& name : existing)
            QVERIFY(TemporaryHome::writeFile(dir.filePath(name), "x"));
        const QString path = dir.filePath(record);
        const QStringList found { RecordLoader::logPath(path), RecordEvents::eventsPath(path), RawRecord::rawPath(path),
            RawRecord::iniPath(path) };
        QFETCH(QStringList, companions);
        QStringList expected;
        for (const QString& name : companions)
            expected << dir.filePath(name);
        QCOMPARE(found, expected);
    }

    void files()
    {
        TemporaryHome home;
        const QDir dir(home.path());
        const QString path = dir.filePath("a.csv.d/2024.csv");
        RecordLoader loader;
        QVERIFY(!loader.open(path) && !loader.open(home.path()));
        QVERIFY(RecordLoader::readMarks(RecordLoader::logPath(path)).isEmpty());
        // A first line past the cap is no header, and the file is not read on to find where it ends.
        const QString endless = dir.filePath("endless.csv");
        QVERIFY(TemporaryHome::writeFile(endless, QByteArray(RecordText::MaxHeaderSize, ';') + "\n0;1\n100;2\n"));
        QVERIFY(loader.open(endless) && !loader.hasLines());
    }

    // The lines of a ".raw" that RawRecord takes: a time and exactly the header's count of numbers; the values of
    // the lines taken, and the count of the others (empty lines aside).
    void rawLines_data()
    {
        addColumns<QByteArray, Numbers, Values, qint64>({ "lines", "times", "values", "skipped" });
        QTest::newRow("number forms") << QByteArray("0;5;-7\r\n +20 ;+5;1e3\r\n40;2.5;-0.25\r\n60;12345678901234567890;"
                                                    "123456789012345\n")
                                      << Numbers { 0, 20, 40, 60 }
                                      << Values { 5, -7, 5, 1000, 2.5, -0.25, 12345678901234567890.0, 123456789012345 }
                                      << qint64(0);
        QTest::newRow("damaged fields") << QByteArray(
            "0;1;2\r\n-20;1;2\r\n40;1; 2\r\n60;1;-\r\n80;1;2;\r\n100;1\r\n120;1;2;3\r\n\r\n"
            "9223372036854775808;1;2\r\n9223372036854775807;3;4\r\n140;5;6")
                                        << Numbers { 0, 9223372036854775807, 140 } << Values { 1, 2, 3, 4, 5, 6 }
                                        << qint64(7);
        // Past what is read at a time: a line that spans two reads is taken (or skipped) once.
        QByteArray many;
        Numbers times;
        Values values;
        qint64 skipped = 0;
        for (qint64 i = 0; many.size() < RawRecord::ReadSize + (qint64(1) << 20); ++i) {
            const bool damaged = many.size() > RawRecord::ReadSize - 200 && many.size() < RawRecord::ReadSize + 200;
            many += QByteArray::number(i * 20) + ';' + QByteArray::number(i % 9973) + (damaged ? ";x\r\n" : ";-3\r\n");
            if (damaged) {
                ++skipped;
                continue;
            }
            times << i * 20;
            values.insert(values.end(), { double(i % 9973), -3 });
        }
        QTest::newRow("several reads") << many << times << values << skipped;
    }
    void rawLines()
    {
        QFETCH(QByteArray, lines);
        TemporaryHome home;
        const QString path = QDir(home.path()).filePath("r.raw");
        QVERIFY(TemporaryHome::writeFile(path, ";R1;IR1\r\n" + lines));
        RawRecord record;
        QVERIFY(record.read(path));
        QTEST(Numbers(record.times().cbegin(), record.times().cend()), "times");
        QTEST(record.values(), "values");
        QTEST(record.skippedLines(), "skipped");
    }

    void damaged_data()
    {
        addColumns<QByteArray, qsizetype>({ "data", "points" });
        QByteArray garbage(1 << 20, '\0');
        QRandomGenerator random(7);
        for (char& c : garbage)
            c = char(random.bounded(256));
        QTest::newRow("binary garbage") << garbage << qsizetype(-1);
        QByteArray wide;
        for (int c = 0; c < 100000; ++c)
            wide += "V" + QByteArray::number(c) + ";";
        QTest::newRow("header of 100000 channels") << wide + "\n0;1\n100;2\n" << qsizetype(3);
        QTest::newRow("times 49 days apart")
            << rirRecord(1, { "0;0", "4294967295;1" }) << RecordLoader::MaxResampledPoints;
    }
    void damaged()
    {
        QFETCH(QByteArray, data);
        QFETCH(qsizetype, points);
        RecordLoader loader;
        loader.setData(data);
        QVERIFY(loader.channelNames().size() <= RecordLoader::MaxChannelNames);
        RecordLoader::Comparison result;
        loader.compare(0, 0, 0.02, result);
        if (points >= 0)
            QCOMPARE(result.size(), points);
        QCOMPARE(result.right.size(), result.left.size());
        QVERIFY(std::all_of(result.left.cbegin(), result.left.cend(), [](double v) { return std::isfinite(v); }));
    }
};

QTEST_GUILESS_MAIN(tst_RecordLoader)
#include "tst_recordloader.moc"
