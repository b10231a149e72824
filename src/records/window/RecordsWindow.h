#pragma once

#include "RecordAnalysis.h"
#include "RecordLoader.h"

#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>

class BidsExportDialog;
class DataGraphic;
class QComboBox;
class QLabel;
class QScrollBar;
class QTabWidget;
class QTimer;
class QVBoxLayout;
class RecordListPanel;
class RecordsSettings;
class RecordsSettingsPanel;
class SnirfExportControl;

// Lists the records of the data folder (RecordListPanel) and compares two channels of those opened from it or from
// elsewhere, one static graph per record: Left (Channel1), Right (Channel2) and their difference, with the marks of
// the record's ".log" file and, in a colour of their own, its events; or, chosen in the settings column, the oxy- and
// deoxy-haemoglobin of both channels as halvex-analyze computes them (RecordAnalysis). The graphs are the first of
// the window's pages; other views of the open records are added as pages of their own (addPage) and follow them
// through openRecordsChanged().
// Settings live in "RecSettings.xml" in the data folder; the main window shares its instance with all its records
// windows, so that a change in one shows in every other and in the live view at once. A top-level window without
// parent; whoever shows it decides its lifetime (Qt::WA_DeleteOnClose, or a parent).
class RecordsWindow : public QWidget
{
    Q_OBJECT
public:
    // With settings, the window uses (and changes) that instance, which must outlive it; without, it reads its own
    // from the current folder.
    explicit RecordsWindow(QWidget* parent = nullptr, RecordsSettings* settings = nullptr);
    ~RecordsWindow() override;

    void openRecords();
    // Everything Open does after its file dialog.
    void openPaths(const QStringList& paths);
    // The open records, in the order of opening.
    QStringList openRecordPaths() const { return m_openOrder; }
    void clearRecords();
    void loadRecord(const QString& path, DataGraphic* graph);
    void reloadAll();
    void updateView();
    void updateScrollRange();
    void updateTitles();
    // Writes every open record as a SNIRF file beside it, then names the files or the reasons in a message.
    void exportSnirf();
    // Opens the BIDS export for the open records.
    void exportBids();

    // What the graphs show: the channels' values as recorded, or their HbO and HbR.
    enum class Signal { Raw, Haemoglobin };
    Signal signal() const;
    void setSignal(Signal signal);

    // The folder the list shows: Documents/Halvex unless set otherwise.
    void setDataFolder(const QString& folder);
    static QString defaultDataFolder();
    RecordListPanel* recordList() const { return m_recordList; }

    // Adds a page beside the graphs' page "Records", behind a tab of that title; the window takes the page.
    void addPage(const QString& title, QWidget* page);
    QTabWidget* pages() const { return m_pages; }

    RecordsSettings* settings() const { return m_settings; }
    QList<DataGraphic*> graphs() const;
    QStringList channelList() const { return m_channelList; }

signals:
    // After reloadAll has loaded every record again.
    void reloaded();
    // After records were opened or closed; paths as openRecordPaths().
    void openRecordsChanged(const QStringList& paths);

private:
    void restartReloadTimer();
    // The gaps follow the graphs' window.
    void updateShading();
    void refillBox(QComboBox* box, int value);
    void loadHaemoglobin(const QString& path, DataGraphic* graph);
    void addMarksAndEvents(const QString& path, DataGraphic* graph);
    double fixedRange(const QString& path) const;

    RecordsSettings* m_settings = nullptr;
    std::unique_ptr<RecordsSettings> m_ownSettings;
    QMap<QString, QPointer<DataGraphic>> m_graphs;
    QStringList m_openOrder;
    RecordListPanel* m_recordList = nullptr;
    RecordsSettingsPanel* m_settingsPanel = nullptr;
    QTabWidget* m_pages = nullptr;
    QStringList m_channelList;
    SnirfExportControl* m_export = nullptr;
    BidsExportDialog* m_bidsDialog = nullptr;
    QComboBox* m_channel1Box = nullptr;
    QComboBox* m_channel2Box = nullptr;
    QComboBox* m_signalBox = nullptr;
    QVBoxLayout* m_graphColumn = nullptr;
    // Shown in place of the graphs while no record is open.
    QLabel* m_emptyHint = nullptr;
    QScrollBar* m_scrollBar = nullptr;
    QTimer* m_reloadTimer = nullptr;
    // Kept between loads so that a reload reuses their buffers.
    RecordLoader m_loader;
    RecordLoader::Comparison m_comparison;
    QList<double> m_values;
    // Per record shown as haemoglobin: the range that holds its curves (µM), or why there are none.
    QMap<QString, double> m_haemoglobinRanges;
    QMap<QString, QString> m_haemoglobinErrors;
};
