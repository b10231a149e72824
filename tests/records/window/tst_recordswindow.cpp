#include "DataGraphic.h"
#include "DataRow.h"
#include "GapShading.h"
#include "PropertyListControl.h"
#include "RecordAnalysis.h"
#include "RecordFixture.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "SnirfValidation.h"
#include "StyleHelper.h"
#include "TemporaryHome.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

class tst_RecordsWindow : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

    // The lines given, or 3 s of lines every 100 ms, of a record of `channels` channels.
    static QString writeRecord(const QString& name, int channels, QList<QByteArray> lines = {})
    {
        const bool given = !lines.isEmpty();
        for (int t = 0; !given && t <= 3000; t += 100) {
            QByteArray& line = lines.emplace_back(QByteArray::number(t));
            for (int k = 0; k < 3 * channels; ++k)
                line += ';' + QByteArray::number((t * (k + 1)) % 97);
        }
        TemporaryHome::writeFile(name, rirRecord(channels, lines));
        return QDir::current().filePath(name);
    }

    static QString title(DataGraphic* graph) { return graph->findChild<QLabel*>()->text(); }

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_home.path())); }
    void init() { QFile::remove("RecSettings.xml"); }

    // The settings file users keep, with every default.
    void settingsFile()
    {
        RecordsSettings settings;
        QVERIFY(settings.reload());
        settings.setHPF(0.5);
        settings.resetHPF();
        QCOMPARE(TemporaryHome::readFile("RecSettings.xml"),
            QByteArray(
                "<?xml version=\"1.0\"?>\n<RecordsSettings>\n    <ViewSeconds>20</ViewSeconds>\n"
                "    <HPF>0.02</HPF>\n    <Range>100</Range>\n    <Offset>0</Offset>\n"
                "    <Channel1>0</Channel1>\n    <Channel2>9</Channel2>\n"
                "    <RedWavelength>760</RedWavelength>\n    <InfraredWavelength>850</InfraredWavelength>\n"
                "    <PartialPathlengthFactor>6</PartialPathlengthFactor>\n"
                "    <SourceDetectorDistance>30</SourceDetectorDistance>\n    <GoodCoupling>0.75</GoodCoupling>\n"
                "    <SaturationLevel>0</SaturationLevel>\n    <DarkLevel>1</DarkLevel>\n"
                "</RecordsSettings>\n"));
    }

    void channel2_data()
    {
        addColumns<int, int, int, QString, int>({ "channels", "index", "records", "right", "scroll" });
        QTest::newRow("ten channels") << 10 << 9 << 61 << "10" << 2;
        QTest::newRow("fewer channels than Channel2") << 3 << 0 << 0 << "CH2" << 0;
    }
    void channel2()
    {
        QFETCH(int, channels);
        QFETCH(QString, right);
        RecordsWindow window;
        window.openPaths({ writeRecord("rec.csv", channels) });
        QCOMPARE(window.channelList().size(), channels);
        auto* box = window.findChild<QComboBox*>("channel2Box");
        QTEST(box->currentIndex(), "index");
        QCOMPARE(window.settings()->getChannel2(), 9);
        DataGraphic* graph = window.graphs().constFirst();
        QTEST(graph->recordCount(), "records");
        QVERIFY2(title(graph).startsWith("<b>rec</b>") && title(graph).contains("Diff [1] - [" + right + "]<br>"),
            qPrintable(title(graph)));

        // The view applies at once: three seconds of record in a one-second view.
        auto* scrollBar = window.findChild<QScrollBar*>();
        window.settings()->setRange(300);
        graph->grab();
        QCOMPARE(graph->maximum(), 300.0f);
        window.settings()->setViewSeconds(1);
        QTEST(scrollBar->maximum(), "scroll");

        // A channel or cut-off reloads once for a burst of changes, and a graph that was empty can then scroll.
        QSignalSpy reloaded(&window, &RecordsWindow::reloaded);
        window.settings()->setHPF(0.1);
        box->setCurrentIndex(2);
        QCOMPARE(window.settings()->getChannel2(), 2);
        QCOMPARE(reloaded.count(), 0);
        QVERIFY(reloaded.wait(3000));
        QCOMPARE(graph->recordCount(), 61);
        QVERIFY(title(graph).contains("Diff [1] - [3]<br>"));
        QCOMPARE(scrollBar->maximum(), 2);
        // Once: without another change nothing is loaded again a second later.
        QVERIFY(!reloaded.wait(1500));
    }

    // Without records a hint stands where the graphs go; every control of the tool row explains itself, and the
    // row lies on the window's dark background in the dark theme (a window without parent gets no background from
    // the style sheet). A record opened twice shows once.
    void emptyWindowAndToolRow()
    {
        StyleHelper* style = StyleHelper::Instance();
        style->addStyleFile(":/themes/nt.theme.css");
        style->addThemeFile(":/themes/dark.css", "dark");
        style->addThemeFile(":/themes/light.css", "light");
        style->selectTheme("dark");
        RecordsWindow window;
        window.resize(1600, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* hint = window.findChild<QLabel*>("emptyHint");
        QVERIFY(hint->isVisible());

        auto* clear = window.findChild<QPushButton*>("clearRecordsButton");
        auto* exportButton = window.findChild<QPushButton*>("exportSnirfButton");
        QList<QWidget*> tools { window.findChild<QPushButton*>("openRecordsButton"), clear, exportButton,
            window.findChild<QComboBox*>("channel1Box"), window.findChild<QComboBox*>("channel2Box"),
            window.findChild<QComboBox*>("signalBox") };
        int firstControl = window.width();
        for (PropertyListControl* control : window.findChildren<PropertyListControl*>()) {
            tools << control->getWidgetInfo(0).header << control->getWidgetInfo(0).view;
            firstControl = qMin(firstControl, control->x());
        }
        QCOMPARE(tools.size(), 6 + 2 * 6);
        for (QWidget* tool : std::as_const(tools))
            QVERIFY2(!tool->toolTip().isEmpty(), tool->metaObject()->className());
        const QImage shot = window.grab().toImage();
        const QPoint gap((exportButton->geometry().right() + firstControl) / 2, clear->geometry().center().y());
        QVERIFY2(shot.pixelColor(gap).lightness() < 80, qPrintable(shot.pixelColor(gap).name()));
        style->selectTheme("light");

        const QString path = writeRecord("hint.csv", 2);
        window.openPaths({ path, path });
        window.openPaths({ path });
        QCOMPARE(window.graphs().size(), 1);
        QVERIFY(!hint->isVisible());
        window.clearRecords();
        QVERIFY(window.graphs().isEmpty() && hint->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void gapShaded_data()
    {
        // away: ms without lines from 1 s on
        // shaded: at 0.02, 0.25, 0.45 and 0.95 of the width
        addColumns<int, int, QList<bool>>({ "away", "scroll", "shaded" });
        // Window 0 … 20 s: the gap from 1 s on; window 25 … 45 s: the gap up to 31 s.
        QTest::newRow("from the start") << 30000 << 0 << QList<bool> { false, true, true, true };
        QTest::newRow("scrolled") << 30000 << 25 << QList<bool> { true, true, false, false };
        QTest::newRow("no gap") << 100 << 0 << QList<bool> { false, false, false, false };
    }
    void gapShaded()
    {
        QFETCH(int, away);
        QFETCH(int, scroll);
        QList<QByteArray> lines;
        for (int t = 0; t <= 46000; t += t == 1000 ? away : 100)
            lines << QByteArray::number(t) + ";7;0;0";
        RecordsWindow window;
        window.resize(800, 600);
        window.settings()->setChannel2(0);
        window.openPaths({ writeRecord("gap.csv", 1, lines) });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QScrollBar*>()->setValue(scroll);
        DataGraphic* graph = window.graphs().constFirst();
        const QImage shaded = graph->grab().toImage();
        graph->findChild<GapShading*>()->hide();
        const QImage plain = graph->grab().toImage();
        QList<bool> result;
        for (double fraction : { 0.02, 0.25, 0.45, 0.95 }) {
            const QPoint point(int(fraction * shaded.width()), shaded.height() / 3);
            result.append(shaded.pixel(point) != plain.pixel(point));
        }
        QTEST(result, "shaded");
    }

    // Events keep their place on the curves whatever the Offset, beside the marks of a ".log".
    void eventsBesideLogMarks()
    {
        const QString path = writeRecord("events.csv", 10);
        TemporaryHome::writeFile("events.log", "1000\tSync\r\n2500\tStim A\r\n");
        TemporaryHome::writeFile("events.events", "2000\tkey\tF1\r\n500\thttp\tStim B\r\n");
        RecordsWindow window;
        window.resize(800, 600);
        window.settings()->setViewSeconds(3);
        window.openPaths({ path });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        DataGraphic* graph = window.graphs().constFirst();
        QCOMPARE(graph->eventCount(), 2);
        // The line lies between pixels: its hue shows in one of them, antialiased. Events are orange.
        const auto event = [graph](qint64 time) {
            const QImage image = graph->grab().toImage();
            const int x = int(double(time) / 3000.0 * image.width());
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor pixel = image.pixelColor(x + dx, image.height() * 3 / 4);
                if (pixel.hsvSaturation() > 120 && pixel.hsvHue() >= 20 && pixel.hsvHue() <= 50)
                    return true;
            }
            return false;
        };
        QVERIFY(event(2000) && event(500));
        window.settings()->setOffset(0.5);
        QVERIFY(event(2500) && !event(2000));
    }

    // HbO and HbR of both channels as halvex-analyze computes them: four curves through the grid points outside the
    // record's gap, filling the graph, computed again when the settings change; the reason where the settings give
    // no haemoglobin; and back to the raw comparison.
    void haemoglobin()
    {
        // Two channels at 50 Hz with a pulse in the light, unplugged for two seconds after ten.
        QList<QByteArray> lines;
        QByteArray raw = ";R1;IR1;R2;IR2\r\n";
        for (int t = 0; t < 22000; t += t == 9980 ? 2020 : 20) {
            const double pulse = std::sin(6.9 * t / 1000.0);
            QByteArray line = QByteArray::number(t);
            for (const double level : { 2000.0, 3000.0, 2500.0, 2800.0 })
                line += ';' + QByteArray::number(qRound(level * (1 + 0.01 * pulse * (level > 2600 ? 1.2 : 1))));
            raw += line + "\r\n";
            lines << QByteArray::number(t) + ";1;2;3;4;5;6";
        }
        const QString path = writeRecord("hb.csv", 2, lines);
        QVERIFY(TemporaryHome::writeFile("hb.raw", raw));
        RecordsWindow window;
        window.resize(800, 600);
        QSignalSpy reloaded(&window, &RecordsWindow::reloaded);
        window.settings()->setChannel2(1);
        // The reload a channel change schedules is over before anything else changes.
        QVERIFY(reloaded.wait(3000));
        window.openPaths({ path });
        DataGraphic* graph = window.graphs().constFirst();
        const int rawRecords = graph->recordCount();
        auto* signal = window.findChild<QComboBox*>("signalBox");
        QCOMPARE(signal->currentIndex(), 0);
        signal->setCurrentIndex(1);
        QCOMPARE(window.signal(), RecordsWindow::Signal::Haemoglobin);

        const auto expected = [&window, &path](int& points) {
            RecordAnalysis analysis;
            if (!analysis.analyse(path, RecordAnalysis::options(*window.settings())))
                return -1.0;
            double largest = 0;
            points = 0;
            for (size_t i = 0; i < size_t(analysis.size()); ++i) {
                const RecordAnalysis::Channel& one = analysis.channels()[0];
                const RecordAnalysis::Channel& two = analysis.channels()[1];
                if (std::isnan(one.oxy[i]))
                    continue;
                ++points;
                largest = std::max({ largest, std::abs(one.oxy[i]), std::abs(one.deoxy[i]), std::abs(two.oxy[i]),
                    std::abs(two.deoxy[i]) });
            }
            return largest * 1.1;
        };
        int points = 0;
        const double range = expected(points);
        QVERIFY(range > 0);
        QCOMPARE(points, 1000);
        QCOMPARE(graph->recordCount(), points);
        QCOMPARE(graph->pens().size(), 4);
        graph->grab();
        QCOMPARE(graph->maximum(), float(range));
        QCOMPARE(graph->findChild<GapShading*>()->gaps().size(), size_t(1));
        QVERIFY2(title(graph).contains("HbO [1]") && title(graph).contains("HbR [2]"), qPrintable(title(graph)));

        // Half the distance, twice the concentrations; the range of raw values is no concern of these curves.
        window.settings()->setSourceDetectorDistance(15);
        window.settings()->setRange(300);
        QVERIFY(reloaded.wait(3000));
        graph->grab();
        QVERIFY2(qFuzzyCompare(graph->maximum(), float(2 * range)), qPrintable(QString::number(graph->maximum())));

        window.settings()->setRedWavelength(850);
        QVERIFY(reloaded.wait(3000));
        QCOMPARE(graph->recordCount(), 0);
        QVERIFY2(title(graph).contains("cannot tell oxy- from deoxy-haemoglobin"), qPrintable(title(graph)));

        signal->setCurrentIndex(0);
        QCOMPARE(graph->recordCount(), rawRecords);
        QCOMPARE(graph->pens().size(), 3);
        graph->grab();
        QCOMPARE(graph->maximum(), 300.0f);
        QVERIFY(title(graph).contains("Diff [1] - [2]"));
    }

    // Every open record is exported at the window's wavelengths; the message names each file or the reason.
    void exportSnirf()
    {
        const QString good = writeRecord("good.csv", 2);
        TemporaryHome::writeFile(
            "good.raw", ";R1;IR1;R2;IR2\r\n0;10;20;30;40\r\n20;11;21;31;41\r\nbad\r\n40;12;22;32;42\r\n");
        RecordsWindow window;
        window.settings()->setRedWavelength(690);
        window.openPaths({ good, writeRecord("lost.csv", 2) });
        window.show();
        auto* button = window.findChild<QPushButton*>("exportSnirfButton");
        QTest::mouseClick(button, Qt::LeftButton);
        auto* message = window.findChild<QMessageBox*>("exportSnirfMessage");
        QVERIFY(message && !message->isModal());
        QCOMPARE(message->icon(), QMessageBox::Warning);
        QCOMPARE(message->text(),
            "Exported to " + QDir::toNativeSeparators(QDir::current().filePath("good.snirf"))
                + "\n1 damaged lines skipped\nNot exported: " + QDir::current().filePath("lost.raw")
                + ": no such file");
        QVERIFY(!window.findChild<QProgressBar*>("exportSnirfProgress")->isVisible() && button->isEnabled());
        const double wavelengths[] = { 690, 850 };
        QVERIFY(TemporaryHome::readFile("good.snirf")
                    .contains(QByteArray::fromRawData(reinterpret_cast<const char*>(wavelengths), sizeof wavelengths)));
        const SnirfValidation validation
            = SnirfValidation::run(SNIRF_VALIDATE, { QFileInfo("good.snirf").absoluteFilePath() });
        QVERIFY2(validation.outcome != SnirfValidation::Failed, qPrintable(validation.report));
        if (validation.outcome == SnirfValidation::Absent)
            QSKIP(qPrintable(validation.report));
    }
};

QTEST_MAIN(tst_RecordsWindow)
#include "tst_recordswindow.moc"
