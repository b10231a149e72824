#include "DataGraphic.h"
#include "DataRow.h"
#include "HaemoglobinFeed.h"
#include "LanguageContext.h"
#include "LiveHaemoglobin.h"
#include "MainWindow.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "TemporaryHome.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

#include <cmath>
#include <memory>

namespace {
constexpr qint64 StepMs = 100;

// Light of instrument channel c at sample n, different in every channel and at every sample.
double red(int c, int n)
{
    return 1000 + 37 * c + 80 * std::sin(0.7 * n + c);
}
double infrared(int c, int n)
{
    return 1500 + 23 * c + 60 * std::cos(0.5 * n + 0.3 * c);
}

// Feeds the window and a LiveHaemoglobin of its own the same samples.
class Feeder
{
public:
    Feeder(MainWindow* window, int channels, int valuesPerChannel, double baselineSeconds)
        : m_window(window)
        , m_channels(channels)
        , m_k(valuesPerChannel)
        , m_expected(*BeerLambert::create(BeerLambert::Settings()), channels, baselineSeconds)
        , m_red(size_t(channels))
        , m_infrared(size_t(channels))
    { }

    void feed(int samples)
    {
        for (int i = 0; i < samples; ++i, ++m_n) {
            QList<double> data;
            for (int c = 0; c < m_channels; ++c) {
                m_red[size_t(c)] = red(c, m_n);
                m_infrared[size_t(c)] = infrared(c, m_n);
                if (m_k == 3)
                    data << 5;
                data << m_red[size_t(c)] << m_infrared[size_t(c)];
            }
            const qint64 ts = 1'000'000 + m_n * StepMs;
            m_window->onNewData(ts, data);
            m_known = m_expected.push(double(ts) / 1000, m_red.data(), m_infrared.data());
        }
    }
    void resetBaseline() { m_expected.reset(); }
    // HbO and HbR in µM of channel c at the last sample; NaN while unknown.
    QList<double> expected(int c) const
    {
        if (m_known == 0)
            return { qQNaN(), qQNaN() };
        return { m_expected.oxy(m_known - 1)[c], m_expected.deoxy(m_known - 1)[c] };
    }

private:
    MainWindow* m_window;
    int m_channels;
    int m_k;
    LiveHaemoglobin m_expected;
    std::vector<double> m_red;
    std::vector<double> m_infrared;
    int m_n = 0;
    int m_known = 0;
};

QList<double> inMicromolar(const QList<double>& nanomolar)
{
    QList<double> values;
    for (double v : nanomolar)
        values << v / 1000;
    return values;
}

bool near(const QList<double>& a, const QList<double>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (!(std::abs(a[i] - b[i]) <= 1e-9 * qMax(1.0, std::abs(b[i]))))
            return false;
    }
    return true;
}
} // namespace

