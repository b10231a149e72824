#pragma once

#include "AcquisitionProcessor.h"
#include "ConnectionHelper.h"
#include "HalvexSettings.h"
#include "RecordSession.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class AbstractFnirDevice;
class ConfirmDialog;
class DataGraphic;
class FrameRateCounter;
class MenuButton;
class RecordsWindow;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class TableValuesDisplay;

// The application's window: the tool bar to pick and connect an instrument and to switch views, the value table
// and one graph per channel, and the settings applied while it runs.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Runs a modal dialog and returns its result; tests substitute one that answers by itself.
    using DialogRunner = std::function<int(ConfirmDialog&)>;

    static inline const QString VirtualDeviceEntry = QStringLiteral("Virtual FNIR");

    explicit MainWindow(const QString& dataFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    QString dataFolder() const { return m_dataFolder; }
    HalvexSettings* settings() const { return m_settings; }
    AbstractFnirDevice* device() const { return m_device; }
    const QList<DataGraphic*>& graphs() const { return m_graphs; }
    const AcquisitionProcessor& processor() const { return m_processor; }

    void onNewData(qint64 ts, const QList<double>& data);
    void rebuildChannels(int n);
    void loadMontage();
    static QByteArray formatSampleLine(qint64 elapsed, const QList<double>& values);

    void refreshDeviceList();
    void onConnectClicked();
    void setDevice(AbstractFnirDevice* device);
    void switchView(HalvexSettings::ViewMode view);

    // An empty name asks for the automatic base name (date, time and title). The record button follows the
    // recording state, so a start that fails leaves it unchecked and the message says why.
    void startRecord(const QString& name = QString());
    void stopRecord();
    // Opens a new records window; several may be open at once.
    RecordsWindow* openRecordsWindow();
    const RecordSession* recordSession() const { return m_record; }

    void setDialogRunner(DialogRunner runner) { m_dialogRunner = std::move(runner); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* createIconButton(const QString& objectName, const QString& icon, int size, int iconSize);
    void buildToolBar();
    void applySettingsLive();
    void autoConnect();
    void onDeviceLost();
    void showConnectionMessage(const QString& text);
    void onLanguageChanged();
    void applyVirtualChannels(AbstractFnirDevice* device) const;
    void onRecordClicked();
    void onRecordingChanged(bool recording);
    void onHookWaitingChanged(bool waiting);
    RecordLayout recordLayout() const;

    QString m_dataFolder;
    AbstractFnirDevice* m_device = nullptr;
    ConnectionHelper m_connections { QStringLiteral("MainWindow device") };
    HalvexSettings* m_settings = nullptr;
    FrameRateCounter* m_frameRateCounter = nullptr;
    QLabel* m_rateLabel = nullptr;
    TableValuesDisplay* m_valueTable = nullptr;
    QPushButton* m_connectButton = nullptr;
    QPushButton* m_recordButton = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QComboBox* m_deviceList = nullptr;
    QWidget* m_graphsPanel = nullptr;
    QGridLayout* m_graphsLayout = nullptr;
    QStackedWidget* m_viewStack = nullptr;
    QPushButton* m_tableButton = nullptr;
    QPushButton* m_graphButton = nullptr;
    QPushButton* m_openFolderButton = nullptr;
    QPushButton* m_recordsButton = nullptr;
    MenuButton* m_settingsButton = nullptr;
    QLabel* m_elapsedLabel = nullptr;
    QLineEdit* m_titleField = nullptr;
    QLabel* m_connectionMessage = nullptr;
    QWidget* m_toolBar = nullptr;

    QList<DataGraphic*> m_graphs;
    AcquisitionProcessor m_processor;
    // Reused from sample to sample so that the handler allocates nothing once they have grown.
    AcquisitionProcessor::Output m_output;
    QList<double> m_triple;

    DialogRunner m_dialogRunner;

    RecordSession* m_record = nullptr;
    // The elapsed-time label changes once a second; the text is made only then.
    qint64 m_shownSeconds = -1;
};
