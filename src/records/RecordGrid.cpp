#include "RecordGrid.h"

#include "Parallel.h"
#include "RecordGaps.h"
#include "SampleTimes.h"

bool RecordGrid::load(const QString& recordPath, double rate, const std::function<void(double)>& progress)
{
    clear();
    m_error.clear();
    const QString rawPath = RawRecord::rawPath(recordPath);
    if (!m_record.read(rawPath, progress)) {
        m_error = QStringLiteral("%1: %2").arg(rawPath, m_record.errorString());
        return false;
    }
    if (m_record.lineCount() < 2) {
        m_error = QStringLiteral("%1: fewer than 2 samples (%2 damaged lines skipped)")
                      .arg(rawPath)
                      .arg(m_record.skippedLines());
        return false;
    }
    m_record.sortByTime();
    m_times = SampleTimes::spread(m_record.times());
    const double median = RecordGaps::medianInterval(m_times, RecordGaps::Middle::Mean);
    if (median <= 0) {
        m_error = QStringLiteral("%1: every sample has the same time").arg(rawPath);
        return false;
    }
    // A few samples a day apart, the rest a millisecond apart (a damaged time column), fit in a day yet make a
    // grid of tens of millions of empty points, and every series of the analysis as long: gigabytes for a few
    // lines. At the record's own interval the grid holds its samples, with room for lost lines and a pause as long
    // as the longest reconnection. Checked before the grid is built, which takes that memory; beyond a day the grid
    // says so itself.
    const double span = m_times.back() - m_times.front();
    if (span <= MaxSpanSeconds * 1000
        && span / median > MaxPointsPerSample * double(m_times.size()) + MaxPauseSeconds * 1000 / median) {
        m_error = QStringLiteral("%1: %2 samples spread over %3 hours (damaged time column?)")
                      .arg(rawPath)
                      .arg(m_times.size())
                      .arg(span / 3600000, 0, 'f', 1);
        return false;
    }
    const double step = rate > 0 ? 1000 / rate : median;
    if (!m_grid.build(m_times, step, RecordGaps::medianInterval(m_times, RecordGaps::Middle::Upper),
            qsizetype(MaxSpanSeconds * 1000 / step) + 1)) {
        m_error = QStringLiteral("%1: the times span more than %2 hours (damaged time column?)")
                      .arg(rawPath)
                      .arg(MaxSpanSeconds / 3600);
        return false;
    }
    return true;
}

std::vector<std::vector<double>> RecordGrid::series(const std::vector<int>& columns) const
{
    const size_t points = size_t(m_grid.size());
    std::vector<std::vector<double>> values(columns.size());
    for (std::vector<double>& series : values)
        series.resize(points);
    constexpr size_t Block = 4096;
    Parallel::forEach((points + Block - 1) / Block, [&](size_t block) {
        const size_t end = std::min(points, (block + 1) * Block);
        for (size_t i = block * Block; i < end; ++i) {
            for (size_t c = 0; c < columns.size(); ++c)
                values[c][i] = at(qsizetype(i), columns[c]);
        }
    });
    return values;
}

void RecordGrid::clear()
{
    m_record = {};
    m_times = {};
    m_grid = {};
}
