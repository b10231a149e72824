#include "SignalQuality.h"

#include "ZeroPhaseBandPass.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// True when the values that are not NaN are all the same (or there are none): MNE's zero standard deviation.
bool neverChanges(const std::vector<double>& series)
{
    const auto first = std::find_if(series.begin(), series.end(), [](double v) { return v == v; });
    return first == series.end()
        || std::all_of(first, series.end(), [value = *first](double v) { return v != v || v == value; });
}

} // namespace

double SignalQuality::scalpCouplingIndex(
    const ZeroPhaseBandPass& filter, const std::vector<double>& odRed, const std::vector<double>& odInfrared)
{
    if (odRed.size() != odInfrared.size() || neverChanges(odRed) || neverChanges(odInfrared))
        return 0;
    const std::vector<double> x = filter.applyAroundGaps(odRed);
    const std::vector<double> y = filter.applyAroundGaps(odInfrared);

    return correlation(x.data(), y.data(), x.size());
}

double SignalQuality::correlation(const double* x, const double* y, std::size_t count)
{
    // Two passes as np.corrcoef: the means first, then the sums of products of the deviations.
    double meanX = 0;
    double meanY = 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (x[i] == x[i] && y[i] == y[i]) {
            meanX += x[i];
            meanY += y[i];
            ++used;
        }
    }
    if (used < 2)
        return 0;
    meanX /= double(used);
    meanY /= double(used);
    double xx = 0;
    double yy = 0;
    double xy = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (x[i] == x[i] && y[i] == y[i]) {
            const double dx = x[i] - meanX;
            const double dy = y[i] - meanY;
            xx += dx * dx;
            yy += dy * dy;
            xy += dx * dy;
        }
    }
    const double r = xy / std::sqrt(xx) / std::sqrt(yy);
    return std::isfinite(r) ? std::clamp(r, -1.0, 1.0) : 0.0;
}

double SignalQuality::coefficientOfVariation(const std::vector<double>& intensity)
{
    double mean = 0;
    std::size_t count = 0;
    for (const double v : intensity) {
        if (v == v) {
            mean += v;
            ++count;
        }
    }
    if (count == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (neverChanges(intensity))
        return 0; // also where the mean's rounding would leave a trace of deviation
    mean /= double(count);
    double squares = 0;
    for (const double v : intensity) {
        if (v == v)
            squares += (v - mean) * (v - mean);
    }
    return 100.0 * std::sqrt(squares / double(count)) / std::abs(mean);
}
