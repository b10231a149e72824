#include "AverageRun.h"

#include <QtConcurrent/QtConcurrentRun>

AverageRun::AverageRun(QObject* parent)
    : QObject(parent)
    , m_watcher(new QFutureWatcher<Result>(this))
{
    connect(m_watcher, &QFutureWatcher<Result>::finished, this, &AverageRun::runFinished);
}

AverageRun::~AverageRun()
{
    if (m_cancel)
        m_cancel->store(true);
    m_watcher->waitForFinished();
}

bool AverageRun::isRunning() const
{
    return m_watcher->isRunning() || m_waiting;
}

void AverageRun::start(const QStringList& records, const RecordAverage::Options& options)
{
    m_records = records;
    m_options = options;
    if (m_watcher->isRunning()) {
        m_cancel->store(true);
        m_waiting = true;
        return;
    }
    launch();
}

void AverageRun::cancel()
{
    m_waiting = false;
    if (m_cancel)
        m_cancel->store(true);
}

void AverageRun::launch()
{
    m_waiting = false;
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    const QStringList records = m_records;
    const RecordAverage::Options options = m_options;
    const std::shared_ptr<std::atomic<bool>> cancel = m_cancel;
    auto shown = std::make_shared<std::atomic<int>>(-1);
    m_watcher->setFuture(QtConcurrent::run([this, records, options, cancel, shown]() -> Result {
        auto average = std::make_shared<RecordAverage>();
        average->average(
            records, {}, options,
            [this, shown](double share) {
                // One signal per step of a bar, not one per sample; queued to this object's thread.
                const int value = int(share * 1000);
                if (shown->exchange(value) != value)
                    QMetaObject::invokeMethod(
                        this, [this, value]() { emit progress(value); }, Qt::QueuedConnection);
            },
            cancel.get());
        return average;
    }));
}

void AverageRun::runFinished()
{
    if (m_waiting) {
        launch();
        return;
    }
    emit finished(m_watcher->result());
}
