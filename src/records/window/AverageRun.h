#pragma once

#include "RecordAverage.h"

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <memory>

// Averages records on a thread of its own (RecordAverage touches no widgets), one run at a time. A start while a
// run is under way cancels that run and starts the new one as soon as it has stopped: only the last start reports.
class AverageRun : public QObject
{
    Q_OBJECT
public:
    using Result = std::shared_ptr<const RecordAverage>;

    explicit AverageRun(QObject* parent = nullptr);
    // Cancels a run under way and waits for it: it reports to this object.
    ~AverageRun() override;

    void start(const QStringList& records, const RecordAverage::Options& options);
    // The run under way stops soon and reports Cancelled; a start waiting for it is dropped.
    void cancel();
    // A run is under way or waits for the one before it to stop.
    bool isRunning() const;

signals:
    void progress(int permille);
    void finished(AverageRun::Result result);

private:
    void launch();
    void runFinished();

    QFutureWatcher<Result>* m_watcher = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    bool m_waiting = false;
    QStringList m_records;
    RecordAverage::Options m_options;
};
