#include "ExportStimuli.h"

#include "RawRecord.h"
#include "RecordEvents.h"
#include "RecordLoader.h"

#include <algorithm>

const QString ExportStimuli::GapName = QStringLiteral("gap");
const QString ExportStimuli::UnnamedMark = QStringLiteral("Mark");
const QString ExportStimuli::LogSource = QStringLiteral("log");
const QString ExportStimuli::GapSource = QStringLiteral("halvex");

ExportStimuli::ExportStimuli(double end)
    : m_end(end)
{ }

void ExportStimuli::add(std::vector<Stimulus>& list, std::vector<Entry>& entries, bool own, const QString& name,
    double onset, double duration, const QString& source)
{
    auto it = std::find_if(list.begin(), list.end(), [&name](const Stimulus& s) { return s.name == name; });
    if (it == list.end())
        it = list.insert(list.end(), { name, {} });
    entries.push_back({ own, size_t(it - list.begin()), it->rows.size() / 3, source });
    it->rows.insert(it->rows.end(), { onset, duration, 1.0 });
}

void ExportStimuli::addMark(const QString& text, double onset, const QString& source)
{
    if (!(onset >= 0 && onset <= m_end)) {
        ++m_outside;
        return;
    }
    add(m_marks, m_entries, false, text.trimmed().isEmpty() ? UnnamedMark : text, onset, 0, source);
}

int ExportStimuli::addRecordMarks(const QString& recordPath, double zero)
{
    const QString rawPath = RawRecord::rawPath(recordPath);
    for (const RecordLoader::Mark& mark : RecordLoader::readMarks(RecordLoader::logPath(rawPath)))
        addMark(mark.text, (double(mark.time) - zero) / 1000, LogSource);
    const RecordEvents::Contents events = RecordEvents::read(RecordEvents::eventsPath(rawPath));
    for (const RecordEvents::Event& event : events.events)
        addMark(event.text, (double(event.time) - zero) / 1000, event.source);
    return events.skippedLines;
}

void ExportStimuli::addGap(double onset, double duration)
{
    add(m_own, m_entries, true, GapName, onset, duration, GapSource);
}

std::vector<ExportStimuli::Stimulus> ExportStimuli::list() const
{
    const auto taken = [](const std::vector<Stimulus>& list, const QString& name) {
        return std::any_of(list.cbegin(), list.cend(), [&name](const Stimulus& s) { return s.name == name; });
    };
    std::vector<Stimulus> result = m_marks;
    for (Stimulus& mark : result) {
        if (mark.name != GapName)
            continue;
        // Renamed until the name is free among the marks too, so that the renamed mark merges with none of them.
        QString name = mark.name;
        do
            name += QStringLiteral(" (mark)");
        while (taken(m_marks, name));
        mark.name = name;
    }
    result.insert(result.end(), m_own.cbegin(), m_own.cend());
    return result;
}

std::vector<ExportStimuli::Event> ExportStimuli::events() const
{
    const std::vector<Stimulus> stimuli = list();
    std::vector<Event> events;
    for (const Entry& entry : m_entries) {
        const Stimulus& stimulus = stimuli[entry.own ? m_marks.size() + entry.stimulus : entry.stimulus];
        events.push_back(
            { stimulus.rows[3 * entry.row], stimulus.rows[3 * entry.row + 1], stimulus.name, entry.source });
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.onset < b.onset; });
    return events;
}
