// The signal check in the window: its cells (colour, texts, place beside the graphs' places), the line it puts into
// a record's events at the start and the notice that names the weak channels.
#include "DataGraphic.h"
#include "DataRow.h"
#include "LanguageContext.h"
#include "NoticeBar.h"
#include "RecordingWindow.h"
#include "RecordsSettings.h"
#include "SignalCheck.h"
#include "SignalCheckCell.h"
#include "StyleHelper.h"

#include <QPushButton>
#include <QRegularExpression>

#include <cmath>
#include <random>

Q_DECLARE_METATYPE(LiveQuality::Quality)

namespace {

LiveQuality::Quality quality(double sci, double cv = 2.14, bool saturated = false, bool dark = false)
{
    return { true, sci, cv, saturated, dark };
}

constexpr double Rate = 10; // samples/s
using Series = std::vector<double>;

// Light with a pulse near 1.1 Hz (the same at both wavelengths for the same pulseSeed) and noise of its own.
Series light(int count, double level, double pulse, double noise, unsigned pulseSeed, unsigned noiseSeed)
{
    std::mt19937 pulseRandom(pulseSeed);
    std::mt19937 noiseRandom(noiseSeed);
    std::normal_distribution<double> normal;
    const double heartRate = 1.0 + 0.2 * std::uniform_real_distribution<double>()(pulseRandom);
    Series out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        out[size_t(i)] = level
            * std::exp(-pulse * std::sin(6.283185307179586 * heartRate * i / Rate) - noise * normal(noiseRandom));
    return out;
}

// V, R and IR of every channel for seconds of samples, one letter a channel: p a pulse at both wavelengths, n noise
// only, d a pulse in light too dark to use, s a pulse in light at 6000 (the tests' saturation level is 5000).
QList<QList<double>> samples(const QString& channels, int seconds)
{
    const int count = seconds * int(Rate) + 1;
    std::vector<Series> red, infrared;
    for (int c = 0; c < channels.size(); ++c) {
        const char kind = channels.at(c).toLatin1();
        const double level = kind == 'd' ? 0.5 : kind == 's' ? 6000 : 2000 + 100 * c;
        const bool pulse = kind != 'n';
        red.push_back(light(count, level, pulse ? 0.01 : 0, pulse ? 0.002 : 0.01, 7 + c, 70 + c));
        infrared.push_back(
            light(count, level * 1.1, pulse ? 0.012 : 0, pulse ? 0.002 : 0.01, pulse ? 7 + c : 50, 90 + c));
    }
    QList<QList<double>> out;
    for (int i = 0; i < count; ++i) {
        QList<double> sample;
        for (size_t c = 0; c < red.size(); ++c)
            sample << 0.0 << red[c][size_t(i)] << infrared[c][size_t(i)];
        out << sample;
    }
    return out;
}

} // namespace

class TestSignalCheck : public QObject
{
    Q_OBJECT
    std::unique_ptr<RecordingWindow> m_fixture;
    MainWindow* m_window = nullptr;

