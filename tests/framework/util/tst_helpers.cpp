#include "AppHelper.h"
#include "CFIRFilter.h"
#include "ConnectionHelper.h"
#include "DataRow.h"
#include "LanguageContext.h"
#include "TemporaryHome.h"
#include "TextHelper.h"

#include <QCoreApplication>
#include <QFile>
#include <QTimer>

#include <cmath>
#include <vector>

namespace {

// Amplitude of the filter's steady-state answer to a unit sine (a constant for frequency 0), after settling.
double gainAt(CFIRFilter& filter, double frequency, double sampleRate)
{
    const int periods = frequency > 0 ? int(sampleRate / frequency) : 100;
    double peak = 0.0;
    for (int n = 0; n < periods * 60; ++n) {
        const double x = frequency > 0 ? std::sin(2 * M_PI * frequency * n / sampleRate) : 1.0;
        const float y = filter.Process(float(x));
        if (n >= periods * 40)
            peak = std::max(peak, double(std::fabs(y)));
    }
    return peak;
}

} // namespace

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void texts()
    {
        QCOMPARE(AppHelper::versionFrom("2.1.0.7", true), "2.1.0");
        QCOMPARE(AppHelper::versionFrom("2.1.0.7", false), "2.1");
        QCOMPARE(TextHelper::TimeToText(3725.0, false), "01:02:05");
        QCOMPARE(TextHelper::splitAndTrim("  2\n\n 1;4 \n", "\n"), QStringList({ "2", "1;4" }));
    }

    void changeLog_data()
    {
        addColumns<QString, QString, QStringList, int, QString>(
            { "file", "language", "versions", "items", "firstItem" });
        const QStringList released
            = { "1.0.3 (2025-12-17)", "1.0.2 (2025-09-09)", "1.0.1 (2025-09-02)", "1.0.0 (2025-09-01)" };
        addRow("russian", ":/Halvex-CHANGELOG.txt", "ru-RU", released, 11, "Возможность монтажа");
        addRow("english", ":/Halvex-CHANGELOG.txt", "en_US", released, 11, "Montage capability");
        // The test copy tags one item for Windows and one for Android in each language.
        addRow("tagged english", ":/test/Halvex-CHANGELOG.txt", "en-US", QStringList { "2.0.0 (2026-01-02)" }, 2,
            "Windows only");
    }
    void changeLog()
    {
        QFETCH(QString, file);
        QFETCH(QString, language);
        QFETCH(QStringList, versions);
        QFETCH(QString, firstItem);
        const QByteArray bytes = TemporaryHome::readFile(file);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF") && bytes.count("\n") == bytes.count("\r\n"));
        const QStringList entries = AppHelper::changeLogBlocks(QString::fromUtf8(bytes), language);
        QStringList headers;
        for (const QString& entry : entries)
            headers.append(entry.section(QLatin1Char('\n'), 0, 0));
        QCOMPARE(headers, versions);
        const QString html = AppHelper::renderChangeLog(entries);
        const QString version = versions.first().section(' ', 0, 0);
        const QString date = versions.first().section(' ', 1).mid(1, 10);
        QVERIFY(
            html.startsWith("<style> .bull { padding-left: 2px; padding-right: 2px; font-weight: bold; } </style><b>"
                + version + " <span style=\"color: #999; font-weight: normal\">(" + date
                + ")</span></b><table cellspacing=\"6\"><tr><td class=\"bull\">+</td><td>" + firstItem + "</td></tr>"));
        QTEST(int(html.count("<tr>")), "items");
    }

    void connectionHelper()
    {
        QTimer source;
        int calls = 0;
        {
            ConnectionHelper connections(QStringLiteral("test"));
            connections << connect(&source, &QTimer::timeout, this, [&calls] { ++calls; });
            emit source.timeout({});
            connections.clear();
            emit source.timeout({});
            connections << connect(&source, &QTimer::timeout, this, [&calls] { calls += 10; });
        }
        emit source.timeout({});
        QCOMPARE(calls, 1);
        ConnectionHelper connections;
        for (int i = 0; i < 1000; ++i) {
            QObject receiver;
            connections << connect(&source, &QTimer::timeout, &receiver, [] {});
        }
        QVERIFY(connections.count() <= 32);
    }

    // Gain at DC, at the cut-off (half power, within 1 %) and in the stop band, for orders 2 to 4.
    void gain_data()
    {
        addColumns<int, double, double, double, double>({ "kind", "cutoff", "frequency", "gain", "tolerance" });
        const double half = 1.0 / std::sqrt(2.0);
        addRow("low-pass keeps a constant", 0, 0.5, 0.0, 1.0, 1e-4);
        addRow("high-pass removes a constant", 1, 0.5, 0.0, 0.0, 1e-4);
        addRow("low-pass 1 Hz, cut-off", 0, 1.0, 1.0, half, 0.01 * half);
        addRow("high-pass 0.5 Hz, cut-off", 1, 0.5, 0.5, half, 0.01 * half);
        addRow("low-pass stop band", 0, 1.0, 5.0, 0.0, 0.05);
        addRow("high-pass stop band", 1, 2.0, 0.2, 0.0, 0.05);
        // A cut-off outside 0.01 Hz .. half the rate leaves the curve as it is.
        addRow("below 0.01 Hz passes", 1, 0.005, 0.0, 1.0, 1e-6);
        addRow("at half the rate passes", 1, 10.0, 0.0, 1.0, 1e-6);
    }
    void gain()
    {
        QFETCH(int, kind);
        QFETCH(double, cutoff);
        QFETCH(double, frequency);
        QFETCH(double, gain);
        QFETCH(double, tolerance);
        for (int order : { 2, 3, 4 }) {
            CFIRFilter filter(kind, float(cutoff), order, 20.0f, 1);
            QVERIFY(std::fabs(gainAt(filter, frequency, 20.0) - gain) <= tolerance);
        }
    }

    void resetReproducesOutput()
    {
        std::vector<float> input;
        for (int n = 0; n < 300; ++n)
            input.push_back(float(std::sin(n * 0.3) * 50 + (n % 7)));
        CFIRFilter filter(1, 0.7f, 4, 20.0f, 1);
        const auto run = [&filter, &input] {
            std::vector<float> output(input.size());
            filter.Process(input.data(), output.data(), int(input.size()));
            return output;
        };
        const auto first = run();
        QVERIFY(run() != first);
        filter.Reset();
        QVERIFY(run() == first);
    }

    // After the helpers above, which run in the language of a first start.
    void availableLanguages()
    {
        // Only the compiled-in catalogues: the build folder beside the test must not change the outcome.
        LanguageContext::UseFilesInRootDir = false;
        QCOMPARE(LanguageContext::availableLanguages(), QStringList({ "en_US", "ru_RU" }));
    }

    void detect_data()
    {
        addColumns<QByteArray, QString, QString>({ "settings", "locale", "expected" });
        const auto xml = [](const char* inner) -> QByteArray {
            return "<?xml version=\"1.0\"?>\n<HalvexSettings>" + QByteArray(inner) + "</HalvexSettings>";
        };
        addRow("file ru_RU, English system", xml("<Language>ru_RU</Language><ColorTheme>Dark</ColorTheme>"), "en_US",
            "ru_RU");
        addRow("no file, ru_KZ", QByteArray(), "ru_KZ", "ru_RU");
        addRow("file without language", xml("<View>View_Table</View>"), "ru_RU", "ru_RU");
        addRow("unknown language kept out", xml("<Language>de_DE</Language>"), "en_US", "en_US");
        addRow("later element wins", xml("<Language>en_US</Language><Language>ru_RU</Language>"), "en_US", "ru_RU");
        addRow("broken file keeps what was read", QByteArray("<HalvexSettings><Language>ru_RU</Language><Oops"),
            "en_US", "ru_RU");
    }
    void detect()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, locale);
        TemporaryHome home;
        const QString path = home.path() + QStringLiteral("/Settings.xml");
        QVERIFY(settings.isNull() || TemporaryHome::writeFile(path, settings));
        QTEST(LanguageContext::detectLanguage(path, locale), "expected");
    }

    void chooseAndTranslate()
    {
        LanguageContext* context = LanguageContext::Instance();
        QCOMPARE(context->chooseLanguage("ru-RU", "en_US"), "ru_RU");
        QCOMPARE(context->chooseLanguage("fr-FR", "ru_RU"), "ru_RU"); // the system's when the code has none
        QCOMPARE(context->chooseLanguage("", "fr_FR"), "en_US");
        QCOMPARE(LanguageContext::translate("Generic", "Not now", "ru-RU"), "Не сейчас");
        QCOMPARE(LanguageContext::translate("Generic", "Not now", "de-DE"), "Not now");
        QCOMPARE(LanguageContext::setLanguage("ru-RU"), "ru_RU");
        QCOMPARE(LanguageContext::currentLanguage(), "ru_RU");
    }

    void montageDescriptionKeepsItsLineFeeds()
    {
        const QString text = LanguageContext::translate("Generic", "MontageDescription", "ru_RU");
        QCOMPARE(text.count(QLatin1Char('\n')), 5);
        QVERIFY(
            text.contains("например:\n<div style=\"font-family: 'Courier New', monospace\">2<br>1;4</div>\nто будет"));
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
