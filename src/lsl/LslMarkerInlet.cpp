#include "LslMarkerInlet.h"

#include "LslInletWorker.h"
#include "LslLibrary.h"
#include "LslMarkerQuery.h"

#include <algorithm>

LslMarkerInlet::LslMarkerInlet(QObject* parent)
    : QObject(parent)
{ }

LslMarkerInlet::~LslMarkerInlet() = default;

void LslMarkerInlet::setStreams(const QString& lines)
{
    m_lines = lines;
    // Without liblsl the setting is hidden, and a value left in the settings file means nothing.
    if (!LslLibrary::available())
        return;
    for (const LslMarkerQuery::Line& line : LslMarkerQuery::parse(lines)) {
        if (!line.refusal.isEmpty())
            emit refused(line.text, line.refusal);
    }
    restart();
}

void LslMarkerInlet::setOwnMarkerStream(const QString& name, const QString& sourceId)
{
    if (name == m_ownName && sourceId == m_ownSourceId)
        return;
    m_ownName = name;
    m_ownSourceId = sourceId;
    restart();
}

void LslMarkerInlet::restart()
{
    ++m_generation;
    if (m_worker) {
        m_worker->stop();
        m_ending.push_back(std::move(m_worker));
    }
    // Those that have ended are joined at once; the others end on their own and are joined later.
    m_ending.erase(std::remove_if(m_ending.begin(), m_ending.end(),
                       [](const std::unique_ptr<LslInletWorker>& worker) { return worker->finished(); }),
        m_ending.end());
    if (!m_inlets.isEmpty()) {
        m_inlets.clear();
        emit inletsChanged();
    }
#if HALVEX_HAS_LSL
    const QStringList predicates = LslMarkerQuery::predicates(LslMarkerQuery::parse(m_lines));
    if (predicates.isEmpty())
        return;
    const quint64 generation = m_generation;
    LslInletWorker::Sinks sinks;
    sinks.marker = [this, generation](const QString& stream, const QString& text, double sampleMs) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, stream, text, sampleMs] {
                if (generation == m_generation)
                    emit markerReceived(stream, text, sampleMs);
            },
            Qt::QueuedConnection);
    };
    sinks.inlets = [this, generation](const QList<Inlet>& inlets) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, inlets] {
                if (generation == m_generation) {
                    m_inlets = inlets;
                    emit inletsChanged();
                }
            },
            Qt::QueuedConnection);
    };
    sinks.refused = [this, generation](const QString& predicate, const QString& reason) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, predicate, reason] {
                if (generation == m_generation)
                    emit refused(predicate, reason);
            },
            Qt::QueuedConnection);
    };
    m_worker = std::make_unique<LslInletWorker>(
        predicates, LslInletWorker::OwnStream { m_ownName, m_ownSourceId }, std::move(sinks));
#endif
}
