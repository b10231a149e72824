#include "AboutWindow.h"
#include "ConfirmDialog.h"
#include "DataGraphic.h"
#include "DataRow.h"
#include "EmulatorProcess.h"
#include "HeadModel.h"
#include "HttpTestClient.h"
#include "HttpTestServer.h"
#include "InstrumentConnection.h"
#include "LanguageContext.h"
#include "MainWindow.h"
#include "NewVersionButton.h"
#include "NoticeBar.h"
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
        if (event->type() == QEvent::ShortcutOverride)
            event->accept();
        return event->type() == QEvent::ShortcutOverride || QLineEdit::event(event);
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TemporaryHome> m_home;

    QString settingsPath() const { return m_home->dataFolder() + QStringLiteral("/Settings.xml"); }
    std::unique_ptr<MainWindow> open(const QString& elements, const QString& folder = QString())
    {
        const QString path = m_home->dataFolder() + (folder.isEmpty() ? QString() : QLatin1Char('/') + folder);
        if (!elements.isNull()) {
            TemporaryHome::writeFile(path + QStringLiteral("/Settings.xml"),
                "<?xml version=\"1.0\"?>\n<HalvexSettings>\n<StartMaximized>false</StartMaximized>\n"
                    + elements.toUtf8() + "</HalvexSettings>\n");
        }
        return std::make_unique<MainWindow>(path);
    }
    template<typename T> static T* child(const std::unique_ptr<MainWindow>& window, const char* name)
    {
        return window->findChild<T*>(QLatin1String(name));
    }
    static bool showActive(const std::unique_ptr<MainWindow>& window)
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }
    void init() { m_home = std::make_unique<TemporaryHome>(); }
    void cleanup() { m_home.reset(); }

    void processing_data()
    {
        addColumns<QString, QString, int, QString, QStringList, QPoint>(
            { "variant", "montage", "values", "rate", "titles", "lastCell" });
        QStringList numbered;
        for (int i = 1; i <= 12; ++i)
            numbered << QStringLiteral("#%1").arg(i);
        QTest::newRow("R-IR alternating, 12 channels in two columns")
            << "Acquire_aRIR" << QString() << 24 << "12ch@5.0Hz" << numbered << QPoint(5, 1);
        QTest::newRow("montage rows, names and places")
            << "Acquire_RIR"
            << "1=Fp1;2=Fp2\n3=C3;5" << 12 << "6ch@5.0Hz" << QStringList { "Fp1", "Fp2", "C3", "4" } << QPoint(1, 2);
        QTest::newRow("V-R-IR, an odd number of channels")
            << "Acquire_VRIR" << QString() << 9 << "3ch@5.0Hz" << QStringList { "#1", "#2", "#3" } << QPoint(1, 1);
    }
    void processing()
    {
        QFETCH(QString, variant);
        QFETCH(QString, montage);
        QFETCH(int, values);
        QFETCH(QString, rate);
        QFETCH(QStringList, titles);
        auto window
            = open(QStringLiteral("<Acquisition>%1</Acquisition><UseMontage>%2</UseMontage><Montage>%3</Montage>")
                       .arg(variant, montage.isEmpty() ? "false" : "true", montage));
        window->loadMontage();
        QList<double> data;
        for (int i = 0; i < values; ++i)
            data << 100.0 * i;
        for (qint64 ts : { 1000, 1200, 1400 })
            window->onNewData(ts, data);

        QCOMPARE(child<QLabel>(window, "rateLabel")->text(), rate);
        QCOMPARE(child<TableValuesDisplay>(window, "valueTable")->recordCount(), 3);
        QStringList names;
        for (DataGraphic* graph : window->graphs()) {
            names << graph->name();
            QCOMPARE(graph->recordCount(), 3);
        }
        QCOMPARE(names, titles);
        auto* grid = qobject_cast<QGridLayout*>(window->graphs().constLast()->parentWidget()->layout());
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(window->graphs().constLast()), &row, &column, &rowSpan, &columnSpan);
        QTEST(QPoint(row, column), "lastCell");
    }

    // A line whose values do not fill whole channels of the variant is neither shown nor recorded, and the window
    // says so, once.
    void misfitLines_data()
    {
        addColumns<QString, int, int>({ "variant", "misfit", "fit" });
        addRow("R-IR, an odd count", "Acquire_RIR", 9, 10);
        addRow("V-R-IR, a count that is not a multiple of three", "Acquire_VRIR", 8, 9);
    }
    void misfitLines()
    {
        QFETCH(QString, variant);
        QFETCH(int, misfit);
        QFETCH(int, fit);
        auto window = open(QStringLiteral("<Acquisition>%1</Acquisition>").arg(variant));
        auto* bar = child<QWidget>(window, "connectionMessageBar");
        auto* table = child<TableValuesDisplay>(window, "valueTable");
        window->onNewData(1000, QList<double>(misfit, 100.0));
        QVERIFY(bar->isVisibleTo(window.get()));
        const QString text = child<QLabel>(window, "connectionMessage")->text();
        QVERIFY2(text.startsWith(QStringLiteral("Lines of %1 values are dropped").arg(misfit)), qPrintable(text));
        QVERIFY(window->graphs().isEmpty() && table->recordCount() == 0);
        QVERIFY(child<QLabel>(window, "rateLabel")->text().isEmpty());

        window->findChild<InstrumentConnection*>()->hideMessage();
        window->onNewData(1200, QList<double>(misfit, 100.0));
        QVERIFY(!bar->isVisibleTo(window.get()));
        window->onNewData(1400, QList<double>(fit, 100.0));
        QCOMPARE(table->recordCount(), 1);
    }

    // Locked, the narrow graph takes the widest span; unlocked, every graph keeps its own.
    void commonSpan()
    {
        for (bool locked : { true, false }) {
            auto window = open(QStringLiteral("<Acquisition>Acquire_VRIR</Acquisition>\n"));
            window->settings()->setLockCommonVerticalScale(locked);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
            // Live graphs draw a sample once the clock has passed its pixel column: recent, not of this moment.
            for (int i = 0; i < 2; ++i) {
                window->onNewData(QDateTime::currentMSecsSinceEpoch() - 500, { 0, 1000, 500, 0, 20, 10 });
                for (DataGraphic* graph : window->graphs())
                    graph->grab();
            }
            QCOMPARE(window->graphs().at(0)->range(), 1000.0);
            QCOMPARE(window->graphs().at(1)->maximum() - window->graphs().at(1)->minimum(), locked ? 1000.0f : 20.0f);
        }
    }

    // What is computed (and recorded) is the same with a montage as without, before and after an edit; the edit
    // rebuilds the graphs once the typing pauses, and only while a montage is in use.
    void montageEdits()
    {
        auto window = open(QStringLiteral("<Acquisition>Acquire_RIR</Acquisition><UseMontage>true</UseMontage>"
                                          "<Montage>1;2;3;4</Montage>\n"));
        window->loadMontage();
        auto plain = open(QStringLiteral("<Acquisition>Acquire_RIR</Acquisition>\n"), QStringLiteral("plain"));
        qint64 ts = 1000;
        const auto feed = [&](double base) {
            QList<double> data;
            for (int i = 0; i < 24; ++i)
                data << base * (i + 1) + (i % 2 ? 100 : 0);
            window->onNewData(ts, data);
            plain->onNewData(ts, data);
            ts += 100;
        };
        feed(1);
        feed(7);
        QCOMPARE(window->graphs().size(), 4);
        QCOMPARE(window->processedSample(), plain->processedSample());

        plain->settings()->setMontage(QStringLiteral("1"));
        window->settings()->setMontage(QStringLiteral("1;2"));
        QTest::qWait(MainWindow::MontageEditPauseMs / 4);
        window->settings()->setMontage(QStringLiteral("1;2;3"));
        QTest::qWait(MainWindow::MontageEditPauseMs / 2);
        QCOMPARE(window->graphs().size(), 4);
        QTRY_VERIFY(window->graphs().isEmpty());
        QCOMPARE(plain->graphs().size(), 12);
        feed(3);
        QCOMPARE(window->graphs().size(), 3);
        QCOMPARE(window->processedSample(), plain->processedSample());
    }

    // Connected and disconnected with the empty state's button and Ctrl+K, also from a field that binds it.
    void instruments()
    {
        // The virtual instrument of the last run is not connected while it is switched off.
        auto window = open(QStringLiteral("<LastDevice>Virtual FNIR</LastDevice>"));
        QVERIFY(showActive(window));
        auto* deviceList = child<QComboBox>(window, "deviceList");
        auto* recordButton = child<QPushButton>(window, "recordButton");
        auto* rateLabel = child<QLabel>(window, "rateLabel");
        auto* empty = child<QWidget>(window, "emptyState");
        QVERIFY(!window->device() && !recordButton->isEnabled() && empty->isVisible());
        QVERIFY(deviceList->findText(MainWindow::VirtualDeviceEntry) < 0);

        QTest::mouseClick(child<QPushButton>(window, "useVirtualButton"), Qt::LeftButton);
        QPointer<AbstractFnirDevice> virtualDevice = window->device();
        QVERIFY(qobject_cast<VirtualFnirDevice*>(virtualDevice) && !empty->isVisible());
        QCOMPARE(window->settings()->getLastDevice(), MainWindow::VirtualDeviceEntry);
        QVERIFY(recordButton->isEnabled() && !deviceList->isEnabled()
            && child<QPushButton>(window, "connectButton")->isChecked());
        QTRY_COMPARE(window->graphs().size(), 12);
        QTRY_VERIFY(rateLabel->text().startsWith(QStringLiteral("12ch@")));
        window->settings()->setVirtualDeviceChannels(5);
        QTRY_COMPARE(window->graphs().size(), 5);

        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
            QVERIFY(!window->device() && !recordButton->isEnabled() && deviceList->isEnabled() && empty->isVisible());
            QVERIFY(rateLabel->text().isEmpty() && child<TableValuesDisplay>(window, "valueTable")->recordCount() == 0);
            QCOMPARE(window->settings()->getLastDevice(), QString());
            QTRY_VERIFY(virtualDevice.isNull());
            QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
            virtualDevice = window->device();
            QVERIFY(virtualDevice);
        }
        // The offscreen platform binds no Ctrl+K in line edits (the X11 key scheme does): a field that claims
        // every key stands in for one.
        auto* greedy = new GreedyField(child<QWidget>(window, "toolBar"));
        greedy->show();
        greedy->setFocus();
        QTest::keyClick(greedy, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(!window->device());
    }

    void silentInstrument()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start(
            { "--rate", "50", "--channels", "2", "--fault", "stall", "--stall-after", "10", "--stall-ms", "2000" }));
        auto window = open(QString());
        window->findChild<InstrumentConnection*>()->setSilenceMs(1000);
        child<QComboBox>(window, "deviceList")->setEditText(emulator.portPath());
        window->onConnectClicked();
        auto* message = child<QLabel>(window, "connectionMessage");
        QTRY_VERIFY_WITH_TIMEOUT(message->isVisibleTo(window.get()), 3000);
        QVERIFY(message->text().startsWith(QStringLiteral("No data from %1 for 1 s").arg(emulator.portPath())));
        QTRY_VERIFY_WITH_TIMEOUT(!message->isVisibleTo(window.get()), 3000);
    }

    // The virtual head draws with the optics of the records and the virtual instrument's settings, and every mark
    // reaches it, also without a record: F1 and the mark endpoint (which answers that no record runs).
    void virtualHeadAnswersMarks()
    {
        const quint16 port = HttpTestServer::closedPort();
        TemporaryHome::writeFile(m_home->dataFolder() + QStringLiteral("/RecSettings.xml"),
            "<?xml version=\"1.0\"?>\n<RecordsSettings>\n<RedWavelength>690</RedWavelength>\n"
            "<PartialPathlengthFactor>7</PartialPathlengthFactor>\n</RecordsSettings>\n");
        auto window
            = open(QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice><VirtualSignal>Head</VirtualSignal>"
                                  "<VirtualRate>20</VirtualRate><VirtualDeviceChannels>4</VirtualDeviceChannels>"
                                  "<Acquisition>Acquire_VRIR</Acquisition><MarkPort>%1</MarkPort>")
                       .arg(port));
        QVERIFY(showActive(window));
        QTest::mouseClick(child<QPushButton>(window, "useVirtualButton"), Qt::LeftButton);
        auto* device = qobject_cast<VirtualFnirDevice*>(window->device());
        QVERIFY(device && device->head());
        const HeadModel* head = device->head();
        QCOMPARE(head->channels(), 4);
        QCOMPARE(head->law().settings().redWavelength, 690.0);
        QCOMPARE(head->law().settings().partialPathlengthFactor, 7.0);
        QTRY_COMPARE(window->graphs().size(), 4);
        QTRY_VERIFY(head->time() >= 1.0);

        QTest::keyClick(window.get(), Qt::Key_F1);
        QCOMPARE(head->responses().size(), size_t(1));
        QVERIFY(std::abs(head->responses().back() - head->time()) < 0.2);
        HttpTestClient client;
        QCOMPARE(client.request(HttpTestClient::url(port, QStringLiteral("/mark?text=stim"))).status, 409);
        QTRY_COMPARE(head->responses().size(), size_t(2));

        window->settings()->setVirtualBadChannelEvery(2);
        QVERIFY(device->head() && device->head()->isBadlyCoupled(1));
        window->settings()->setVirtualSignal(HalvexSettings::RandomWalk);
        QVERIFY(!device->head());
    }

    // The virtual instrument of the last run connects at the start, unless the settings say not to remember it.
    void startAndMinimumSize()
    {
        const QString remembered = QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice><LastDevice>Virtual FNIR"
                                                  "</LastDevice>");
        QVERIFY(!open(remembered + "<RememberLastDevice>false</RememberLastDevice>", "forgetful")->device());
        auto window = open(remembered);
        QVERIFY(window->device());
        window->show();
        window->resize(300, 200);
        QCOMPARE(window->size(), window->minimumSize());
        auto* rate = child<QLabel>(window, "rateLabel");
        rate->setText(QStringLiteral("12ch@250.0Hz"));
        QTRY_VERIFY(window->centralWidget()->layout()->geometry().width() == window->width());
        QApplication::processEvents();
        QVERIFY(rate->width() >= rate->fontMetrics().horizontalAdvance(rate->text()));
        for (QWidget* tool : child<QWidget>(window, "toolBar")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (tool->isVisible() && tool->minimumWidth() != tool->maximumWidth())
                QVERIFY2(tool->width() >= tool->minimumSizeHint().width(), qPrintable(tool->objectName()));
        }
    }

    void firstStartToolBar()
    {
        HttpTestServer endpoint;
        QVERIFY(endpoint.listen());
        endpoint.setReply(200, "{\"valid\": true, \"version\": \"1.0.4\", \"link\": \"https://example.org/1.0.4\"}");
        VersionChecker::baseUrl = endpoint.url(QStringLiteral("/version"));
        const auto restore = qScopeGuard([] { VersionChecker::baseUrl.clear(); });
        QList<QPointer<RecordsWindow>> opened;
        {
            auto window = open(QString());
            QVERIFY(QDir::setCurrent(m_home->dataFolder()));
            // A first start takes the running language, not the settings' default.
            QVERIFY(TemporaryHome::readFile(settingsPath()).contains("<Language>en_US</Language>"));
            QVERIFY(showActive(window));

            QVERIFY(child<QPushButton>(window, "tableButton")->toolTip().startsWith(QLatin1String("Display as table")));
            auto* graph = child<QPushButton>(window, "graphButton");
            auto* stack = child<QStackedWidget>(window, "viewStack");
            QSignalSpy views(window->settings(), &HalvexSettings::changedView);
            QTest::mouseClick(graph, Qt::LeftButton);
            QVERIFY(views.isEmpty() && graph->isChecked() && stack->currentIndex() == 1);
            QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
            QVERIFY(views.size() == 1 && stack->currentIndex() == 0 && !graph->isChecked());
            QVERIFY(TemporaryHome::readFile(settingsPath()).contains("<View>View_Table</View>"));
            // A settings file that cannot be written is named in a warning until it is saved again.
            auto* unsaved = child<NoticeBar>(window, "settingsNotice");
            QVERIFY(QFile::remove(settingsPath()) && QDir().mkdir(settingsPath()));
            QTest::mouseClick(graph, Qt::LeftButton);
            QVERIFY(unsaved->isVisible() && unsaved->text().contains(QDir::toNativeSeparators(settingsPath())));
            QVERIFY(QDir().rmdir(settingsPath()));
            QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
            QVERIFY(!unsaved->isVisible() && QFile::exists(settingsPath()));

            QPushButton* star = child<NewVersionButton>(window, "newVersion")->button();
            QTRY_VERIFY(star->isVisible());
            QCOMPARE(star->text(), QStringLiteral("New version 1.0.4"));
            UrlCatcher desktop;
            QTest::mouseClick(star, Qt::LeftButton);
            QCOMPARE(desktop.urls(), QList<QUrl>({ QUrl("https://example.org/1.0.4") }));
            QTest::mouseClick(child<QPushButton>(window, "aboutButton"), Qt::LeftButton);
            auto* about = window->findChild<AboutWindow*>();
            QVERIFY(about && about->isVisible());
            QCOMPARE(about->findChild<NewVersionButton*>()->button()->text(), star->text());
            QCOMPARE(endpoint.paths().size(), 1);

            QStringList titles;
            window->setDialogRunner([&titles](ConfirmDialog& dialog) {
                titles << dialog.windowTitle();
                dialog.cancelButton()->click();
                return dialog.result();
            });
            window->settings()->setLanguage(HalvexSettings::ru_RU);
            QCOMPARE(titles.size(), 1);
            QVERIFY(titles.at(0).startsWith(QStringLiteral("Language change/")));
            QCOMPARE(window->settings()->getLanguage(), HalvexSettings::en_US);

            QTest::mouseClick(child<QPushButton>(window, "recordsButton"), Qt::LeftButton);
            QVERIFY(showActive(window));
            QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* records = qobject_cast<RecordsWindow*>(top); records && !records->parent())
                    opened << records;
            }
            QCOMPARE(opened.size(), 2);
            window->close();
        }
        QTRY_VERIFY(std::all_of(opened.cbegin(), opened.cend(), [](const auto& records) { return records.isNull(); }));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
