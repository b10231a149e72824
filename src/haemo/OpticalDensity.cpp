#include "OpticalDensity.h"

#include <algorithm>
#include <limits>

bool OpticalDensity::correctIntensities(std::vector<std::vector<double>>& series)
{
    const bool anyNonPositive = std::any_of(series.begin(), series.end(),
        [](const std::vector<double>& s) { return std::any_of(s.begin(), s.end(), [](double v) { return v <= 0; }); });
    if (!anyNonPositive)
        return false;

    const double infinity = std::numeric_limits<double>::infinity();
    double floor = infinity; // MNE's: the smallest |I| of the series whose smallest |I| is not 0
    double smallestPositive = infinity;
    for (std::vector<double>& s : series) {
        double smallest = infinity;
        for (double& v : s) {
            v = std::abs(v);
            if (v < smallest)
                smallest = v;
            if (v > 0 && v < smallestPositive)
                smallestPositive = v;
        }
        if (smallest > 0 && smallest < floor)
            floor = smallest;
    }
    if (floor == infinity)
        floor = smallestPositive;
    if (floor == infinity)
        return true; // zeros (and gaps) only: nothing to raise them to
    for (std::vector<double>& s : series) {
        for (double& v : s) {
            if (v < floor)
                v = floor;
        }
    }
    return true;
}

double OpticalDensity::baseline(const double* intensity, std::size_t count)
{
    // Compensated (Neumaier) summation: an hour of samples sums without the rounding a plain loop gathers.
    double sum = 0;
    double compensation = 0;
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double v = intensity[i];
        if (v != v)
            continue;
        const double next = sum + v;
        compensation += std::abs(sum) >= std::abs(v) ? (sum - next) + v : (v - next) + sum;
        sum = next;
        ++used;
    }
    return used == 0 ? std::numeric_limits<double>::quiet_NaN() : (sum + compensation) / double(used);
}

void OpticalDensity::convert(const double* intensity, std::size_t count, double baseline, double* od)
{
    for (std::size_t i = 0; i < count; ++i)
        od[i] = of(intensity[i], baseline);
}

std::vector<std::vector<double>> OpticalDensity::compute(std::vector<std::vector<double>> intensities)
{
    correctIntensities(intensities);
    for (std::vector<double>& s : intensities)
        convert(s.data(), s.size(), baseline(s.data(), s.size()), s.data());
    return intensities;
}