    // Returns the time of the last sample.
    qint64 feed(const QString& channels, int seconds, qint64 ts = 1'700'000'000'000)
    {
        for (const QList<double>& sample : samples(channels, seconds))
            m_window->onNewData(ts += qint64(1000 / Rate), sample);
        return ts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty());
        StyleHelper* style = StyleHelper::Instance();
        style->addThemeFile(QStringLiteral(":/themes/light.css"), QStringLiteral("light"));
        style->addThemeFile(QStringLiteral(":/themes/dark.css"), QStringLiteral("dark"));
    }
    void init()
    {
        m_fixture = std::make_unique<RecordingWindow>();
        QVERIFY(m_fixture->open(HalvexSettings::Acquire_VRIR));
        m_window = m_fixture->window.get();
        m_window->analysisSettings()->setSaturationLevel(5000);
        m_window->setDevice(new QuietDevice(m_window));
    }
    void cleanup() { m_fixture.reset(); }

    // What a cell shows for a quality, in the theme's colour for its verdict (GoodCoupling 0.75).
    void cell_data()
    {
        addColumns<LiveQuality::Quality, int, QStringList, QStringList, QStringList>(
            { "quality", "level", "lines", "tipSays", "tipDoesNotSay" });
        const QStringList sciTip { "the scalp coupling index", "From 0.75 the optodes see the scalp",
            "the coefficient of variation" };
        addRow("good", quality(0.93), int(SignalCheckCell::Good), QStringList { "SCI 0.93", "CV 2.1 %" }, sciTip,
            QStringList { "re-seat", "Saturated", "Dark", "Not known" });
        addRow("just good", quality(0.75, 12.4), int(SignalCheckCell::Good), QStringList { "SCI 0.75", "CV 12 %" },
            sciTip, QStringList { "re-seat" });
        addRow("fair", quality(0.6), int(SignalCheckCell::Fair), QStringList { "SCI 0.60", "CV 2.1 %" },
            QStringList { "re-seat the optode and move the hair aside" }, QStringList { "Saturated" });
        addRow("just fair", quality(0.5), int(SignalCheckCell::Fair), QStringList { "SCI 0.50", "CV 2.1 %" },
            QStringList { "re-seat" }, QStringList {});
        addRow("poor and saturated", quality(0.41, 2.14, true), int(SignalCheckCell::Poor),
            QStringList { "SCI 0.41", "CV 2.1 %", "saturated" }, QStringList { "re-seat", "Lower the gain" },
            QStringList { "Dark" });
        addRow("anticorrelated, dark and saturated", quality(-0.2, 2.14, true, true), int(SignalCheckCell::Poor),
            QStringList { "SCI -0.20", "CV 2.1 %", "saturated, dark" },
            QStringList { "Lower the gain", "Check the cable" }, QStringList {});
        addRow("not known yet", LiveQuality::Quality(), int(SignalCheckCell::Unknown), QStringList { "measuring…" },
            QStringList { "Not known yet" }, QStringList { "SCI," });
    }
    void cell()
    {
        QFETCH(LiveQuality::Quality, quality);
        QFETCH(int, level);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, tipSays);
        QFETCH(QStringList, tipDoesNotSay);
        SignalCheckCell cell;
        cell.setChannel(3, QStringLiteral("C3"));
        cell.resize(cell.sizeHint());
        cell.setQuality(quality, 0.75);
        QCOMPARE(int(cell.level()), level);
        QCOMPARE(cell.lines(), lines);
        QVERIFY(cell.toolTip().startsWith(QStringLiteral("Channel 3 of the instrument (R3 and IR3 in the record).")));
        for (const QString& text : tipSays)
            QVERIFY2(cell.toolTip().contains(text), qPrintable(cell.toolTip()));
        for (const QString& text : tipDoesNotSay)
            QVERIFY2(!cell.toolTip().contains(text), qPrintable(cell.toolTip()));
        // Filled with the theme's colour for the verdict, whichever theme; the text follows the theme too.
        for (const QString& theme : { QStringLiteral("light"), QStringLiteral("dark") }) {
            StyleHelper::Instance()->selectTheme(theme);
            const QImage image = cell.grab().toImage();
            const QColor fill = StyleHelper::ThemeColor(SignalCheckCell::levelColorName(cell.level()));
            QVERIFY(fill.isValid());
            QCOMPARE(image.pixelColor(5, image.height() / 2).name(), fill.name());
            const QColor text = StyleHelper::ThemeColor(QStringLiteral("--n-text"));
            bool textDrawn = false;
            for (int y = 0; y < image.height() && !textDrawn; ++y) {
                for (int x = 0; x < image.width() && !textDrawn; ++x)
                    textDrawn = image.pixelColor(x, y).name() == text.name();
            }
            QVERIFY2(textDrawn, qPrintable(theme));
        }
        StyleHelper::Instance()->selectTheme(QStringLiteral("light"));
    }

    // Ctrl+4 and the tool-bar button show the dock; its cells stand as the graphs do, in two columns or in the
    // montage's rows, named as they are, coloured once the window is full.
    void panelBesideTheGraphs_data()
    {
        addColumns<QString, int, QStringList>({ "montage", "channels", "titles" });
        addRow("two columns", "", 5, QStringList { "#1", "#2", "#3", "#4", "#5" });
        addRow("montage", "1=Fp1;2=Fp2\n3=C3\n5=O1;4=O2", 5, QStringList { "Fp1", "Fp2", "C3", "O2", "O1" });
    }
    void panelBesideTheGraphs()
    {
        QFETCH(QString, montage);
        QFETCH(int, channels);
        QFETCH(QStringList, titles);
        m_window->settings()->setMontage(montage);
        m_window->settings()->setUseMontage(!montage.isEmpty());
        QCoreApplication::sendPostedEvents(); // the montage is read again after a queued signal
        SignalCheckPanel* panel = m_window->signalCheck()->panel();
        auto* button = m_fixture->child<QPushButton>("signalCheckButton");
        QVERIFY(panel->isHidden() && !button->isChecked());
        QTest::keyClick(m_window, Qt::Key_4, Qt::ControlModifier);
        QVERIFY(panel->isVisible() && button->isChecked());

        feed(QString(channels, QLatin1Char('p')), 25);
        QTRY_COMPARE(m_window->graphs().size(), channels);
        const QList<SignalCheckCell*> cells = panel->cells();
        QStringList cellTitles;
        for (const SignalCheckCell* cell : cells)
            cellTitles << cell->title();
        QCOMPARE(cellTitles, titles);
        for (const SignalCheckCell* cell : cells)
            QCOMPARE(int(cell->level()), int(SignalCheckCell::Good));
        QTest::qWait(50); // the layouts settle on posted events
        // Left of, right of, above or below one another as the graphs of the same names are.
        const auto graph = [this](const QString& title) {
            for (const DataGraphic* g : m_window->graphs()) {
                if (g->name() == title)
                    return g->geometry().center();
            }
            return QPoint(-1, -1);
        };
        const auto sign = [](int v) { return (v > 0) - (v < 0); };
        for (const SignalCheckCell* a : cells) {
            QVERIFY(graph(a->title()).x() >= 0);
            for (const SignalCheckCell* b : cells) {
                const QPoint cellStep = b->geometry().center() - a->geometry().center();
                const QPoint graphStep = graph(b->title()) - graph(a->title());
                QVERIFY(a == b || !graphStep.isNull());
                QVERIFY2(sign(cellStep.x()) == sign(graphStep.x()) && sign(cellStep.y()) == sign(graphStep.y()),
                    qPrintable(a->title() + QStringLiteral(" / ") + b->title()));
            }
        }
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(panel->isHidden() && !button->isChecked());
    }

    // At the start of a record the events get the quality of every channel, and the weak ones are named.
    void recordStart_data()
    {
        // After seconds of samples, a pause and then moreSeconds of samples when pauseMs is not 0.
        addColumns<QString, QString, int, int, int, QString, QString>(
            { "channels", "montage", "seconds", "pauseMs", "moreSeconds", "line", "weak" });
        addRow("window full", "pnds", "", 25, 0, 0,
            "signal check: 1=0\\.9\\d 2=-?0\\.\\d\\d bad 3=0\\.9\\d dark 4=0\\.9\\d saturated", "#2");
        addRow("window full, montage", "pnds", "1=Fp1;2=Fp2\n3=C3;4=C4", 25, 0, 0,
            "signal check: 1=0\\.9\\d 2=.* bad .*", "Fp2");
        addRow("all coupled", "pp", "", 25, 0, 0, "signal check: 1=0\\.9\\d 2=0\\.9\\d", "");
        addRow("before the window is full", "pnds", "", 5, 0, 0, "signal check: 1=\\? 2=\\? 3=\\? 4=\\?", "");
        addRow("a pause of 2.5 s starts the window anew", "pnds", "", 25, 2500, 5,
            "signal check: 1=\\? 2=\\? 3=\\? 4=\\?", "");
        addRow("a pause of 1.5 s does not", "pnds", "", 25, 1500, 5, "signal check: 1=0\\.9\\d 2=.* bad .*", "#2");
    }
    void recordStart()
    {
        QFETCH(QString, channels);
        QFETCH(QString, montage);
        QFETCH(int, seconds);
        QFETCH(int, pauseMs);
        QFETCH(int, moreSeconds);
        QFETCH(QString, line);
        QFETCH(QString, weak);
        m_window->settings()->setMontage(montage);
        m_window->settings()->setUseMontage(!montage.isEmpty());
        QCoreApplication::sendPostedEvents(); // the montage is read again after a queued signal
        const qint64 last = feed(channels, seconds);
        if (pauseMs > 0)
            feed(channels, moreSeconds, last + pauseMs);
        m_window->startRecord();
        QVERIFY(m_window->recordSession()->isRecording());
        m_window->stopRecord();

        const QStringList events = RecordingWindow::eventTexts(true);
        QCOMPARE(events.size(), 3);
        QVERIFY2(
            QRegularExpression(QStringLiteral("^halvex ") + line + QLatin1Char('$')).match(events.first()).hasMatch(),
            qPrintable(events.first()));
        QCOMPARE(events.mid(1), QStringList({ "halvex start hook answered", "halvex record stopped" }));

        auto* notice = m_fixture->child<NoticeBar>("signalCheckNotice");
        QCOMPARE(notice->isVisible(), !weak.isEmpty());
        if (weak.isEmpty())
            return;
        QCOMPARE(notice->kind(), NoticeBar::Warning);
        QCOMPARE(notice->text(),
            QStringLiteral("Weak scalp coupling at the start of the record (SCI below 0.75): %1. Re-seat these "
                           "optodes; the signal check shows every channel.")
                .arg(weak));
        QTest::mouseClick(notice->actionButton(), Qt::LeftButton);
        QVERIFY(m_window->signalCheck()->panel()->isVisible());
    }

    // An events line holds at most RecordSession::MaxEventText characters: a long check goes on in further lines,
    // each channel whole in one of them.
    void longRecordLines()
    {
        const std::vector<LiveQuality::Quality> qualities(100, quality(0.123, 1, true, true));
        const QStringList lines = SignalCheck::recordLines(qualities, 0.75, 1000);
        QCOMPARE(lines.size(), 3);
        QString all;
        for (const QString& l : lines) {
            QVERIFY(l.size() <= 1000);
            all += l.mid(l.indexOf(QLatin1Char(':')) + 1);
        }
        QVERIFY(lines.at(0).startsWith(QStringLiteral("signal check: 1=0.12 bad saturated dark 2=")));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("signal check, continued: ")));
        QCOMPARE(all.count(QStringLiteral("=0.12 bad saturated dark")), 100);
        QVERIFY(all.endsWith(QStringLiteral(" 100=0.12 bad saturated dark")));
    }
};

QTEST_MAIN(TestSignalCheck)
#include "tst_signalcheck.moc"
