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

    static const QString GapName;
    static const QString UnnamedMark;

    // Onsets from 0 to end (seconds on the exported time axis) are kept.
    explicit ExportStimuli(double end);

    void addMark(const QString& text, double onset);
    void addGap(double onset, double duration);

    // The marks first, each name once in the order first seen, then the program's own stimuli.
    std::vector<Stimulus> list() const;
    // Marks left out because their onsets lie outside the samples.
    qint64 outside() const { return m_outside; }

private:
    static void add(std::vector<Stimulus>& list, const QString& name, double onset, double duration);

    double m_end = 0;
    std::vector<Stimulus> m_marks;
    std::vector<Stimulus> m_own;
    qint64 m_outside = 0;
};
