#include "LiveQuality.h"

#include "OpticalDensity.h"
#include "SignalQuality.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
// The filter designed for the first time once the samples span this many seconds.
constexpr double FirstDesignSeconds = 2.0;

} // namespace

LiveQuality::LiveQuality(int channels, double windowSeconds)
    : m_channels(std::max(channels, 0))
    , m_windowSeconds(windowSeconds)
    , m_raw(size_t(m_channels) * 2)
    , m_log(size_t(m_channels) * 2)
    , m_filtered(size_t(m_channels) * 2)
    , m_qualities(size_t(m_channels))
{ }

bool LiveQuality::push(double time, const double* red, const double* infrared)
{
    // A clock that steps back past the last update would hold the next one off for as long as the step.
    if (m_times.empty() || time < m_nextUpdate - 1.0)
        m_nextUpdate = time + 1.0;
    m_times.push_back(time);
    for (int c = 0; c < m_channels; ++c) {
        for (int w = 0; w < 2; ++w) {
            const double value = (w == 0 ? red : infrared)[c];
            const bool usable = std::isfinite(value);
            const size_t s = size_t(2 * c + w);
            m_raw[s].push_back(usable ? value : NaN);
            m_log[s].push_back(usable && value != 0 ? -std::log(std::abs(value)) : NaN);
            if (usable && value > m_largest)
                m_largest = value;
        }
    }
    if (time < m_nextUpdate)
        return false;
    m_nextUpdate += 1.0;
    if (m_nextUpdate <= time)
        m_nextUpdate = time + 1.0;
    update();
    return true;
}

void LiveQuality::update()
{
    designFilter();
    if (!m_bandPass) {
        std::fill(m_qualities.begin(), m_qualities.end(), Quality());
        // Kept as long as a filter would need them, should the rate rise.
        if (m_rate > 0)
            dropOldFrames(size_t(std::lround((m_windowSeconds + 12.0) * m_rate)) + 1);
        return;
    }
    const size_t taps = m_reversed.size();
    const size_t window = size_t(std::max(2L, std::lround(m_windowSeconds * m_rate)));
    const size_t keep = window + taps - 1;
    // Room for as many samples as are ever kept (dropOldFrames), so that the series stop moving in memory.
    const size_t most = keep + keep / 2 + size_t(std::ceil(m_rate)) + 1;
    if (m_times.capacity() < most) {
        m_times.reserve(most);
        for (auto* series : { &m_raw, &m_log, &m_filtered }) {
            for (std::vector<double>& s : *series)
                s.reserve(most);
        }
    }
    filterPending();
    const bool full = frames() >= keep;
    for (int c = 0; c < m_channels; ++c)
        m_qualities[size_t(c)] = full ? assess(c, window) : Quality();
    dropOldFrames(keep);
}

void LiveQuality::designFilter()
{
    const size_t n = frames();
    const double span = n < 3 ? 0.0 : m_times.back() - m_times.front();
    if (!(span >= FirstDesignSeconds))
        return;
    const double measured = double(n - 1) / span;
    if (m_rate > 0 && std::abs(measured / m_rate - 1.0) <= RateTolerance)
        return;
    m_rate = measured;
    m_bandPass = ZeroPhaseBandPass::design(m_rate, {}, &m_problem);
    if (m_bandPass) {
        m_problem.clear();
        m_reversed.assign(m_bandPass->coefficients().rbegin(), m_bandPass->coefficients().rend());
    } else {
        m_reversed.clear();
    }
    m_filteredFrames = 0; // everything kept is filtered anew
}

void LiveQuality::filterPending()
{
    const size_t n = frames();
    const size_t taps = m_reversed.size();
    const double* h = m_reversed.data();
    for (size_t s = 0; s < m_log.size(); ++s) {
        std::vector<double>& y = m_filtered[s];
        y.resize(n);
        const double* x = m_log[s].data();
        for (size_t f = m_filteredFrames; f < n; ++f) {
            if (f + 1 < taps) {
                y[f] = NaN; // the span reaches before the samples kept
                continue;
            }
            // Four sums side by side, each in a register, let the processor overlap the additions; a gap in the
            // span makes the sum NaN.
            const double* span = x + (f + 1 - taps);
            double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
            size_t k = 0;
            for (; k + 4 <= taps; k += 4) {
                s0 += h[k] * span[k];
                s1 += h[k + 1] * span[k + 1];
                s2 += h[k + 2] * span[k + 2];
                s3 += h[k + 3] * span[k + 3];
            }
            for (; k < taps; ++k)
                s0 += h[k] * span[k];
            y[f] = (s0 + s1) + (s2 + s3);
        }
    }
    m_filteredFrames = n;
}

// Without a level set, the brightest channel of an instrument that never saturates is always within the margin of
// the largest value seen; what tells clipping apart is light that sticks at one top value: the window's maximum, near
// the largest value seen, held by at least a tenth of its samples (and three).
bool LiveQuality::pinned(const double* raw, size_t count, double nearTop)
{
    double top = -std::numeric_limits<double>::infinity();
    size_t values = 0;
    for (size_t i = 0; i < count; ++i) {
        if (raw[i] == raw[i]) {
            top = std::max(top, raw[i]);
            ++values;
        }
    }
    if (!(top >= nearTop))
        return false;
    const auto atTop = size_t(std::count(raw, raw + count, top));
    return atTop >= 3 && atTop * 10 >= values;
}

LiveQuality::Quality LiveQuality::assess(int channel, size_t windowFrames) const
{
    const size_t n = frames();
    const size_t first = n - windowFrames;
    const double saturation = m_saturationLevel > 0 ? m_saturationLevel
        : m_largest > 0                             ? m_largest * (1.0 - SaturationMargin)
                                                    : std::numeric_limits<double>::infinity();
    Quality quality;
    for (int w = 0; w < 2; ++w) {
        const size_t s = size_t(2 * channel + w);
        const double* raw = m_raw[s].data() + first;
        const auto values = std::count_if(raw, raw + windowFrames, [](double v) { return v == v; });
        if (values < 2)
            return Quality();
        quality.dark = quality.dark || OpticalDensity::baseline(raw, windowFrames) < m_darkLevel;
        quality.saturated = quality.saturated
            || (m_saturationLevel > 0 ? std::any_of(raw, raw + windowFrames, [=](double v) { return v >= saturation; })
                                      : pinned(raw, windowFrames, saturation));
        m_scratch.assign(raw, raw + windowFrames);
        quality.cvPercent = std::max(quality.cvPercent, SignalQuality::coefficientOfVariation(m_scratch));
    }
    // Light that never changes is filtered to one value throughout: no deviation, and an index of 0.
    quality.sci = SignalQuality::correlation(m_filtered[size_t(2 * channel)].data() + first,
        m_filtered[size_t(2 * channel + 1)].data() + first, frames() - first);
    quality.known = true;
    return quality;
}

void LiveQuality::dropOldFrames(size_t keep)
{
    // Dropped in batches: every drop moves all that is kept.
    const size_t n = frames();
    if (n <= keep + keep / 2)
        return;
    const auto dropped = std::ptrdiff_t(n - keep);
    m_times.erase(m_times.begin(), m_times.begin() + dropped);
    for (auto* series : { &m_raw, &m_log, &m_filtered }) {
        for (std::vector<double>& s : *series)
            s.erase(s.begin(), s.begin() + std::min(dropped, std::ptrdiff_t(s.size())));
    }
    m_filteredFrames = m_filteredFrames > size_t(dropped) ? m_filteredFrames - size_t(dropped) : 0;
}
