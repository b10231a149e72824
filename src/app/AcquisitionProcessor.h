#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <array>

struct MontageEntry
{
    int number = -1; // zero-based instrument channel
    QString name;
};

// The per-sample arithmetic of the acquisition, kept apart from the window so that it is tested without one:
// cutting a raw sample into per-channel triples, the moving-average baseline of the derived values, the mapping of
// instrument channels to graph positions (channel reordering, montage) and the montage text itself.
class AcquisitionProcessor
{
public:
    // The values of the acquisition variant setting.
    enum Variant { Acquire_VRIR = 0, Acquire_RIR = 1, Acquire_aRIR = 2 };

    // Entry i is the graph position of instrument channel i for the alternating variant with 12 channels.
    static constexpr std::array<int, 12> ChannelReorder12 { 0, 6, 1, 7, 2, 8, 3, 9, 4, 10, 5, 11 };

    struct GraphSample
    {
        int graph = -1;
        std::array<double, 3> triple {};
        int channel = -1; // the instrument channel, counted from 0
    };

    struct Output
    {
        QList<double> processed; // the triples of all channels, in instrument order
        QList<GraphSample> graphs; // one entry per channel that has a graph
    };

    void setVariant(int variant) { m_variant = variant; }
    int variant() const { return m_variant; }
    void setSmoothing(int smoothing) { m_smoothing = qMax(1, smoothing); }
    int smoothing() const { return m_smoothing; }

    // Raw values per channel: 3 for V-R-IR, 2 otherwise.
    int valuesPerChannel() const { return m_variant == Acquire_VRIR ? 3 : 2; }
    int channelCount(int valueCount) const { return valueCount / valuesPerChannel(); }
    // Graphs the window should hold for a sample of valueCount values.
    int displayedCount(int valueCount) const { return montageActive ? montageCount : channelCount(valueCount); }

    // Forgets the histories and keeps one empty history per instrument channel. process() does this by itself
    // when the channel count changes.
    void resetHistories(int channelCount);
    int historyCount() const { return int(historyMagnitude.size()); }

    // Reads the montage text: one line per graph row, cells "N" or "N=Name" separated by ";", N one-based.
    void loadMontage(bool useMontage, const QString& text);

    // Processes one raw sample (whose value count is even) into out, reusing out's storage.
    void process(const QList<double>& data, Output& out);

    // The graph (display position) of an instrument channel, -1 for one the montage leaves out.
    int graphPosition(int channel, int channelCount) const;

    // A value truncated toward zero and held within the int range; 0 for a non-number.
    static int truncatedToInt(double value);
    // The integer average of a history: the 32-bit sum divided by the count, truncated toward zero.
    static int integerAverage(const QList<int>& values);

    QList<QList<int>> historyMagnitude;
    QList<QList<int>> historySecond;
    QList<QList<int>> historyThird;

    bool montageActive = false;
    QList<QList<MontageEntry>> montageRows;
    QMap<int, QString> montageNames;
    int montageCount = 0;
    int montageMaxRow = 1;

private:
    int pushAndAverage(QList<int>& history, double value) const;

    int m_variant = Acquire_aRIR;
    int m_smoothing = 20;
};
