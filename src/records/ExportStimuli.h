#pragma once

#include <QString>

#include <vector>

// The stimuli of a SNIRF export: the record's marks and events grouped by their text, and the gaps in its samples.
// Readers (MNE-Python among them) drop onsets that lie outside the samples without a word, so those are left out
// here and counted. A mark without text (or only spaces) is named "Mark"; a mark whose text is the name of one of the
// program's own stimuli is renamed, so that it never merges into them.
class ExportStimuli
{
public:
    struct Stimulus
    {
        QString name;
        std::vector<double> rows; // onset s, duration s, amplitude
    };

    // One mark or gap of list(), under the name of its stimulus there, with where it came from.
    struct Event
    {
        double onset = 0; // s
        double duration = 0; // s
        QString name;
        QString source; // the events file's source, LogSource for a ".log" mark, GapSource for a gap
    };

    static const QString GapName;
    static const QString UnnamedMark;
    static const QString LogSource;
    static const QString GapSource;

    // Onsets from 0 to end (seconds on the exported time axis) are kept.
    explicit ExportStimuli(double end);

    void addMark(const QString& text, double onset, const QString& source);
    // The ".log" marks and ".events" lines of a record (given by its ".csv" or ".raw"), at their times in the
    // record's elapsed ms less zero; returns the damaged lines of the ".events".
    int addRecordMarks(const QString& recordPath, double zero);
    void addGap(double onset, double duration);

    // The marks first, each name once in the order first seen, then the program's own stimuli.
    std::vector<Stimulus> list() const;
    // Every mark and gap that list() holds, in the order of their onsets.
    std::vector<Event> events() const;
    // Marks left out because their onsets lie outside the samples.
    qint64 outside() const { return m_outside; }

private:
    // Where one kept mark or gap went: its stimulus (among the marks or the program's own) and its source.
    struct Entry
    {
        bool own = false;
        size_t stimulus = 0;
        size_t row = 0;
        QString source;
    };

    static void add(std::vector<Stimulus>& list, std::vector<Entry>& entries, bool own, const QString& name,
        double onset, double duration, const QString& source);

    double m_end = 0;
    std::vector<Stimulus> m_marks;
    std::vector<Stimulus> m_own;
    std::vector<Entry> m_entries;
    qint64 m_outside = 0;
};
