#include "EpochAverage.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// Offsets stay far inside int; a window this long (a year at 30 samples/s) is longer than any record anyway.
constexpr double LargestOffset = 1e9;

void refuse(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

QString noMarks(const QString& condition)
{
    return QCoreApplication::translate("Generic", "There is no mark “%1”.").arg(condition);
}

QString allLeftOut(const QString& condition, int count, double from, double to)
{
    return QCoreApplication::translate("Generic",
        "The marks “%2” were all left out (%1): the window from %3 to %4 s runs past the start or end of the data or "
        "into a gap.")
        .arg(count)
        .arg(condition)
        .arg(from)
        .arg(to);
}

// The mean over marks (records) and the standard error, numpy's way: the mean first, then the squared deviations
// from it, summed and divided by n − 1, the root divided by √n. value(e, k) is sample k of epoch e.
template<typename Value>
void meanAndError(std::size_t epochs, std::size_t length, const Value& value, std::vector<double>& mean,
    std::vector<double>& standardError)
{
    mean.assign(length, 0.0);
    for (std::size_t e = 0; e < epochs; ++e) {
        for (std::size_t k = 0; k < length; ++k)
            mean[k] += value(e, k);
    }
    for (double& m : mean)
        m /= double(epochs);
    standardError.assign(length, NaN);
    if (epochs < 2)
        return;
    std::vector<double> squares(length, 0.0);
    for (std::size_t e = 0; e < epochs; ++e) {
        for (std::size_t k = 0; k < length; ++k) {
            const double deviation = value(e, k) - mean[k];
            squares[k] += deviation * deviation;
        }
    }
    for (std::size_t k = 0; k < length; ++k)
        standardError[k] = std::sqrt(squares[k] / double(epochs - 1)) / std::sqrt(double(epochs));
}

} // namespace

std::optional<EpochAverage> EpochAverage::create(const Settings& settings, double rate, QString* reason)
{
    if (!(rate > 0) || !std::isfinite(rate)) {
        refuse(reason,
            QCoreApplication::translate("Generic", "The sampling rate must be above 0 samples/s, not %1.").arg(rate));
        return std::nullopt;
    }
    if (!(settings.from < settings.to) || !(std::abs(settings.from * rate) < LargestOffset)
        || !(std::abs(settings.to * rate) < LargestOffset)) {
        refuse(reason,
            QCoreApplication::translate("Generic", "The window from %1 to %2 s is empty: its start must come first.")
                .arg(settings.from)
                .arg(settings.to));
        return std::nullopt;
    }
    if (!(settings.baselineFrom <= settings.baselineTo) || !(settings.baselineFrom >= settings.from)
        || !(settings.baselineTo <= settings.to)) {
        refuse(reason,
            QCoreApplication::translate("Generic",
                "The baseline from %1 to %2 s must lie inside the window from %3 to %4 s, its start not after its "
                "end.")
                .arg(settings.baselineFrom)
                .arg(settings.baselineTo)
                .arg(settings.from)
                .arg(settings.to));
        return std::nullopt;
    }

    EpochAverage average;
    average.m_settings = settings;
    average.m_rate = rate;
    // Python's round, halves to even, in the default rounding mode.
    average.m_first = int(std::nearbyint(settings.from * rate));
    average.m_last = int(std::nearbyint(settings.to * rate));
    // MNE's rescale: the epoch's samples whose times k / rate lie in [baselineFrom, baselineTo]. The time grows with
    // k, so the first and the last are found from their estimates by a step or two: the walk over the whole window
    // cost tens of milliseconds at the high rate that settings are checked at.
    const auto time = [rate](long long k) { return double(k) / rate; };
    const long long first = average.m_first;
    const long long last = average.m_last;
    long long begin = std::clamp<long long>((long long)(std::ceil(settings.baselineFrom * rate)), first, last + 1);
    while (begin > first && time(begin - 1) >= settings.baselineFrom)
        --begin;
    while (begin <= last && time(begin) < settings.baselineFrom)
        ++begin;
    long long end = std::clamp<long long>((long long)(std::floor(settings.baselineTo * rate)), first - 1, last);
    while (end < last && time(end + 1) <= settings.baselineTo)
        ++end;
    while (end >= first && time(end) > settings.baselineTo)
        --end;
    const bool found = begin <= end;
    if (found) {
        average.m_baselineBegin = std::size_t(begin - first);
        average.m_baselineEnd = std::size_t(end - first) + 1;
    }
    if (!found) {
        refuse(reason,
            QCoreApplication::translate("Generic", "The baseline from %1 to %2 s holds no sample at %3 samples/s.")
                .arg(settings.baselineFrom)
                .arg(settings.baselineTo)
                .arg(rate));
        return std::nullopt;
    }
    return average;
}

std::vector<EpochAverage::Response> EpochAverage::average(const std::vector<std::vector<double>>& series, double start,
    const std::vector<Mark>& marks, const QStringList& conditions) const
{
    std::vector<Response> out;
    out.reserve(size_t(conditions.size()));
    for (const QString& condition : conditions)
        out.push_back(average(series, start, marks, condition));
    return out;
}