class TestHaemoglobinView : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryHome> m_home;

    std::unique_ptr<MainWindow> open(const QString& elements, const QByteArray& optics = QByteArray())
    {
        const QString folder = m_home->dataFolder();
        TemporaryHome::writeFile(folder + QStringLiteral("/Settings.xml"),
            "<?xml version=\"1.0\"?>\n<HalvexSettings>\n<StartMaximized>false</StartMaximized>\n" + elements.toUtf8()
                + "</HalvexSettings>\n");
        if (!optics.isEmpty()) {
            TemporaryHome::writeFile(folder + QStringLiteral("/RecSettings.xml"),
                "<?xml version=\"1.0\"?>\n<RecordsSettings>\n" + optics + "</RecordsSettings>\n");
        }
        return std::make_unique<MainWindow>(folder);
    }
    template<typename T> static T* child(const std::unique_ptr<MainWindow>& window, const char* name)
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    static QString currentPage(const std::unique_ptr<MainWindow>& window)
    {
        return child<QStackedWidget>(window, "viewStack")->currentWidget()->objectName();
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }
    void init() { m_home = std::make_unique<TemporaryHome>(); }
    void cleanup() { m_home.reset(); }

    // Every graph shows the HbO and HbR of its channel from the raw R and IR, whatever the variant and arrangement;
    // the samples of the baseline show once it is complete.
    void valuesOfEveryGraph_data()
    {
        addColumns<QString, int, QString, QList<int>>({ "variant", "channels", "montage", "channelOfGraph" });
        addRow("V-R-IR", "Acquire_VRIR", 3, QString(), QList<int> { 0, 1, 2 });
        addRow("R-IR alternating, 12 channels reordered", "Acquire_aRIR", 12, QString(),
            QList<int> { 0, 2, 4, 6, 8, 10, 1, 3, 5, 7, 9, 11 });
        addRow("montage", "Acquire_RIR", 6, QStringLiteral("1=Fp1;2=Fp2\n3=C3;5"), QList<int> { 0, 1, 2, 4 });
    }
    void valuesOfEveryGraph()
    {
        QFETCH(QString, variant);
        QFETCH(int, channels);
        QFETCH(QString, montage);
        QFETCH(QList<int>, channelOfGraph);
        auto window
            = open(QStringLiteral("<Acquisition>%1</Acquisition><UseMontage>%2</UseMontage><Montage>%3</Montage>"
                                  "<BaselineSeconds>1</BaselineSeconds>")
                       .arg(variant, montage.isEmpty() ? "false" : "true", montage));
        window->loadMontage();
        Feeder feeder(window.get(), channels, variant == "Acquire_VRIR" ? 3 : 2, 1);
        feeder.feed(10);
        for (DataGraphic* graph : window->haemoglobinGraphs())
            QCOMPARE(graph->recordCount(), 0);
        feeder.feed(5);
        QCOMPARE(window->haemoglobinGraphs().size(), channelOfGraph.size());
        for (int g = 0; g < channelOfGraph.size(); ++g) {
            DataGraphic* graph = window->haemoglobinGraphs().at(g);
            QCOMPARE(graph->recordCount(), 15);
            const QList<double> shown = inMicromolar(graph->lastValues());
            QVERIFY2(near(shown, feeder.expected(channelOfGraph.at(g))),
                qPrintable(QStringLiteral("graph %1: %2 %3").arg(g).arg(shown.value(0)).arg(shown.value(1))));
        }
    }

    // Reset baseline (button or Ctrl+B) starts a new I₀: nothing is known for BaselineSeconds, then the values are
    // those of the new baseline. The line above the graphs counts down meanwhile.
    void resetBaseline_data()
    {
        addColumns<bool>({ "shortcut" });
        addRow("button", false);
        addRow("Ctrl+B", true);
    }
    void resetBaseline()
    {
        QFETCH(bool, shortcut);
        auto window = open(QStringLiteral("<Acquisition>Acquire_RIR</Acquisition><BaselineSeconds>2</BaselineSeconds>"
                                          "<View>View_Haemoglobin</View>"));
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* line = child<QLabel>(window, "baselineStatus");
        Feeder feeder(window.get(), 4, 2, 2);
        feeder.feed(5);
        QVERIFY(line->isVisible());
        QCOMPARE(line->text(), QStringLiteral("Baseline: 2 s left"));
        feeder.feed(10);
        QCOMPARE(line->text(), QStringLiteral("Baseline: 1 s left"));
        feeder.feed(6);
        QVERIFY(!line->isVisible() && window->haemoglobin()->known());
        DataGraphic* graph = window->haemoglobinGraphs().at(3);
        QCOMPARE(graph->recordCount(), 21);

        if (shortcut)
            QTest::keyClick(window.get(), Qt::Key_B, Qt::ControlModifier);
        else
            QTest::mouseClick(child<QPushButton>(window, "resetBaselineButton"), Qt::LeftButton);
        feeder.resetBaseline();
        QVERIFY(line->isVisible() && !window->haemoglobin()->known());
        feeder.feed(20);
        QCOMPARE(graph->recordCount(), 21);
        QCOMPARE(window->graphs().at(3)->recordCount(), 41);
        feeder.feed(1);
        QCOMPARE(graph->recordCount(), 42);
        QVERIFY(near(inMicromolar(graph->lastValues()), feeder.expected(3)));
    }

    // Ctrl+1, Ctrl+2 and Ctrl+3 show their view, check its button, and the next start shows it again.
    void switchViews_data()
    {
        addColumns<QString, Qt::Key, QString, QString>({ "from", "key", "page", "button" });
        addRow("haemoglobin from graphs", "View_Graphics", Qt::Key_3, "haemoglobinView", "haemoglobinButton");
        addRow("table from haemoglobin", "View_Haemoglobin", Qt::Key_1, "valueTable", "tableButton");
        addRow("graphs from haemoglobin", "View_Haemoglobin", Qt::Key_2, "graphsPanel", "graphButton");
    }
    void switchViews()
    {
        QFETCH(QString, from);
        QFETCH(Qt::Key, key);
        QFETCH(QString, page);
        QFETCH(QString, button);
        QString stored;
        {
            auto window = open(QStringLiteral("<View>%1</View>").arg(from));
            QVERIFY(currentPage(window) != page);
            window->show();
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            QTest::keyClick(window.get(), key, Qt::ControlModifier);
            QCOMPARE(currentPage(window), page);
            for (const char* name : { "tableButton", "graphButton", "haemoglobinButton" })
                QCOMPARE(child<QPushButton>(window, name)->isChecked(), button == QLatin1String(name));
            stored = QMetaEnum::fromType<HalvexSettings::ViewMode>().valueToKey(window->settings()->getView());
        }
        QVERIFY(TemporaryHome::readFile(m_home->dataFolder() + QStringLiteral("/Settings.xml"))
                    .contains(QByteArray("<View>" + stored.toLatin1() + "</View>")));
        auto again = std::make_unique<MainWindow>(m_home->dataFolder());
        QCOMPARE(currentPage(again), page);
        QVERIFY(child<QPushButton>(again, button.toLatin1().constData())->isChecked());
    }

    // Optics that give no concentrations show their reason instead of the graphs, until they are mended.
    void opticsWithoutConcentrations_data()
    {
        addColumns<QByteArray, QString>({ "optics", "reason" });
        addRow("equal wavelengths", QByteArray("<RedWavelength>850</RedWavelength>"),
            "The wavelengths 850 and 850 nm cannot tell oxy- from deoxy-haemoglobin");
    }
    void opticsWithoutConcentrations()
    {
        QFETCH(QByteArray, optics);
        QFETCH(QString, reason);
        auto window = open(QStringLiteral("<View>View_Haemoglobin</View><BaselineSeconds>1</BaselineSeconds>"), optics);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        Feeder(window.get(), 2, 2, 1).feed(15);
        auto* problem = child<QLabel>(window, "haemoglobinProblem");
        QVERIFY(problem->isVisible() && !child<QWidget>(window, "haemoglobinGraphs")->isVisible());
        QVERIFY2(problem->text().startsWith(reason), qPrintable(problem->text()));
        QCOMPARE(window->haemoglobinGraphs().at(0)->recordCount(), 0);

        window->analysisSettings()->setRedWavelength(760);
        QVERIFY(!problem->isVisible() && child<QLabel>(window, "baselineStatus")->isVisible());
        Feeder(window.get(), 2, 2, 1).feed(15);
        QVERIFY(window->haemoglobinGraphs().at(0)->recordCount() > 0);
    }

    // One instance of the optics for the live view and every records window: a change in a records window reaches
    // the live computation and the file, and the records windows go with the main window.
    void opticsShared()
    {
        auto window = open(QString());
        QPointer<RecordsWindow> first = window->openRecordsWindow();
        QPointer<RecordsWindow> second = window->openRecordsWindow();
        QVERIFY(first->settings() == window->analysisSettings() && second->settings() == first->settings());
        Feeder(window.get(), 2, 2, 10).feed(5);
        first->settings()->setInfraredWavelength(830);
        QCOMPARE(window->haemoglobin()->lawSettings().infraredWavelength, 830.0);
        QCOMPARE(window->haemoglobin()->baselineSecondsLeft(), 10.0);
        QVERIFY(TemporaryHome::readFile(m_home->dataFolder() + QStringLiteral("/RecSettings.xml"))
                    .contains("<InfraredWavelength>830</InfraredWavelength>"));
        window.reset();
        QVERIFY(first.isNull() && second.isNull());
    }
};

QTEST_MAIN(TestHaemoglobinView)
#include "tst_haemoglobinview.moc"
