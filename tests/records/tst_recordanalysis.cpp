// halvex-analyze run as a user runs it, on records the record writer made, against MNE-Python 1.3 reading the
// SNIRF file that halvex-export wrote for the same record (analyze_reference.py); what it refuses; and the number
// format it writes.
#include "DataRow.h"
#include "LightRecord.h"
#include "MneReference.h"
#include "RecordText.h"
#include "RecordWriter.h"
#include "RecordsSettings.h"
#include "TemporaryHome.h"
#include "ToolRun.h"

#include <QDir>
#include <QHash>
#include <QProcess>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

namespace {

using Times = QList<qint64>;

struct Case
{
    QByteArray name;
    int variant = RecordLayout::Acquire_RIR;
    QList<Light> channels;
    QString montage;
    Times times;
    QStringList options; // for both tools
    double ppf = 6; // for halvex-analyze (given where not 6) and for MNE
    double distanceMm = 30; // what the probe must hold
    bool settings = false; // the data folder's RecSettings.xml gives ppf 4, 35 mm, 700 and 900 nm
};

Times regular(int count, int step, int jitter = 0, qint64 first = 0)
{
    Times times;
    for (int i = 0; i < count; ++i)
        times.append(first + qint64(i) * step + (i % 3) * jitter);
    return times;
}

// Lines that arrive perRead at a time share the stamp of the last of them.
Times reads(int count, int step, int perRead)
{
    Times times;
    for (int i = 0; i < count; ++i)
        times.append(qint64(i / perRead * perRead + perRead - 1) * step);
    return times;
}

bool writeRecord(const QString& csvPath, const Case& c)
{
    return writeLightRecord(csvPath, c.variant, c.channels, c.montage, c.times);
}

QList<Case> cases()
{
    const QList<Light> four = { Light::Coupled, Light::Uncoupled, Light::Coupled, Light::Coupled };
    const auto make = [](const char* name, int variant, const QList<Light>& channels, const Times& times) {
        Case c;
        c.name = name;
        c.variant = variant;
        c.channels = channels;
        c.times = times;
        return c;
    };
    const int rir = RecordLayout::Acquire_RIR;
    QList<Case> list;
    list.append(make("VRIR, montage, jitter", RecordLayout::Acquire_VRIR, four, regular(2000, 20, 3)));
    list.last().montage = QStringLiteral("1=Fp1;2=Fp2\n3=Cz;4=Fp1");
    list.append(make("options for both tools", rir, four, regular(1500, 20, 2)));
    list.last().options = QStringList { "--distance-mm", "25", "--wavelengths", "690,830" };
    list.last().ppf = 5.5;
    list.last().distanceMm = 25;
    list.append(make("the records settings", rir, four, regular(1500, 20)));
    list.last().settings = true;
    list.last().ppf = 4;
    list.last().distanceMm = 35;
    list.append(make("a coarser grid", rir, four, regular(3000, 10, 1)));
    list.last().options = QStringList { "--rate", "40" };
    list.append(make("two lines a read", rir, four, reads(2000, 20, 2)));
    list.append(make("zeros, negatives, a constant, clipped", rir,
        { Light::Coupled, Light::NonPositive, Light::Constant, Light::Clipped }, regular(1500, 20)));
    // Unplugged for five seconds in the middle.
    list.append(make("a gap", rir, four, regular(1000, 20) + regular(1000, 20, 0, 25000)));
    // 400 samples: the band-pass has 551 taps.
    list.append(make("shorter than the filter", rir, four, regular(400, 20)));
    return list;
}

// The numbers of a ";"-separated line.
Series numbers(const QByteArray& line)
{
    Series values;
    for (const QByteArray& field : line.split(';'))
        values.push_back(field == "nan" ? std::nan("") : field.toDouble());
    return values;
}

} // namespace

class tst_RecordAnalysis : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;
    QList<Case> m_cases;
    QHash<QByteArray, ToolRun> m_analyses; // by case name
    QHash<QByteArray, QString> m_snirf; // by case name
    QHash<QByteArray, QList<QByteArray>> m_mne; // "<file> <key>" to its answer lines
    QString m_skip;

    QString recordPath(const QByteArray& name) const
    {
        QByteArray base = name;
        base.replace(' ', '-').replace(',', "");
        return QDir(m_home.path()).filePath("2026.03.14-09.26.53.589-" + QString::fromUtf8(base) + ".csv");
    }
    // MNE's numbers of an answer line of the case's file whose first number is index; empty when it gave none.
    Series mne(const QByteArray& name, const QByteArray& key, double index = -1) const
    {
        for (const QByteArray& line : m_mne.value(m_snirf.value(name).toUtf8() + ' ' + key)) {
            const QList<QByteArray> fields = line.split(' ');
            if (index >= 0 && (fields.isEmpty() || fields[0].toDouble() != index))
                continue;
            Series values;
            for (qsizetype i = index >= 0 ? 1 : 0; i < fields.size(); ++i)
                values.push_back(fields[i] == "nan" ? std::nan("") : fields[i].toDouble());
            return values;
        }
        return {};
    }

