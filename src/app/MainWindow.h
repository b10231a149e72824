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
class GraphGrid;
class HaemoglobinFeed;
class HaemoglobinView;
class LslPublisher;
class LslMarkerFeed;
class MarkEndpoint;
class MarkServer;
class MainToolBar;
class NoticeBar;
class RecordsSettings;
class RecordsWindow;
class SignalCheck;
class QLabel;
class QTimer;
class TableValuesDisplay;
class ViewStack;

// The application's window: the tool bar (MainToolBar), the views (ViewStack: the value table and one graph per
// channel), the per-sample handling that feeds them and the record, and the settings applied while it runs.
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
    // The optics and quality settings of the data folder ("RecSettings.xml"): one instance for the live view and
    // every records window this window opens.
    RecordsSettings* analysisSettings() const { return m_analysisSettings; }
    AbstractFnirDevice* device() const { return m_instrument->device(); }
    const QList<DataGraphic*>& graphs() const;
    const HaemoglobinFeed* haemoglobin() const { return m_haemoglobin; }
    const QList<DataGraphic*>& haemoglobinGraphs() const;
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
    const LslMarkerFeed* lslMarkers() const { return m_lslMarkers; }
    SignalCheck* signalCheck() const { return m_signalCheck; }
    const LslPublisher* lslPublisher() const { return m_lsl; }

    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applySettingsLive();
    void onDeviceChanged(AbstractFnirDevice* device);
    QWidget* buildEmptyState();
    void showEmptyState(bool show);
    // The one-click way to live data without hardware: turns the virtual instrument on and connects it.
    void useVirtualInstrument();
    void onLanguageChanged();
    RecordLayout recordLayout() const;
    // Shows a settings file that cannot be written until each that failed is saved again.
    void watchSettingsSaves();

    QString m_dataFolder;
    HalvexSettings* m_settings = nullptr;
    RecordsSettings* m_analysisSettings = nullptr;
    // They use m_analysisSettings: none may outlive this window.
    QList<QPointer<RecordsWindow>> m_recordsWindows;
    FrameRateCounter* m_frameRateCounter = nullptr;
    QLabel* m_rateLabel = nullptr;
    TableValuesDisplay* m_valueTable = nullptr;
    InstrumentConnection* m_instrument = nullptr;
    RecordControl* m_recordControl = nullptr;
    MarkServer* m_markServer = nullptr;
    MarkEndpoint* m_markEndpoint = nullptr;
    LslMarkerFeed* m_lslMarkers = nullptr;
    GraphGrid* m_graphsPanel = nullptr;
    HaemoglobinFeed* m_haemoglobin = nullptr;
    HaemoglobinView* m_haemoglobinView = nullptr;
    ViewStack* m_viewStack = nullptr;
    SignalCheck* m_signalCheck = nullptr;
    LslPublisher* m_lsl = nullptr;
    QPointer<AboutWindow> m_aboutWindow;
    MainToolBar* m_toolBar = nullptr;
    QTimer* m_montageTimer = nullptr;
    bool m_montageWaiting = false;
    // Stands in for the views while no instrument is connected.
    QWidget* m_emptyState = nullptr;
    NoticeBar* m_settingsNotice = nullptr;
    QList<QObject*> m_unsavedSettings; // the settings objects whose last save failed

    AcquisitionProcessor m_processor;
    // Reused from sample to sample so that the handler allocates nothing once they have grown.
    AcquisitionProcessor::Output m_output;
    QList<double> m_triple;

    DialogRunner m_dialogRunner;
};
