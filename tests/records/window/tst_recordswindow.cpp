#include "AveragePanel.h"
#include "DataGraphic.h"
#include "DataRow.h"
#include "GapShading.h"
#include "LanguageContext.h"
#include "PropertyListControl.h"
#include "RecordAnalysis.h"
#include "RecordFixture.h"
#include "RecordListModel.h"
#include "RecordListPanel.h"
#include "RecordSession.h"
#include "RecordWriter.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "StyleHelper.h"
#include "TemporaryHome.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
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

    // A record of the data folder as the program writes it: `seconds` of samples of `channels` R-IR channels, the
    // signal check line (if any) at the start, then marks of the user and of other programs.
    static QString makeRecord(const QString& start, const QString& title, int channels, int seconds,
        const QString& check = QString(), const QStringList& marks = {})
    {
        RecordSession session;
        RecordLayout layout;
        layout.title = title;
        layout.variant = RecordLayout::Acquire_RIR;
        const QString path
            = QDir(RecordsWindow::defaultDataFolder())
                  .filePath(RecordWriter::baseName(QDateTime::fromString(start, "yyyy-MM-dd hh:mm"), title));
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !session.startRecord(path, layout))
            return QString();
        if (!check.isEmpty())
            session.addHalvexEvent(check);
        for (int t = 0; t <= seconds * 1000; t += 500) {
            session.writeRaw(session.recordStart() + t, QList<double>(2 * channels, 1000 + t % 7));
            session.writeProcessed(session.recordStart() + t, QList<double>(3 * channels, t % 11));
        }
        for (const QString& mark : marks)
            session.addEvent(mark.section(':', 0, 0), mark.section(':', 1));
        session.stopRecord();
        return path;
    }

    // The list's rows, one text per row: its columns joined by " | ".
    static QStringList rows(RecordsWindow& window)
    {
        QStringList result;
        RecordListModel* model = window.recordList()->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            if (window.recordList()->view()->isRowHidden(row))
                continue;
            QStringList columns;
            for (int column = 0; column < model->columnCount(); ++column)
                columns << model->index(row, column).data().toString();
            result << columns.join(" | ");
        }
        return result;
    }

    // A window on the data folder once it has read it.
    static std::unique_ptr<RecordsWindow> listWindow()
    {
        auto window = std::make_unique<RecordsWindow>();
        RecordListPanel* list = window->recordList();
        QSignalSpy scanned(list, &RecordListPanel::scanned);
        if (!scanned.wait(5000))
            return nullptr;
        return window;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_home.path()));
        QVERIFY(!LanguageContext::setLanguage("en-US").isEmpty());
        // Three records the program wrote, out of order; one written by something else that is no record at all;
        // one cut off in the middle of a line, as a record still being written is.
        QVERIFY(!makeRecord(
            "2026-03-02 10:00", "Rest", 2, 65, "signal check: 1=0.93 2=0.41 bad", { "key:F1", "http:Stim B" })
                     .isEmpty());
        QVERIFY(TemporaryHome::writeFile(
            m_home.dataFolder() + "/2026.03.02-10.00.00.000-Rest.log", "1000\tSync\r\n2000\tStim A\r\n3000\t/x\r\n"));
        QVERIFY(!makeRecord(
            "2026-03-03 09:30", "Task F", 12, 3, "signal check: 1=0.90 2=0.91 3=0.92 4=0.93 5=0.94 6=0.95 7=0.96")
                     .isEmpty());
        QVERIFY(!makeRecord("2026-03-01 08:00", "", 1, 1).isEmpty());
        QVERIFY(TemporaryHome::writeFile(m_home.dataFolder() + "/2026.03.04-00.00.00.000-garbled.csv",
            QByteArray("\x00\xff;;\n\x01\x02\r\n9\xfe;x\n", 14)));
        QVERIFY(TemporaryHome::writeFile(m_home.dataFolder() + "/2026.03.05-00.00.00.000-half.csv",
            rirRecord(2, { "0;1;2;3;4;5;6", "2500;1;2;3;4;5;6" }) + "3000;1;2"));
    }
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
                "    <AverageFrom>-5</AverageFrom>\n    <AverageTo>20</AverageTo>\n"
                "    <BaselineFrom>-5</BaselineFrom>\n    <BaselineTo>0</BaselineTo>\n"
                "    <AverageBand>true</AverageBand>\n    <AverageBandLow>0.01</AverageBandLow>\n"
                "    <AverageBandHigh>0.5</AverageBandHigh>\n    <ResponseFrom>5</ResponseFrom>\n"
                "    <ResponseTo>15</ResponseTo>\n    <PowerLineFrequency>50</PowerLineFrequency>\n"
                "    <Manufacturer></Manufacturer>\n    <BidsDataset></BidsDataset>\n    <BidsSubject></BidsSubject>\n"
                "    <BidsSession></BidsSession>\n    <BidsTask></BidsTask>\n    <BidsRun>0</BidsRun>\n"
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
        auto* scrollBar = window.findChild<QScrollBar*>("graphsScrollBar");
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
        auto* panel = window.findChild<QWidget*>("recordsSettingsPanel");
        for (PropertyListControl* control : panel->findChildren<PropertyListControl*>())
            tools << control->getWidgetInfo(0).header << control->getWidgetInfo(0).view;
        QCOMPARE(tools.size(), 6 + 2 * 6);
        for (QWidget* tool : std::as_const(tools))
            QVERIFY2(!tool->toolTip().isEmpty(), tool->metaObject()->className());
        const QImage shot = window.grab().toImage();
        for (const QPoint gap :
            { QPoint((exportButton->geometry().right() + window.width()) / 2, clear->geometry().center().y()),
                panel->mapTo(&window, QPoint(panel->width() / 2, panel->height() - 5)) })
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
        window.findChild<QScrollBar*>("graphsScrollBar")->setValue(scroll);
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

        RecordAnalysis analysis;
        QVERIFY(analysis.analyse(path, RecordAnalysis::options(*window.settings())));
        double largest = 0;
        int points = 0;
        for (size_t i = 0; i < size_t(analysis.size()); ++i) {
            const RecordAnalysis::Channel& one = analysis.channels()[0];
            const RecordAnalysis::Channel& two = analysis.channels()[1];
            if (std::isnan(one.oxy[i]))
                continue;
            ++points;
            largest = std::max({ largest, std::abs(one.oxy[i]), std::abs(one.deoxy[i]), std::abs(two.oxy[i]),
                std::abs(two.deoxy[i]) });
        }
        const double range = largest * 1.1;
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

    // Every open record is exported at the window's wavelengths; the message names each file or the reason. The file
    // itself is the exporter's, validated in tst_snirfexporter.
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
    }

    // The records of the data folder, newest first, whatever their state.
    void list_data()
    {
        addColumns<int, QString>({ "row", "columns" });
        addRow("cut off in a line: up to its last whole line", 0, "2026-03-05 00:00:00 | half | 0:02 | 2 | 0 | ");
        addRow("not a record", 1, "2026-03-04 00:00:00 | garbled |  | 1 | 0 | ");
        addRow("all good", 2, "2026-03-03 09:30:00 | Task F | 0:03 | 12 | 0 | all good");
        addRow("marks of the .log and .events, one bad channel", 3,
            "2026-03-02 10:00:00 | Rest | 1:05 | 2 | 3 | 1 of 2 bad");
        addRow("no title, no signal check", 4, "2026-03-01 08:00:00 |  | 0:01 | 1 | 0 | ");
    }
    void list()
    {
        QFETCH(int, row);
        const std::unique_ptr<RecordsWindow> window = listWindow();
        QVERIFY(window);
        const QStringList shown = rows(*window);
        QCOMPARE(shown.size(), 5);
        QTEST(shown.at(row), "columns");
    }

    void search_data()
    {
        addColumns<QString, QStringList>({ "search", "titles" });
        addRow("title, any case", "task", QStringList { "Task F" });
        addRow("date as in the name", "2026.03.02", QStringList { "Rest" });
        addRow("date as shown", "2026-03-01", QStringList { "" });
        addRow("text of an event", "stim b", QStringList { "Rest" });
        addRow("text of a .log mark", "StimA", QStringList { "Rest" });
        addRow("every word", "f1 rest", QStringList { "Rest" });
        addRow("not every word", "f1 task", QStringList {});
    }
    void search()
    {
        const std::unique_ptr<RecordsWindow> window = listWindow();
        QVERIFY(window);
        QFETCH(QString, search);
        window->findChild<QLineEdit*>("recordSearch")->setText(search);
        QStringList titles;
        for (const QString& row : rows(*window))
            titles << row.section(" | ", 1, 1);
        QTEST(titles, "titles");
        auto* hint = window->findChild<QLabel*>("recordListHint");
        QCOMPARE(hint->isVisibleTo(window.get()), titles.isEmpty());
        QCOMPARE(hint->text().contains(search), titles.isEmpty());
    }

    // A record shows while it is made and with its whole length once it ends; without a data folder, a hint.
    void followsTheFolder()
    {
        QTemporaryDir elsewhere;
        RecordsWindow window;
        const QString folder = elsewhere.filePath("Halvex");
        window.setDataFolder(folder);
        auto* hint = window.findChild<QLabel*>("recordListHint");
        QTRY_VERIFY(hint->isVisibleTo(&window) && hint->text().contains(QDir::toNativeSeparators(folder)));

        QVERIFY(QDir().mkpath(folder));
        RecordSession session;
        RecordLayout layout;
        layout.title = "Live";
        QVERIFY(
            session.startRecord(folder + "/" + RecordWriter::baseName(QDateTime::currentDateTime(), "Live"), layout));
        session.writeProcessed(session.recordStart(), { 1, 2, 3 });
        QTRY_VERIFY_WITH_TIMEOUT(
            rows(window).size() == 1 && rows(window).constFirst().contains(" | Live | 0:00 | 1 | 0 | "), 5000);
        QVERIFY(!hint->isVisibleTo(&window));
        session.writeProcessed(session.recordStart() + 4200, { 1, 2, 3 });
        session.addEvent("key", "F2");
        session.stopRecord();
        QTRY_VERIFY_WITH_TIMEOUT(rows(window).constFirst().contains(" | Live | 0:04 | 1 | 1 | "), 5000);
    }

    // A double click opens its record, Enter the selected ones, each once; the pages beside the graphs hear of it.
    void openFromList()
    {
        const std::unique_ptr<RecordsWindow> window = listWindow();
        QVERIFY(window);
        window->settings()->setChannel2(1);
        auto* average = window->findChild<AveragePanel*>("averagePanel");
        QVERIFY(average);
        window->pages()->setCurrentIndex(window->pages()->indexOf(average));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QSignalSpy changed(window.get(), &RecordsWindow::openRecordsChanged);
        QTableView* view = window->recordList()->view();
        const QString rest = m_home.dataFolder() + "/2026.03.02-10.00.00.000-Rest.csv";
        const QString task = m_home.dataFolder() + "/2026.03.03-09.30.00.000-Task F.csv";

        view->scrollTo(view->model()->index(3, 1));
        const QRect cell = view->visualRect(view->model()->index(3, 1));
        // As a mouse sends it: the first click, then the second press as a double click.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(window->openRecordPaths(), QStringList { rest });
        QCOMPARE(window->pages()->currentIndex(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(window->graphs().constFirst()->recordCount(), 65 * 20 + 1);

        view->clearSelection();
        for (int row : { 2, 3 })
            view->selectionModel()->select(
                view->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(window->openRecordPaths(), (QStringList { rest, task }));
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().constFirst().toStringList(), (QStringList { rest, task }));
        QCOMPARE(average->records(), (QStringList { rest, task }));
        window->clearRecords();
        QCOMPARE(changed.last().constFirst().toStringList(), QStringList());
    }

    // Every text of the window shows whole at 1000 px, in either language.
    void labelsWhole_data()
    {
        addColumns<QString>({ "language" });
        addRow("English", "en-US");
        addRow("Russian", "ru-RU");
    }
    void labelsWhole()
    {
        QFETCH(QString, language);
        QVERIFY(!LanguageContext::setLanguage(language).isEmpty());
        const std::unique_ptr<RecordsWindow> window = listWindow();
        QVERIFY(window);
        window->resize(1000, 640);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->width(), 1000);
        QStringList cut;
        for (int page = 0; page < window->pages()->count(); ++page) {
            window->pages()->setCurrentIndex(page);
            QCoreApplication::processEvents();
            for (QWidget* widget : window->findChildren<QWidget*>()) {
                if (!widget->isVisible())
                    continue;
                auto* label = qobject_cast<QLabel*>(widget);
                auto* button = qobject_cast<QAbstractButton*>(widget);
                const bool text = (label && !label->wordWrap() && !label->text().isEmpty())
                    || (button && !button->text().isEmpty()) || qobject_cast<QComboBox*>(widget)
                    || qobject_cast<QAbstractSpinBox*>(widget);
                if (text && widget->width() < widget->sizeHint().width())
                    cut << QString("%1 \"%2\" %3 < %4")
                               .arg(widget->metaObject()->className(),
                                   label ? label->text() : widget->property("text").toString())
                               .arg(widget->width())
                               .arg(widget->sizeHint().width());
            }
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
        QVERIFY(!LanguageContext::setLanguage("en-US").isEmpty());
    }
};

QTEST_MAIN(tst_RecordsWindow)
#include "tst_recordswindow.moc"
