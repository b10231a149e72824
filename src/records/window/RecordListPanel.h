#pragma once

#include "RecordSummary.h"

#include <QStringList>
#include <QThread>
#include <QWidget>

#include <memory>

class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QTableView;
class QTimer;
class RecordListModel;

// The records of the data folder, newest first, with a search field. The files are read on a thread of their own, so
// that a folder of hundreds of records never holds up the window; a record whose files have not changed since the
// last reading is not read again. The list follows the folder: a record made or changed (by this program or another)
// shows within about a second.
class RecordListPanel : public QWidget
{
    Q_OBJECT
public:
    explicit RecordListPanel(QWidget* parent = nullptr);
    ~RecordListPanel() override;

    // Lists folder and follows it; a folder that does not exist (yet) shows a hint.
    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }
    // Reads the folder again (soon, and once for a burst of calls).
    void refresh();

    RecordListModel* model() const { return m_model; }
    QTableView* view() const { return m_view; }
    // The records the search lets through, in the list's order.
    QStringList shownPaths() const;
    QStringList selectedPaths() const;

signals:
    // A double click, or Enter on the selected rows.
    void openRequested(const QStringList& paths);
    // After every reading of the folder.
    void scanned();

private:
    void startScan();
    void takeScan(const QList<RecordSummary>& records, bool folderExists);
    void applyFilter();
    void updateHint();
    void watchNewest();

    QString m_folder;
    RecordListModel* m_model = nullptr;
    QLineEdit* m_search = nullptr;
    QTableView* m_view = nullptr;
    QLabel* m_hint = nullptr;
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_refreshTimer = nullptr;
    bool m_folderExists = false;
    bool m_scanning = false;
    bool m_scanAgain = false;
    QString m_watchedRecord;
    // Reads run here, one at a time, on a copy of the last list.
    QThread m_thread;
    std::unique_ptr<QObject> m_reader;
};
