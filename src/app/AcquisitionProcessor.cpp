#include "AcquisitionProcessor.h"

#include "TextHelper.h"

#include <algorithm>
#include <cmath>
#include <limits>

void AcquisitionProcessor::resetHistories(int channelCount)
{
    historyMagnitude.clear();
    historySecond.clear();
    historyThird.clear();
    for (int i = 0; i < channelCount; ++i) {
        historyMagnitude.append(QList<int>());
        historySecond.append(QList<int>());
        historyThird.append(QList<int>());
    }
}

void AcquisitionProcessor::loadMontage(bool useMontage, const QString& text)
{
    if (!useMontage) {
        montageActive = false;
        return;
    }
    const QStringList lines = TextHelper::splitAndTrim(text, QStringLiteral("\n"));
    if (lines.isEmpty()) {
        montageActive = false;
        return;
    }
    montageRows.clear();
    montageNames.clear();
    montageCount = 0;
    montageMaxRow = 1;
    for (const QString& line : lines) {
        QList<MontageEntry> row;
        const QStringList cells = TextHelper::splitAndTrim(line, QStringLiteral(";"));
        for (const QString& cell : cells) {
            const QStringList parts = cell.split(QLatin1Char('='));
            const int number = parts.first().toInt() - 1;
            QString name = QString::number(number);
            if (parts.size() > 1) {
                name = parts.at(1);
                if (number >= 0)
                    montageNames.insert(number, name);
            }
            if (number >= 0) {
                row.append({ number, name });
                ++montageCount;
                montageMaxRow = qMax(montageMaxRow, int(row.size()));
            }
        }
        montageRows.append(row);
    }
    montageActive = true;
}

int AcquisitionProcessor::integerAverage(const QList<int>& values)
{
    if (values.isEmpty())
        return 0;
    qint32 sum = 0;
    for (int value : values)
        sum = qint32(quint32(sum) + quint32(value)); // wraps like the 32-bit sum it stands for, without UB
    return sum / qint32(values.size());
}

int AcquisitionProcessor::truncatedToInt(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::clamp(
        std::trunc(value), double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

int AcquisitionProcessor::pushAndAverage(QList<int>& history, double value) const
{
    history.append(truncatedToInt(value));
    while (history.size() > m_smoothing)
        history.removeFirst();
    return integerAverage(history);
}

int AcquisitionProcessor::graphPosition(int channel, int channelCount) const
{
    int position = channel;
    if (m_variant == Acquire_aRIR && channelCount == int(ChannelReorder12.size()))
        position = ChannelReorder12[size_t(channel)];
    if (!montageActive)
        return position;
    int counted = 0;
    for (const auto& row : montageRows) {
        for (const MontageEntry& entry : row) {
            if (entry.number == position)
                return counted;
            ++counted;
        }
    }
    return -1;
}

void AcquisitionProcessor::process(const QList<double>& data, Output& out)
{
    out.processed.resize(0);
    out.graphs.resize(0);

    const int k = valuesPerChannel();
    const int channels = channelCount(int(data.size()));
    // One history per instrument channel, however the graphs are arranged: what is computed and recorded must
    // not depend on the montage.
    if (historyCount() != channels)
        resetHistories(channels);
    for (int i = 0; i < channels; ++i) {
        std::array<double, 3> triple {};
        for (int j = 0; j < k; ++j)
            triple[size_t(j)] = data.at(i * k + j);

        if (k == 2) {
            const double magnitude = std::fabs(triple[1] - triple[0]);
            triple[2] = double(pushAndAverage(historyMagnitude[i], magnitude));
        }
        if (m_variant != Acquire_VRIR) {
            // The derived values are shown as their deviation from their own moving average, re-based onto the
            // first value.
            const double first = triple[0];
            triple[1] -= pushAndAverage(historySecond[i], triple[1]) - first;
            triple[2] -= pushAndAverage(historyThird[i], triple[2]) - first;
        }

        out.processed.append(triple[0]);
        out.processed.append(triple[1]);
        out.processed.append(triple[2]);

        const int position = graphPosition(i, channels);
        if (position >= 0)
            out.graphs.append({ position, triple, i });
    }
}
