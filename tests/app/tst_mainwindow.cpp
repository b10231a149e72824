#include "AboutWindow.h"
#include "ComFnirDevice.h"
#include "ConfirmDialog.h"
#include "DataGraphic.h"
#include "EmulatorProcess.h"
#include "HttpTestServer.h"
#include "LanguageContext.h"
#include "MainWindow.h"
#include "NewVersionButton.h"
#include "RecordsWindow.h"
#include "TableValuesDisplay.h"
#include "TemporaryHome.h"
#include "UrlCatcher.h"
#include "VersionChecker.h"
#include "VirtualFnirDevice.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

#include <memory>

namespace {
// A field that takes every key for itself before any shortcut, as line edits do with their own bindings.
class GreedyField : public QLineEdit
{
public:
    using QLineEdit::QLineEdit;
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept();
            return true;
        }
        return QLineEdit::event(event);
    }
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryHome> m_home;

    QString settingsPath() const { return m_home->dataFolder() + QStringLiteral("/Settings.xml"); }
    void writeSettings(const QString& elements)
    {
        QVERIFY(TemporaryHome::writeFile(settingsPath(),
            "<?xml version=\"1.0\"?>\n<HalvexSettings>\n<StartMaximized>false</StartMaximized>\n" + elements.toUtf8()
                + "</HalvexSettings>\n"));
    }
    QByteArray settingsFile() const { return TemporaryHome::readFile(settingsPath()); }
    template<typename T> static T* child(MainWindow& window, const char* name)
    {
        return window.findChild<T*>(QLatin1String(name));
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }
    void init() { m_home = std::make_unique<TemporaryHome>(); }
    void cleanup() { m_home.reset(); }

    void processing_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("montage");
        QTest::addColumn<int>("values");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QList<int>>("records");
        QTest::addColumn<QPoint>("lastCell");
        QTest::addColumn<int>("lastHue");

        QStringList numbered;
        for (int i = 1; i <= 12; ++i)
            numbered << QStringLiteral("#%1").arg(i);
        QTest::newRow("R-IR alternating, 12 channels in two columns")
            << 2 << QString() << 24 << "12ch@5.0Hz" << numbered << QList<int>(12, 3) << QPoint(5, 1) << 11 * 31;
        QTest::newRow("V-R-IR, 12 values are 4 channels")
            << 0 << QString() << 12 << "6ch@5.0Hz" << numbered.mid(0, 4) << QList<int>(4, 3) << QPoint(1, 1) << 348;
        QTest::newRow("odd count ignored")
            << 0 << QString() << 9 << QString() << QStringList() << QList<int>() << QPoint() << 0;
        QTest::newRow("one channel has hue 0")
            << 1 << QString() << 2 << "1ch@5.0Hz" << QStringList { "#1" } << QList<int> { 3 } << QPoint(0, 1) << 0;
        QTest::newRow("montage rows, names and places")
            << 1 << "1=Fp1;2=Fp2\n3=C3;5" << 12 << "6ch@5.0Hz" << QStringList { "Fp1", "Fp2", "C3", "4" }
            << QList<int>(4, 3) << QPoint(1, 2) << 348;
        QTest::newRow("montage naming a channel twice")
            << 1 << "2;2" << 4 << "2ch@5.0Hz" << QStringList { "1", "1" } << QList<int> { 3, 0 } << QPoint(0, 2) << 350;
    }
    void processing()
    {
        QFETCH(int, variant);
        QFETCH(QString, montage);
        QFETCH(int, values);
        QFETCH(QString, rate);
        QFETCH(QStringList, titles);
        QFETCH(QList<int>, records);
        QFETCH(QPoint, lastCell);
        QFETCH(int, lastHue);

        writeSettings(QStringLiteral("<Acquisition>%1</Acquisition>\n<UseMontage>%2</UseMontage>\n")
                          .arg(QStringList { "Acquire_VRIR", "Acquire_RIR", "Acquire_aRIR" }.at(variant),
                              montage.isEmpty() ? "false" : "true")
            + QStringLiteral("<Montage>%1</Montage>\n").arg(montage));
        MainWindow window(m_home->dataFolder());
        window.loadMontage();
        QList<double> data;
        for (int i = 0; i < values; ++i)
            data << 100.0 * i;
        for (qint64 ts : { 1000, 1200, 1400 })
            window.onNewData(ts, data);

        QCOMPARE(child<QLabel>(window, "rateLabel")->text(), rate);
        QCOMPARE(child<TableValuesDisplay>(window, "valueTable")->recordCount(), rate.isEmpty() ? 0 : 3);
        const auto& graphs = window.graphs();
        QCOMPARE(graphs.size(), titles.size());
        for (int g = 0; g < graphs.size(); ++g) {
            QCOMPARE(graphs.at(g)->name(), titles.at(g));
            QCOMPARE(graphs.at(g)->recordCount(), records.at(g));
        }
        if (graphs.isEmpty())
            return;
        auto* grid = qobject_cast<QGridLayout*>(graphs.constLast()->parentWidget()->layout());
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(graphs.constLast()), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(QPoint(row, column), lastCell);
        DataGraphic reference;
        reference.setColor(QColor::fromHsl(lastHue, 200, 150, 255));
        QCOMPARE(graphs.constLast()->pens(), reference.pens());
    }

    void commonSpan_data()
    {
        QTest::addColumn<bool>("locked");
        QTest::newRow("locked: the narrow graph takes the widest span") << true;
        QTest::newRow("unlocked: every graph keeps its own span") << false;
    }
    void commonSpan()
    {
        QFETCH(bool, locked);
        writeSettings(QStringLiteral("<Acquisition>Acquire_VRIR</Acquisition>\n"));
        MainWindow window(m_home->dataFolder());
        window.settings()->setLockCommonVerticalScale(locked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Live graphs show the last seconds before now, and a sample once the clock has passed its pixel column:
        // the samples must be recent, but not of this very moment, to be drawn.
        const auto feed = [&]() {
            window.onNewData(QDateTime::currentMSecsSinceEpoch() - 500, { 0, 1000, 500, 0, 20, 10 });
            for (DataGraphic* graph : window.graphs())
                graph->grab();
        };
        feed();
        feed();
        const auto& graphs = window.graphs();
        QCOMPARE(graphs.at(0)->range(), 1000.0);
        QCOMPARE(graphs.at(1)->maximum() - graphs.at(1)->minimum(), locked ? 1000.0f : 20.0f);
    }

    void montageEditsLeaveTheProcessingAlone()
    {
        writeSettings(QStringLiteral("<Acquisition>Acquire_RIR</Acquisition>\n<UseMontage>true</UseMontage>\n"
                                     "<Montage>1;2;3;4</Montage>\n"));
        MainWindow window(m_home->dataFolder());
        window.loadMontage();
        const QString plainFolder = m_home->dataFolder() + QStringLiteral("/plain");
        QVERIFY(TemporaryHome::writeFile(plainFolder + QStringLiteral("/Settings.xml"),
            "<?xml version=\"1.0\"?>\n<HalvexSettings>\n<StartMaximized>false</StartMaximized>\n"
            "<Acquisition>Acquire_RIR</Acquisition>\n</HalvexSettings>\n"));
        MainWindow plain(plainFolder);
        qint64 ts = 1000;
        const auto feed = [&](double base) {
            QList<double> data;
            for (int i = 0; i < 24; ++i)
                data << base * (i + 1) + (i % 2 ? 100 : 0);
            window.onNewData(ts, data);
            plain.onNewData(ts, data);
            ts += 100;
        };
        feed(1);
        feed(7);
        QCOMPARE(window.graphs().size(), 4);
        QCOMPARE(window.processedSample(), plain.processedSample());

        // Typing: the graphs change once it pauses, the processing not at all.
        window.settings()->setMontage(QStringLiteral("1;2"));
        QTest::qWait(MainWindow::MontageEditPauseMs / 4);
        window.settings()->setMontage(QStringLiteral("1;2;3"));
        QTest::qWait(MainWindow::MontageEditPauseMs / 2);
        QCOMPARE(window.graphs().size(), 4);
        QTRY_VERIFY(window.graphs().isEmpty());
        feed(3);
        QCOMPARE(window.graphs().size(), 3);
        QCOMPARE(window.processedSample(), plain.processedSample());

        // Without a montage in use its text is not applied at all.
        const QPointer<DataGraphic> first = plain.graphs().constFirst();
        plain.settings()->setMontage(QStringLiteral("1"));
        QTest::qWait(2 * MainWindow::MontageEditPauseMs);
        QVERIFY(!first.isNull());
        QCOMPARE(plain.graphs().size(), 12);
    }

    void instruments()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start({ "--rate", "20", "--channels", "8", "--values", "2" }));
        writeSettings(QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice>\n"));
        MainWindow window(m_home->dataFolder());
        auto* deviceList = child<QComboBox>(window, "deviceList");
        auto* connectButton = child<QPushButton>(window, "connectButton");
        auto* recordButton = child<QPushButton>(window, "recordButton");
        auto* rateLabel = child<QLabel>(window, "rateLabel");
        QVERIFY(!recordButton->isEnabled());

        deviceList->setCurrentIndex(deviceList->findText(MainWindow::VirtualDeviceEntry));
        QTest::mouseClick(connectButton, Qt::LeftButton);
        QPointer<AbstractFnirDevice> virtualDevice = window.device();
        QVERIFY(qobject_cast<VirtualFnirDevice*>(virtualDevice));
        QCOMPARE(window.settings()->getLastDevice(), MainWindow::VirtualDeviceEntry);
        QVERIFY(recordButton->isEnabled() && !deviceList->isEnabled() && connectButton->isChecked());
        QTRY_COMPARE(window.graphs().size(), 12);
        QTRY_VERIFY(window.graphs().at(11)->recordCount() > 0);
        QVERIFY(QRegularExpression(QStringLiteral("^12ch@\\d+\\.\\dHz$")).match(rateLabel->text()).hasMatch());

        window.settings()->setVirtualDeviceChannels(5);
        QTRY_COMPARE(window.graphs().size(), 5);
        QVERIFY(rateLabel->text().startsWith(QStringLiteral("5ch@")));

        QTest::mouseClick(connectButton, Qt::LeftButton);
        QVERIFY(!window.device() && !recordButton->isEnabled() && deviceList->isEnabled());
        QVERIFY(rateLabel->text().isEmpty());
        QCOMPARE(child<TableValuesDisplay>(window, "valueTable")->recordCount(), 0);
        QCOMPARE(window.settings()->getLastDevice(), QString());
        QTRY_VERIFY(virtualDevice.isNull());

        // A port the enumeration does not list is typed in.
        deviceList->setEditText(emulator.portPath());
        QTest::keyClick(deviceList->lineEdit(), Qt::Key_Return);
        auto* serial = qobject_cast<ComFnirDevice*>(window.device());
        QVERIFY(serial);
        QTRY_COMPARE(window.graphs().size(), 8);
        window.settings()->setVirtualDeviceChannels(3);
        QTRY_VERIFY(window.graphs().at(7)->recordCount() > 2);
        QCOMPARE(serial->channelCount(), 16);
        QVERIFY(rateLabel->text().startsWith(QStringLiteral("8ch@")));

        // The cable is pulled, and the program is told not to wait for it.
        window.settings()->setReconnectSeconds(0);
        emulator.kill();
        QTRY_VERIFY(!window.device());
        auto* message = child<QLabel>(window, "connectionMessage");
        QVERIFY(!message->isHidden());
        QVERIFY(message->text().contains(emulator.portPath()));
        QVERIFY(!connectButton->isChecked() && deviceList->isEnabled());
        QCOMPARE(window.settings()->getLastDevice(), emulator.portPath());
    }

    // A connected instrument that falls silent is named in the window until its data comes back.
    void silentInstrument()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start(
            { "--rate", "20", "--channels", "2", "--fault", "stall", "--stall-after", "10", "--stall-ms", "8000" }));
        MainWindow window(m_home->dataFolder());
        child<QComboBox>(window, "deviceList")->setEditText(emulator.portPath());
        window.onConnectClicked();
        auto* message = child<QLabel>(window, "connectionMessage");
        QTRY_VERIFY_WITH_TIMEOUT(message->isVisibleTo(&window), 8000);
        QVERIFY2(message->text().startsWith(QStringLiteral("No data from %1 for 5 s").arg(emulator.portPath())),
            qPrintable(message->text()));
        QTRY_VERIFY_WITH_TIMEOUT(!message->isVisibleTo(&window), 6000);
    }

    // A first start without instrument explains itself and gives live data in one click. Ctrl+K then connects and
    // disconnects however often the button's text changed, also from the title field, whose own Ctrl+K would
    // delete to the end of the line.
    void emptyStateAndConnectShortcut()
    {
        MainWindow window(m_home->dataFolder());
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* empty = child<QWidget>(window, "emptyState");
        QVERIFY(empty->isVisible());
        QVERIFY(child<QComboBox>(window, "deviceList")->findText(MainWindow::VirtualDeviceEntry) < 0);
        QTest::mouseClick(child<QPushButton>(window, "useVirtualButton"), Qt::LeftButton);
        QVERIFY(qobject_cast<VirtualFnirDevice*>(window.device()));
        QVERIFY(window.settings()->getUseVirtualDevice());
        QVERIFY(!empty->isVisible());

        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);
            QVERIFY(!window.device());
            QVERIFY(empty->isVisible());
            QTest::keyClick(&window, Qt::Key_K, Qt::ControlModifier);
            QVERIFY(window.device());
        }
        auto* title = child<QLineEdit>(window, "titleField");
        title->setText(QStringLiteral("rest"));
        title->setFocus();
        title->setCursorPosition(0);
        QTest::keyClick(title, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!window.device());
        QCOMPARE(title->text(), QStringLiteral("rest"));
        // The offscreen platform binds no Ctrl+K in line edits (the X11 key scheme does): a field that claims
        // every key stands in for one.
        auto* greedy = new GreedyField(child<QWidget>(window, "toolBar"));
        greedy->show();
        greedy->setFocus();
        QTest::keyClick(greedy, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(window.device());
    }

    // At its minimum size the window leaves every tool of its tool bar its own minimum width.
    void minimumSize()
    {
        writeSettings(QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice><LastDevice>Virtual FNIR</LastDevice>"));
        MainWindow window(m_home->dataFolder());
        window.show();
        window.resize(300, 200);
        QCOMPARE(window.size(), window.minimumSize());
        auto* rate = child<QLabel>(window, "rateLabel");
        rate->setText(QStringLiteral("12ch@250.0Hz"));
        QTRY_VERIFY(window.centralWidget()->layout()->geometry().width() == window.width());
        QApplication::processEvents();
        QVERIFY(rate->width() >= rate->fontMetrics().horizontalAdvance(rate->text()));
        for (QWidget* tool : child<QWidget>(window, "toolBar")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            // Fixed-size icon buttons keep their size whatever their style hints.
            if (tool->isVisible() && tool->minimumWidth() != tool->maximumWidth())
                QVERIFY2(tool->width() >= tool->minimumSizeHint().width(), qPrintable(tool->objectName()));
        }
    }

    void rememberedInstrument_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("connects");
        QTest::newRow("virtual instrument remembered")
            << "<UseVirtualDevice>true</UseVirtualDevice><LastDevice>Virtual FNIR</LastDevice>" << true;
        QTest::newRow("virtual instrument switched off")
            << "<UseVirtualDevice>false</UseVirtualDevice><LastDevice>Virtual FNIR</LastDevice>" << false;
        QTest::newRow("not remembering") << "<UseVirtualDevice>true</UseVirtualDevice><LastDevice>Virtual FNIR"
                                            "</LastDevice><RememberLastDevice>false</RememberLastDevice>"
                                         << false;
    }
    void rememberedInstrument()
    {
        QFETCH(QString, settings);
        QFETCH(bool, connects);
        writeSettings(settings);
        MainWindow window(m_home->dataFolder());
        QCOMPARE(qobject_cast<VirtualFnirDevice*>(window.device()) != nullptr, connects);
        QCOMPARE(child<QComboBox>(window, "deviceList")->findText(MainWindow::VirtualDeviceEntry) >= 0,
            settings.contains(QLatin1String("<UseVirtualDevice>true")));
    }

    void viewButtons()
    {
        writeSettings(QStringLiteral("<View>View_Graphics</View>"));
        MainWindow window(m_home->dataFolder());
        // The tool bar's texts come from the catalogue under the window's own context (English is installed).
        QVERIFY(child<QPushButton>(window, "tableButton")->toolTip().startsWith(QLatin1String("Display as table")));
        QVERIFY(child<QPushButton>(window, "graphButton")->toolTip().startsWith(QLatin1String("Display as graphics")));
        auto* stack = child<QStackedWidget>(window, "viewStack");
        QCOMPARE(stack->currentIndex(), 1);
        QSignalSpy spy(window.settings(), &HalvexSettings::changedView);
        QTest::mouseClick(child<QPushButton>(window, "graphButton"), Qt::LeftButton);
        QCOMPARE(spy.count(), 0);
        QVERIFY(child<QPushButton>(window, "graphButton")->isChecked());
        QTest::mouseClick(child<QPushButton>(window, "tableButton"), Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(stack->currentIndex(), 0);
        QVERIFY(!child<QPushButton>(window, "graphButton")->isChecked());
        QVERIFY(settingsFile().contains("<View>View_Table</View>"));
    }

    void newVersionAndAboutButtons()
    {
        HttpTestServer endpoint;
        QVERIFY(endpoint.listen());
        endpoint.setReply(
            200, "{\"valid\": true, \"version\": \"1.0.4\", \"link\": \"https://example.org/halvex/1.0.4\"}");
        VersionChecker::baseUrl = endpoint.url(QStringLiteral("/version"));
        const auto restore = qScopeGuard([] { VersionChecker::baseUrl.clear(); });
        MainWindow window(m_home->dataFolder());
        window.show();

        QLayout* row = child<QWidget>(window, "toolBar")->layout();
        QStringList last;
        for (int i = row->count() - 3; i < row->count(); ++i)
            last << row->itemAt(i)->widget()->objectName();
        QCOMPARE(last, QStringList({ "newVersion", "settingsButton", "aboutButton" }));

        QPushButton* star = child<NewVersionButton>(window, "newVersion")->button();
        QTRY_VERIFY(star->isVisible());
        QCOMPARE(star->text(), QStringLiteral("New version 1.0.4"));
        QCOMPARE(star->toolTip(), QStringLiteral("Click to download new version 1.0.4"));
        UrlCatcher desktop;
        QTest::mouseClick(star, Qt::LeftButton);
        QCOMPARE(desktop.urls(), QList<QUrl>({ QUrl("https://example.org/halvex/1.0.4") }));

        // The about window's button knows the answer at once, without asking again.
        QTest::mouseClick(child<QPushButton>(window, "aboutButton"), Qt::LeftButton);
        auto* about = window.findChild<AboutWindow*>();
        QVERIFY(about && about->isVisible());
        QPushButton* aboutStar = about->findChild<NewVersionButton*>()->button();
        QVERIFY(aboutStar->isVisible());
        QCOMPARE(aboutStar->text(), QStringLiteral("New version 1.0.4"));
        QCOMPARE(endpoint.paths().size(), 1);
    }

    void recordsWindowsCloseWithTheMainWindow()
    {
        QDir().mkpath(m_home->dataFolder());
        QVERIFY(QDir::setCurrent(m_home->dataFolder()));
        QList<QPointer<RecordsWindow>> opened;
        {
            MainWindow window(m_home->dataFolder());
            window.show();
            QTest::mouseClick(child<QPushButton>(window, "recordsButton"), Qt::LeftButton);
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* records = qobject_cast<RecordsWindow*>(top))
                    opened << records;
            }
            QCOMPARE(opened.size(), 2);
            for (const auto& records : opened)
                QVERIFY(records->isVisible() && !records->parent());
            window.close();
        }
        // Closed records windows delete themselves.
        QTRY_VERIFY(std::all_of(opened.cbegin(), opened.cend(), [](const auto& records) { return records.isNull(); }));
    }

    void firstStartAndLanguagePrompt()
    {
        QVERIFY(!QFile::exists(settingsPath()));
        MainWindow window(m_home->dataFolder());
        // The running language is English: a first start must not leave the settings at their Russian default.
        QCOMPARE(window.settings()->getLanguage(), HalvexSettings::en_US);
        QVERIFY(settingsFile().contains("<Language>en_US</Language>"));

        QStringList titles;
        window.setDialogRunner([&titles](ConfirmDialog& dialog) {
            titles << dialog.windowTitle();
            dialog.cancelButton()->click();
            return dialog.result();
        });
        window.settings()->setLanguage(HalvexSettings::ru_RU);
        QCOMPARE(titles.size(), 1);
        QVERIFY(titles.at(0).startsWith(QStringLiteral("Language change/")));
        QCOMPARE(window.settings()->getLanguage(), HalvexSettings::en_US);
        QVERIFY(settingsFile().contains("<Language>en_US</Language>"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
