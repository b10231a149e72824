#pragma once

#include "AcquisitionProcessor.h"
#include "HalvexSettings.h"
#include "InstrumentConnection.h"
#include "RecordControl.h"
#include "RecordSession.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class AboutWindow;
class AbstractFnirDevice;
class ConfirmDialog;
class DataGraphic;
class FrameRateCounter;
class MarkEndpoint;
class MarkServer;
class MenuButton;
class NewVersionButton;
class RecordsSettings;
class RecordsWindow;
class SignalCheck;
class QGridLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTimer;
class TableValuesDisplay;

// The application's window: the tool bar to pick and connect an instrument and to switch views, the value table
// and one graph per channel, and the settings applied while it runs.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Runs a modal dialog and returns its result; tests substitute one that answers by itself.
    using DialogRunner = std::function<int(ConfirmDialog&)>;

    static inline const QString VirtualDeviceEntry = InstrumentConnection::VirtualDeviceEntry;
    // A montage edit applies when the typing has paused this long.
    static constexpr int MontageEditPauseMs = 400;

    explicit MainWindow(const QString& dataFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    QString dataFolder() const { return m_dataFolder; }
    HalvexSettings* settings() const { return m_settings; }
    AbstractFnirDevice* device() const { return m_instrument->device(); }
    const QList<DataGraphic*>& graphs() const { return m_graphs; }
    // The processed values of the last sample, one triple per instrument channel.
    const QList<double>& processedSample() const { return m_output.processed; }

    void onNewData(qint64 ts, const QList<double>& data);
    void rebuildChannels(int n);
    void loadMontage();

    void refreshDeviceList() { m_instrument->refreshDeviceList(); }
    void onConnectClicked() { m_instrument->onConnectClicked(); }
    void setDevice(AbstractFnirDevice* device) { m_instrument->setDevice(device); }
    void switchView(HalvexSettings::ViewMode view);

    // An empty name asks for the automatic base name (date, time and title); a start that fails says why.
    void startRecord(const QString& name = QString()) { m_recordControl->startRecord(name); }
    void stopRecord() { m_recordControl->stopRecord(); }
    // Opens a new records window; several may be open at once.
    RecordsWindow* openRecordsWindow();
    // Shows the about window, the one already open if there is one.
    AboutWindow* openAboutWindow();
    const RecordSession* recordSession() const { return m_recordControl->session(); }
    RecordControl* recordControl() const { return m_recordControl; }
    const MarkServer* markServer() const { return m_markServer; }
    RecordsSettings* recordsSettings() const { return m_recordsSettings; }
    SignalCheck* signalCheck() const { return m_signalCheck; }

    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPushButton* createIconButton(const QString& objectName, const QString& icon, int size, int iconSize);
    void buildToolBar();
    void applySettingsLive();
    void onDeviceChanged(AbstractFnirDevice* device);
    QWidget* buildEmptyState();
    void showEmptyState(bool show);
    // The one-click way to live data without hardware: turns the virtual instrument on and connects it.
    void useVirtualInstrument();
    void onLanguageChanged();
    RecordLayout recordLayout() const;

    QString m_dataFolder;
    HalvexSettings* m_settings = nullptr;
    FrameRateCounter* m_frameRateCounter = nullptr;
    QLabel* m_rateLabel = nullptr;
    TableValuesDisplay* m_valueTable = nullptr;
    InstrumentConnection* m_instrument = nullptr;
    RecordControl* m_recordControl = nullptr;
    MarkServer* m_markServer = nullptr;
    MarkEndpoint* m_markEndpoint = nullptr;
    RecordsSettings* m_recordsSettings = nullptr;
    SignalCheck* m_signalCheck = nullptr;
    QWidget* m_graphsPanel = nullptr;
    QGridLayout* m_graphsLayout = nullptr;
    QStackedWidget* m_viewStack = nullptr;
    QPushButton* m_tableButton = nullptr;
    QPushButton* m_graphButton = nullptr;
    QPushButton* m_openFolderButton = nullptr;
    QPushButton* m_recordsButton = nullptr;
    MenuButton* m_settingsButton = nullptr;
    NewVersionButton* m_newVersionButton = nullptr;
    QPushButton* m_aboutButton = nullptr;
    QPointer<AboutWindow> m_aboutWindow;
    QWidget* m_toolBar = nullptr;
    QTimer* m_montageTimer = nullptr;
    bool m_montageWaiting = false;
    // Stands in for the views while no instrument is connected.
    QWidget* m_emptyState = nullptr;

    QList<DataGraphic*> m_graphs;
    AcquisitionProcessor m_processor;
    // Reused from sample to sample so that the handler allocates nothing once they have grown.
    AcquisitionProcessor::Output m_output;
    QList<double> m_triple;

    DialogRunner m_dialogRunner;
};
