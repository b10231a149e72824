#include "ExportStimuli.h"

#include <algorithm>

const QString ExportStimuli::GapName = QStringLiteral("gap");
const QString ExportStimuli::UnnamedMark = QStringLiteral("Mark");

ExportStimuli::ExportStimuli(double end)
    : m_end(end)
{ }

void ExportStimuli::add(std::vector<Stimulus>& list, const QString& name, double onset, double duration)
{
    auto it = std::find_if(list.begin(), list.end(), [&name](const Stimulus& s) { return s.name == name; });
    if (it == list.end())
        it = list.insert(list.end(), { name, {} });
    it->rows.insert(it->rows.end(), { onset, duration, 1.0 });
}

void ExportStimuli::addMark(const QString& text, double onset)
{
    if (!(onset >= 0 && onset <= m_end)) {
        ++m_outside;
        return;
    }
    add(m_marks, text.trimmed().isEmpty() ? UnnamedMark : text, onset, 0);
}

void ExportStimuli::addGap(double onset, double duration)
{
    add(m_own, GapName, onset, duration);
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
