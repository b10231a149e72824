#include "DataGraphic.h"
#include "GapShading.h"
#include "PropertyListControl.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "StyleHelper.h"
#include "TemporaryHome.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

class tst_RecordsWindow : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

    // RIR header of `channels` channels and 3 s of lines every 100 ms.
    QString writeRecord(const QString& name, int channels, const QByteArray& extra = QByteArray())
    {
        QByteArray data;
        for (int c = 1; c <= channels; ++c)
            data += ";V" + QByteArray::number(c) + ";R" + QByteArray::number(c) + ";IR" + QByteArray::number(c);
        data += "\r\n";
        for (int t = 0; t <= 3000; t += 100) {
            data += QByteArray::number(t);
            for (int k = 0; k < 3 * channels; ++k)
                data += ';' + QByteArray::number((t * (k + 1)) % 97);
            data += "\r\n";
        }
        const QString path = QDir::current().filePath(name);
        TemporaryHome::writeFile(path, extra.isEmpty() ? data : extra);
        return path;
    }

    static QString title(DataGraphic* graph)
    {
        const auto* label = graph->findChild<QLabel*>();
        return label ? label->text() : QString();
    }

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_home.path())); }
    void init() { QFile::remove("RecSettings.xml"); }

    void channel2_data()
    {
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("right");
        QTest::newRow("ten channels") << 10 << 9 << 61 << "10";
        QTest::newRow("fewer channels than Channel2") << 3 << 0 << 0 << "CH2";
    }

    void channel2()
    {
        QFETCH(int, channels);
        QFETCH(QString, right);
        RecordsWindow window;
        window.settings()->setViewSeconds(1);
        window.openPaths({ writeRecord("rec.csv", channels) });
        QStringList names;
        for (int c = 1; c <= channels; ++c)
            names << QString::number(c);
        QCOMPARE(window.channelList(), names);
        auto* box = window.findChild<QComboBox*>("channel2Box");
        QTEST(box->currentIndex(), "index");
        QCOMPARE(window.settings()->getChannel2(), 9);
        QCOMPARE(window.graphs().size(), 1);
        DataGraphic* graph = window.graphs().constFirst();
        QTEST(graph->recordCount(), "records");
        QVERIFY(title(graph).startsWith("<b>rec</b>"));
        QVERIFY(title(graph).contains("Left [1]<br>"));
        QVERIFY2(title(graph).contains(QStringLiteral("Right [%1]<br>").arg(right)), qPrintable(title(graph)));
        QVERIFY2(title(graph).contains(QStringLiteral("Diff [1] - [%1]<br>").arg(right)), qPrintable(title(graph)));

        QSignalSpy reloaded(&window, &RecordsWindow::reloaded);
        box->setCurrentIndex(2);
        QCOMPARE(window.settings()->getChannel2(), 2);
        QVERIFY(reloaded.wait(3000));
        QCOMPARE(graph->recordCount(), 61);
        QVERIFY(title(graph).contains("Right [3]<br>"));
        // Three seconds of record in a one-second view.
        QCOMPARE(window.findChild<QScrollBar*>()->maximum(), 2);
    }

    void sameFileOnce()
    {
        RecordsWindow window;
        const QString path = writeRecord("once.csv", 2);
        window.openPaths({ path, path });
        window.openPaths({ path });
        QCOMPARE(window.graphs().size(), 1);
        window.clearRecords();
        QVERIFY(window.graphs().isEmpty());
        QCOMPARE(window.channelList().size(), 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Without records a hint stands where the graphs go; every control of the tool row explains itself, and the
    // row lies on the window's dark background in the dark theme (a window without parent gets no background from
    // the style sheet).
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
        QVERIFY(hint && hint->isVisible());

        auto* clear = window.findChild<QPushButton*>("clearRecordsButton");
        const QList<PropertyListControl*> controls = window.findChildren<PropertyListControl*>();
        QCOMPARE(controls.size(), 6);
        auto* exportButton = window.findChild<QPushButton*>("exportSnirfButton");
        QList<QWidget*> tools { window.findChild<QPushButton*>("openRecordsButton"), clear, exportButton,
            window.findChild<QComboBox*>("channel1Box"), window.findChild<QComboBox*>("channel2Box") };
        int firstControl = window.width();
        for (PropertyListControl* control : controls) {
            tools << control->getWidgetInfo(0).header << control->getWidgetInfo(0).view;
            firstControl = qMin(firstControl, control->x());
        }
        for (QWidget* tool : std::as_const(tools))
            QVERIFY2(!tool->toolTip().isEmpty(), tool->metaObject()->className());
        const QImage shot = window.grab().toImage();
        const QPoint gap((exportButton->geometry().right() + firstControl) / 2, clear->geometry().center().y());
        QVERIFY2(shot.pixelColor(gap).lightness() < 80, qPrintable(shot.pixelColor(gap).name()));
        style->selectTheme("light");

        window.openPaths({ writeRecord("hint.csv", 2) });
        QVERIFY(!hint->isVisible());
        window.clearRecords();
        QVERIFY(hint->isVisible());
    }

    void reloadOncePerBurst()
    {
        RecordsWindow window;
        window.openPaths({ writeRecord("burst.csv", 10) });
        QSignalSpy reloaded(&window, &RecordsWindow::reloaded);
        for (double hpf : { 0.1, 0.2, 0.3 }) {
            window.settings()->setHPF(hpf);
            QTest::qWait(300);
        }
        QCOMPARE(reloaded.count(), 0);
        QVERIFY(reloaded.wait(2000));
        QTest::qWait(2500);
        QCOMPARE(reloaded.count(), 1);
    }

    void viewAppliesAtOnce()
    {
        RecordsWindow window;
        window.resize(800, 600);
        window.openPaths({ writeRecord("view.csv", 10) });
        DataGraphic* graph = window.graphs().constFirst();
        window.settings()->setRange(300);
        graph->grab();
        QCOMPARE(graph->maximum(), 300.0f);
        QCOMPARE(graph->minimum(), -300.0f);
        auto* scrollBar = window.findChild<QScrollBar*>();
        QCOMPARE(scrollBar->maximum(), 0);
        window.settings()->setViewSeconds(1);
        QCOMPARE(scrollBar->maximum(), 2);
    }

    // Whether the pixel at the given fraction of the width changes when the shading is hidden.
    static QList<bool> shadedAt(DataGraphic* graph, const QList<double>& fractions)
    {
        auto* shading = graph->findChild<GapShading*>();
        const QImage shaded = graph->grab().toImage();
        const bool wasVisible = shading && shading->isVisible();
        if (shading)
            shading->hide();
        const QImage plain = graph->grab().toImage();
        if (shading)
            shading->setVisible(wasVisible);
        QList<bool> result;
        for (double fraction : fractions) {
            const QPoint point(int(fraction * shaded.width()), shaded.height() / 3);
            result.append(shaded.pixel(point) != plain.pixel(point));
        }
        return result;
    }

    void gapShaded_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<QList<bool>>("shaded"); // at 0.02, 0.25, 0.45 and 0.95 of the width
        QByteArray gap(";V1;R1;IR1\r\n");
        for (int t = 0; t <= 46000; t += t == 1000 ? 30000 : 100)
            gap += QByteArray::number(t) + ";7;0;0\r\n";
        // Window 0 … 20 s: the gap from 1 s on; window 25 … 45 s: the gap up to 31 s.
        QTest::newRow("from the start") << gap << 0 << QList<bool> { false, true, true, true };
        QTest::newRow("scrolled") << gap << 25 << QList<bool> { true, true, false, false };
        QByteArray steady(";V1;R1;IR1\r\n");
        for (int t = 0; t <= 46000; t += 100)
            steady += QByteArray::number(t) + ";7;0;0\r\n";
        QTest::newRow("no gap") << steady << 0 << QList<bool> { false, false, false, false };
    }
    void gapShaded()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, scroll);
        RecordsWindow window;
        window.resize(800, 600);
        window.settings()->setChannel2(0);
        window.settings()->setViewSeconds(20);
        window.openPaths({ writeRecord("gap.csv", 1, data) });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.findChild<QScrollBar*>()->setValue(scroll);
        QTEST(shadedAt(window.graphs().constFirst(), { 0.02, 0.25, 0.45, 0.95 }), "shaded");
    }

    // Events keep their place on the curves whatever the Offset, beside the marks of a ".log".
    void eventsBesideLogMarks()
    {
        const QString path = writeRecord("events.csv", 10);
        TemporaryHome::writeFile("events.log", "1000\tSync\r\n2500\tStim A\r\n");
        TemporaryHome::writeFile("events.events", "2000\tkey\tF1\r\n\x01\xff\r\n500\thttp\tStim B\r\nno tabs\r\n");
        RecordsWindow window;
        window.resize(800, 600);
        window.settings()->setViewSeconds(3);
        window.openPaths({ path });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        DataGraphic* graph = window.graphs().constFirst();
        QCOMPARE(graph->eventCount(), 2);
        // The line lies between pixels: its hue shows in one of them, antialiased. Events are orange.
        const auto colourAt = [graph](qint64 time, int hueFrom, int hueTo) {
            const QImage image = graph->grab().toImage();
            const int x = int(double(time) / 3000.0 * image.width());
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor pixel = image.pixelColor(x + dx, image.height() * 3 / 4);
                if (pixel.hsvSaturation() > 120 && pixel.hsvHue() >= hueFrom && pixel.hsvHue() <= hueTo)
                    return true;
            }
            return false;
        };
        const auto event = [&colourAt](qint64 time) { return colourAt(time, 20, 50); };
        QVERIFY(event(2000));
        QVERIFY(event(500));
        window.settings()->setOffset(0.5);
        QVERIFY(event(2500));
        QVERIFY(!event(2000));
    }

    void damagedRecords_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("records");
        QByteArray garbage(1 << 16, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("binary garbage") << garbage << 0;
        QTest::newRow("header only") << QByteArray(";V1;R1;IR1\r\n") << 0;
        QTest::newRow("ragged lines") << QByteArray(";V1;R1;IR1\n0;1\n50\n100;3;\n;;\n") << 3;
    }

    void damagedRecords()
    {
        QFETCH(QByteArray, data);
        RecordsWindow window;
        window.settings()->setChannel2(0);
        window.openPaths({ writeRecord("damaged.csv", 1, data) });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTEST(window.graphs().constFirst()->recordCount(), "records");
    }

    // Every open record is exported at the window's wavelengths; the message names each file or the reason.
    void exportSnirf()
    {
        const QString good = writeRecord("good.csv", 2);
        writeRecord("good.raw", 2, ";R1;IR1;R2;IR2\r\n0;10;20;30;40\r\n20;11;21;31;41\r\nbad\r\n40;12;22;32;42\r\n");
        const QString lost = writeRecord("lost.csv", 2);
        RecordsWindow window;
        window.settings()->setRedWavelength(690);
        window.openPaths({ good, lost });
        window.show();
        auto* button = window.findChild<QPushButton*>("exportSnirfButton");
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);

        auto* message = window.findChild<QMessageBox*>("exportSnirfMessage");
        QVERIFY(message);
        QVERIFY(!message->isModal());
        QCOMPARE(message->icon(), QMessageBox::Warning);
        QCOMPARE(message->text(),
            "Exported to " + QDir::toNativeSeparators(QDir::current().filePath("good.snirf"))
                + "\n1 damaged lines skipped\nNot exported: " + QDir::current().filePath("lost.raw")
                + ": no such file");
        QVERIFY(!window.findChild<QProgressBar*>("exportSnirfProgress")->isVisible());
        QVERIFY(button->isEnabled());

        QProcess python;
        python.start("/usr/bin/python3",
            { "-c", "import h5py, sys; print(list(h5py.File(sys.argv[1])['nirs/probe/wavelengths'][()]))",
                "good.snirf" });
        QVERIFY(python.waitForFinished(30000));
        QCOMPARE(python.readAllStandardOutput(), QByteArray("[690.0, 850.0]\n"));
    }
};

QTEST_MAIN(tst_RecordsWindow)
#include "tst_recordswindow.moc"
