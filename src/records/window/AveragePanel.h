#pragma once

#include "AverageRun.h"
#include "AverageView.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QTimer;
class RecordsSettings;

// The records window's "Average" page: the conditions (mark texts) of the open records with their counts, a channel
// choice, the averages' settings, and the view of the averages (AverageView) with its exports. The average runs on
// a thread of its own over all open records at once (several records give the grand average), with a progress bar;
// new records or settings cancel a run and start another, settings after a short pause so that typing a number
// starts one run.
class AveragePanel : public QWidget
{
    Q_OBJECT
public:
    explicit AveragePanel(RecordsSettings* settings, QWidget* parent = nullptr);
    ~AveragePanel() override;

    void setRecords(const QStringList& recordPaths);
    QStringList records() const { return m_records; }
    // While an average is being computed or waits for its settings to settle.
    bool isBusy() const;

    // Every condition of the records, in the order first seen; those ticked; the one on the map.
    QStringList conditions() const;
    QStringList chosenConditions() const;
    void setChosenConditions(const QStringList& conditions);
    // Channels by their number in the record.
    void setChosenChannels(const QList<int>& numbers);
    void setMapCondition(const QString& condition);

    AverageView* view() const { return m_view; }
    QString status() const;

    // The curves of the chosen conditions as CSV; the view as SVG or PNG (by the file's suffix). False with the
    // reason in *error.
    bool exportCsv(const QString& path, QString* error = nullptr) const;
    bool exportPicture(const QString& path, QString* error = nullptr) const;

signals:
    // A run has ended and the page shows its outcome (averages or the reason there are none).
    void averaged();

private:
    void requestAverage();
    void startAverage();
    void averageFinished(const AverageRun::Result& result);
    void cancelAverage();
    void fillConditions();
    void fillChannels();
    void refreshView();
    void askCsv();
    void askPicture();
    void report(const QString& text);
    QString suggestedPath(const QString& suffix) const;

    RecordsSettings* m_settings = nullptr;
    QStringList m_records;
    AverageRun::Result m_result;
    QMap<int, RawRecord::MontageCell> m_montage;
    AverageRun* m_run = nullptr;
    QTimer* m_settle = nullptr;
    // What the user unticked stays unticked through new results.
    QSet<QString> m_uncheckedConditions;
    QSet<QString> m_seenConditions;
    QSet<int> m_uncheckedChannels;
    QStringList m_allConditions;

    QListWidget* m_conditionList = nullptr;
    QListWidget* m_channelList = nullptr;
    QComboBox* m_mapBox = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_csvButton = nullptr;
    QPushButton* m_pictureButton = nullptr;
    QLabel* m_status = nullptr;
    AverageView* m_view = nullptr;
};