private slots:
    // Every record is written, exported and analysed first; MNE then reads every export in one run (it takes
    // seconds to load).
    void initTestCase()
    {
        m_cases = cases();
        QStringList requests;
        for (const Case& c : m_cases) {
            const QString settingsPath = QDir(m_home.dataFolder()).filePath("RecSettings.xml");
            QFile::remove(settingsPath);
            if (c.settings) {
                RecordsSettings settings(settingsPath);
                settings.setPartialPathlengthFactor(4);
                settings.setSourceDetectorDistance(35);
                settings.setRedWavelength(700);
                settings.setInfraredWavelength(900);
            }
            const QString record = recordPath(c.name);
            QVERIFY2(writeRecord(record, c), c.name.constData());
            const ToolRun exported
                = runTool(HALVEX_EXPORT, QStringList { "--force", record } + c.options, m_home.path(), 60000);
            QVERIFY2(exported.exitCode == 0, exported.error.constData());
            m_snirf[c.name] = QString(record).replace(".csv", ".snirf");
            QStringList options = c.options;
            if (c.ppf != 6 && !c.settings)
                options << "--ppf" << QString::number(c.ppf);
            m_analyses[c.name]
                = runTool(HALVEX_ANALYZE, QStringList { "--hb", "--quality", record } + options, m_home.path(), 60000);
            requests.append(QString::number(c.ppf) + ':' + m_snirf[c.name]);
        }
        QFile::remove(QDir(m_home.dataFolder()).filePath("RecSettings.xml"));

        m_skip = mneMissing();
        if (!m_skip.isEmpty())
            return;
        QProcess python;
        python.start("/usr/bin/python3", QStringList { ANALYZE_REFERENCE } + requests);
        QVERIFY(python.waitForFinished(200000));
        QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
        for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() >= 2)
                m_mne[fields[0] + ' ' + fields[1]].append(line.mid(fields[0].size() + fields[1].size() + 2));
        }
    }

    // Each case's haemoglobin and scalp coupling index against MNE's for the exported file; the probe's distance;
    // the statuses where the light decides them; the saturation of the clipped channel; NaN only inside the gap.
    void againstMne_data()
    {
        addColumns<QByteArray, QByteArray, QByteArray>({ "name", "labels", "statuses" });
        addRow("VRIR, montage, jitter", QByteArray("VRIR, montage, jitter"), QByteArray("Fp1 Fp2 Cz Fp1-2"),
            QByteArray("good bad good good"));
        addRow("options for both tools", QByteArray("options for both tools"), QByteArray("1 2 3 4"),
            QByteArray("good bad good good"));
        addRow("the records settings", QByteArray("the records settings"), QByteArray("1 2 3 4"),
            QByteArray("good bad good good"));
        addRow("a coarser grid", QByteArray("a coarser grid"), QByteArray("1 2 3 4"), QByteArray("good bad good good"));
        addRow("two lines a read", QByteArray("two lines a read"), QByteArray("1 2 3 4"),
            QByteArray("good bad good good"));
        // The constant channel's index is 0, not NaN, and bad.
        addRow("zeros, negatives, a constant, clipped", QByteArray("zeros, negatives, a constant, clipped"),
            QByteArray("1 2 3 4"), QByteArray("good - bad -"));
        addRow("a gap", QByteArray("a gap"), QByteArray("1 2 3 4"), QByteArray("good bad good good"));
        addRow("shorter than the filter", QByteArray("shorter than the filter"), QByteArray("1 2 3 4"),
            QByteArray("- - - -"));
    }
    void againstMne()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, labels);
        QFETCH(QByteArray, statuses);
        const Case& c = *std::find_if(m_cases.begin(), m_cases.end(), [&](const Case& x) { return x.name == name; });
        const ToolRun& analysis = m_analyses[name];
        QVERIFY2(analysis.exitCode == 0, analysis.error.constData());
        QCOMPARE(analysis.error, QByteArray());

        const QList<QByteArray> parts = analysis.output.split('\n');
        const qsizetype empty = parts.indexOf(QByteArray());
        QVERIFY(empty > 1);
        const QList<QByteArray> hb = parts.mid(0, empty);
        QCOMPARE(hb[0], QByteArray("time_s;HbO1;HbR1;HbO2;HbR2;HbO3;HbR3;HbO4;HbR4"));
        QCOMPARE(parts[empty + 1], QByteArray("channel;label;sci;cv_percent;saturated_percent;status"));
        const QList<QByteArray> quality = parts.mid(empty + 2, c.channels.size());
        QCOMPARE(parts.size(), empty + 2 + c.channels.size() + 1); // and the final line feed
        std::vector<Series> columns(1 + 2 * size_t(c.channels.size()));
        for (qsizetype i = 1; i < hb.size(); ++i) {
            const Series values = numbers(hb[i]);
            QCOMPARE(values.size(), columns.size());
            for (size_t k = 0; k < values.size(); ++k)
                columns[k].push_back(values[k]);
        }
        const QList<QByteArray> expectedLabels = labels.split(' ');
        const QList<QByteArray> expectedStatuses = statuses.split(' ');
        for (int channel = 0; channel < c.channels.size(); ++channel) {
            const QList<QByteArray> fields = quality[channel].split(';');
            QCOMPARE(fields.size(), 6);
            QCOMPARE(fields[0], QByteArray::number(channel + 1));
            QCOMPARE(fields[1], expectedLabels[channel]);
            const double sci = fields[2].toDouble();
            QCOMPARE(fields[5], QByteArray(sci >= 0.75 ? "good" : "bad"));
            if (expectedStatuses[channel] != "-")
                QCOMPARE(fields[5], expectedStatuses[channel]);
            if (c.channels[channel] == Light::Constant)
                QCOMPARE(fields[2], QByteArray("0"));
            // Without a SaturationLevel, light stuck at the record's top is saturated; the brightest channel of a
            // record that never clips may touch its top a few times.
            if (c.channels.contains(Light::Clipped))
                QCOMPARE(fields[4].toDouble(), c.channels[channel] == Light::Clipped ? 25.0 : 0.0);
            else
                QVERIFY2(fields[4].toDouble() < 0.5, fields[4].constData());
        }
        // Inside the gap only: the grid runs on across it.
        const qsizetype nan
            = std::count_if(columns[1].begin(), columns[1].end(), [](double v) { return std::isnan(v); });
        QCOMPARE(nan > 0, name == "a gap");
        QVERIFY(nan < qsizetype(columns[1].size()) / 5);

        if (!m_skip.isEmpty())
            QSKIP(qPrintable(m_skip));
        QVERIFY2(relativeDifference(columns[0], mne(name, "times")) <= 1e-12, "the export's time grid");
        for (int channel = 0; channel < c.channels.size(); ++channel) {
            const Series distance = mne(name, "distance", channel);
            QCOMPARE(distance.size(), size_t(1));
            QVERIFY2(std::abs(distance[0] - c.distanceMm) <= 1e-9, qPrintable(QString::number(distance[0])));
            for (int k = 0; k < 2; ++k) {
                const Series expected = mne(name, k == 0 ? "oxy" : "deoxy", channel);
                const double difference = relativeDifference(columns[size_t(1 + 2 * channel + k)], expected);
                QVERIFY2(difference <= 1e-6,
                    qPrintable(QStringLiteral("channel %1 %2: %3").arg(channel + 1).arg(k).arg(difference)));
            }
            const Series cv = mne(name, "cv", channel);
            QVERIFY(relativeDifference({ quality[channel].split(';')[3].toDouble() }, cv) <= 1e-8);
            const Series sci = mne(name, "sci", channel);
            QCOMPARE(sci.size(), size_t(1));
            const double ours = quality[channel].split(';')[2].toDouble();
            QVERIFY2(std::abs(ours - sci[0]) <= 0.02,
                qPrintable(QStringLiteral("channel %1: %2, MNE %3").arg(channel + 1).arg(ours).arg(sci[0])));
        }
    }

    // Wrong command lines and records that give nothing: exit code 2 and the reason, nothing on the output.
    void refused_data()
    {
        addColumns<QStringList, QByteArray>({ "arguments", "error" });
        addRow("neither --hb nor --quality", QStringList { "rec.csv" }, QByteArray("give --hb, --quality or both\n"));
        addRow("no record", QStringList { "--hb" }, QByteArray("give one record file\n"));
        addRow("missing record", QStringList { "--hb", "none.csv" }, QByteArray("none.raw: no such file\n"));
        addRow("one sample", QStringList { "--hb", "one.csv" },
            QByteArray("one.raw: fewer than 2 samples (0 damaged lines skipped)\n"));
        addRow("infrared beyond the table", QStringList { "--hb", "--wavelengths", "760,1100", "rec.csv" },
            QByteArray("--wavelengths: 1100 nm lies outside the 300 to 1000 nm for which the haemoglobin "
                       "extinction coefficients are tabulated here\n"));
        addRow("red below the table", QStringList { "--quality", "--wavelengths", "250,850", "rec.csv" },
            QByteArray("--wavelengths: 250 nm lies outside the 300 to 1000 nm for which the haemoglobin extinction "
                       "coefficients are tabulated here\n"));
        addRow("wavelengths swapped", QStringList { "--hb", "--wavelengths", "850,760", "rec.csv" },
            QByteArray("--wavelengths takes two numbers in nm, red below infrared\n"));
        addRow("factor 0", QStringList { "--hb", "--ppf", "0", "rec.csv" },
            QByteArray("--ppf takes a number from 0.1 to 50\n"));
        addRow("distance beyond 10 cm", QStringList { "--hb", "--distance-mm", "101", "rec.csv" },
            QByteArray("--distance-mm takes a number from 1 to 100\n"));
        addRow("rate 0", QStringList { "--hb", "--rate", "0", "rec.csv" },
            QByteArray("--rate takes a number above 0 and up to 1000\n"));
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, error);
        QVERIFY(
            TemporaryHome::writeFile(QDir(m_home.path()).filePath("rec.raw"), ";R1;IR1\r\n0;10;20\r\n20;11;21\r\n"));
        QVERIFY(TemporaryHome::writeFile(QDir(m_home.path()).filePath("one.raw"), ";R1;IR1\r\n0;10;20\r\n"));
        const ToolRun result = runTool(HALVEX_ANALYZE, arguments, m_home.path(), 60000);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.output, QByteArray());
        const QByteArray expected = "halvex-analyze: " + error;
        QVERIFY2(result.error.startsWith(expected), result.error.constData());
    }

    // Below 3.6 samples/s the band-pass of the coupling index does not fit: the index is NaN and the channel bad,
    // with the reason on the standard error; the rest is written.
    void rateTooLowForTheIndex()
    {
        QByteArray record = ";R1;IR1\r\n";
        for (int i = 0; i < 100; ++i)
            record += QByteArray::number(i * 500) + ';' + QByteArray::number(1000 + i % 7) + ";2000\r\n";
        QVERIFY(TemporaryHome::writeFile(QDir(m_home.path()).filePath("slow.raw"), record));
        const ToolRun result = runTool(HALVEX_ANALYZE, { "--quality", "slow.raw" }, m_home.path(), 60000);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.output.startsWith("channel;label;sci;cv_percent;saturated_percent;status\n1;1;nan;")
                && result.output.endsWith(";bad\n"),
            result.output.constData());
        QVERIFY2(result.error.startsWith("halvex-analyze: slow.raw: no scalp coupling index: A band-pass from 0.7 to "
                                         "1.5 Hz"),
            result.error.constData());
    }

    // The numbers are printf's %.9g, byte for byte: every decade of doubles, values just below a power of ten,
    // halves at the ninth digit (printf rounds them to even) and the doubles nearest to decimal ones, negative
    // values, and what is not a finite number.
    void significant_data()
    {
        addColumns<QList<double>>({ "values" });
        const auto sweep = [](double first, double factor) {
            QList<double> values;
            std::mt19937 random(1);
            std::uniform_real_distribution<double> spread(1, 10);
            for (double v = first; std::isfinite(v) && std::abs(v) < 1e300; v *= factor)
                values << v << v * spread(random) << std::nextafter(v, 0.0);
            return values;
        };
        addRow("powers of ten", sweep(1e-310, 10));
        addRow("just below a power of ten", sweep(9.9999999949999e-20, 10));
        addRow("every decade, irregular digits", sweep(3.14159265358979e-300, 7.7));
        addRow("negative", sweep(-2.718281828459045e-30, 3.3));
        addRow("halves at the ninth digit",
            QList<double> { 100000000.5, 100000001.5, 999999998.5, 10000000.25, 12345678.75, 1000000.125, -100000001.5,
                4294967295.5 * 1024 });
        QList<double> decimals;
        std::mt19937 random(3);
        for (int exponent = -30; exponent <= 30; exponent += 3) {
            for (int k = 0; k < 50; ++k) {
                const double v = std::strtod(qPrintable(QStringLiteral("%1%2e%3")
                                                            .arg(100000000 + random() % 900000000)
                                                            .arg(k % 2 ? 5 : 49)
                                                            .arg(exponent)),
                    nullptr);
                decimals << v << std::nextafter(v, 0.0) << std::nextafter(v, 1e300);
            }
        }
        addRow("nearest to decimal halves", decimals);
        addRow("not finite, zero",
            QList<double> { 0.0, -0.0, std::nan(""), std::numeric_limits<double>::infinity(),
                -std::numeric_limits<double>::infinity() });
    }
    void significant()
    {
        QFETCH(QList<double>, values);
        for (const double v : std::as_const(values)) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.9g", v);
            char written[RecordText::MaxSignificantSize];
            QCOMPARE(QByteArray(written, RecordText::formatSignificant(v, written) - written), QByteArray(expected));
        }
    }
};

QTEST_GUILESS_MAIN(tst_RecordAnalysis)
#include "tst_recordanalysis.moc"