EpochAverage::Response EpochAverage::average(const std::vector<std::vector<double>>& series, double start,
    const std::vector<Mark>& marks, const QString& condition) const
{
    Response response;
    response.condition = condition;
    response.rate = m_rate;
    response.firstOffset = m_first;

    std::size_t samples = series.empty() ? 0 : series.front().size();
    for (const std::vector<double>& s : series)
        samples = std::min(samples, s.size());
    const std::size_t length = this->length();

    std::vector<std::size_t> firsts; // the first sample of every epoch kept
    for (std::size_t m = 0; m < marks.size(); ++m) {
        if (marks[m].condition != condition)
            continue;
        const double nearest = std::nearbyint((marks[m].time - start) * m_rate);
        const double first = nearest + m_first;
        bool inside = first >= 0 && nearest + m_last < double(samples);
        for (std::size_t s = 0; inside && s < series.size(); ++s) {
            const double* values = series[s].data() + std::size_t(first);
            inside = std::none_of(values, values + length, [](double v) { return v != v; });
        }
        if (inside) {
            firsts.push_back(std::size_t(first));
        } else {
            ++response.dropped;
            response.droppedMarks.push_back(m);
        }
    }

    response.marks = int(firsts.size());
    if (firsts.empty()) {
        if (response.dropped == 0) {
            response.problem = noMarks(condition);
        } else if (length > samples) {
            response.problem = QCoreApplication::translate("Generic",
                "The window from %1 to %2 s is longer than the data (%3 s): the marks “%5” were all left out (%4).")
                                   .arg(m_settings.from)
                                   .arg(m_settings.to)
                                   .arg(double(samples) / m_rate)
                                   .arg(response.dropped)
                                   .arg(condition);
        } else {
            response.problem = allLeftOut(condition, response.dropped, m_settings.from, m_settings.to);
        }
        return response;
    }
    response.records = 1;

    response.mean.resize(series.size());
    response.standardError.resize(series.size());
    std::vector<double> baselines(firsts.size());
    for (std::size_t s = 0; s < series.size(); ++s) {
        const double* values = series[s].data();
        for (std::size_t e = 0; e < firsts.size(); ++e) {
            double sum = 0;
            for (std::size_t k = m_baselineBegin; k < m_baselineEnd; ++k)
                sum += values[firsts[e] + k];
            baselines[e] = sum / double(m_baselineEnd - m_baselineBegin);
        }
        meanAndError(
            firsts.size(), length, [&](std::size_t e, std::size_t k) { return values[firsts[e] + k] - baselines[e]; },
            response.mean[s], response.standardError[s]);
    }
    return response;
}

std::optional<EpochAverage::Response> EpochAverage::grandAverage(const std::vector<Response>& records, QString* reason)
{
    Response grand;
    std::vector<const Response*> averaged;
    for (const Response& record : records) {
        grand.dropped += record.dropped;
        if (record.empty())
            continue;
        if (!averaged.empty()) {
            // The same samples around the marks, at times that differ by less than a tenth of a sample.
            const Response& first = *averaged.front();
            const std::size_t length = first.mean.empty() ? 0 : first.mean.front().size();
            const std::size_t last = length > 0 ? length - 1 : 0;
            const bool sameGrid = record.mean.size() == first.mean.size() && record.firstOffset == first.firstOffset
                && (record.mean.empty() || record.mean.front().size() == length)
                && std::abs(first.time(0) - record.time(0)) <= 0.1 / first.rate
                && std::abs(first.time(last) - record.time(last)) <= 0.1 / first.rate;
            if (!sameGrid) {
                refuse(reason,
                    QCoreApplication::translate("Generic",
                        "Records with %1 series at %2 samples/s and %3 series at %4 samples/s cannot be averaged "
                        "together: bring them to one rate and one set of channels first.")
                        .arg(first.mean.size())
                        .arg(first.rate)
                        .arg(record.mean.size())
                        .arg(record.rate));
                return std::nullopt;
            }
        }
        averaged.push_back(&record);
        grand.marks += record.marks;
    }
    if (!records.empty()) {
        grand.condition = records.front().condition;
        grand.rate = records.front().rate;
        grand.firstOffset = records.front().firstOffset;
    }
    grand.records = int(averaged.size());
    if (averaged.empty()) {
        grand.problem = grand.dropped == 0 ? noMarks(grand.condition)
                                           : QCoreApplication::translate("Generic",
                                               "The marks “%1” were left out in every record (%2 in all): their "
                                               "windows run past the start or end of the data or into gaps.")
                                                 .arg(grand.condition)
                                                 .arg(grand.dropped);
        return grand;
    }

    const Response& first = *averaged.front();
    grand.rate = first.rate;
    grand.firstOffset = first.firstOffset;
    grand.mean.resize(first.mean.size());
    grand.standardError.resize(first.mean.size());
    for (std::size_t s = 0; s < first.mean.size(); ++s) {
        meanAndError(
            averaged.size(), first.mean[s].size(),
            [&](std::size_t r, std::size_t k) { return averaged[r]->mean[s][k]; }, grand.mean[s],
            grand.standardError[s]);
    }
    return grand;
}

std::vector<double> EpochAverage::windowMean(const Response& response, double from, double to)
{
    std::vector<double> means(response.mean.size(), std::numeric_limits<double>::quiet_NaN());
    for (std::size_t s = 0; s < response.mean.size(); ++s) {
        double sum = 0;
        std::size_t count = 0;
        for (std::size_t k = 0; k < response.mean[s].size(); ++k) {
            const double time = response.time(k);
            if (time >= from && time <= to) {
                sum += response.mean[s][k];
                ++count;
            }
        }
        if (count > 0)
            means[s] = sum / double(count);
    }
    return means;
}
