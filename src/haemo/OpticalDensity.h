#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

// Optical density, OD = −ln(I / I₀), of a series of light intensities I against a baseline intensity I₀, as
// MNE-Python 1.3's optical_density computes it (Delpy et al. 1988). Offline, I₀ is the mean of the whole series; the
// live view takes the mean of its first seconds instead (LiveHaemoglobin), with the same per-sample arithmetic.
//
// Gaps (NaN samples) are left out of the means and stay NaN; nothing else of the series changes because of them.
// Light intensities are never zero or negative in a sound record; where they are, MNE's rule applies over all the
// series converted together: every value becomes |I|, and a series whose smallest |I| is 0 is raised to the
// smallest of the other series' smallest |I| (MNE skips series with a zero when it looks for that floor). Where every
// series holds a zero MNE has no floor and its result is NaN throughout; here the floor is then the smallest
// positive |I| of all, and a series of zeros only has an optical density of 0.
namespace OpticalDensity {

// −ln(I / I₀) of one sample; NaN stays NaN.
inline double of(double intensity, double baseline);

// Applies the rule for non-positive intensities above to the series in place. False when nothing needed changing.
bool correctIntensities(std::vector<std::vector<double>>& series);

// The mean of the values that are not NaN; NaN when there are none.
double baseline(const double* intensity, std::size_t count);

// OD of every sample against the given baseline. A baseline of 0 (a series of zeros only) gives 0.
void convert(const double* intensity, std::size_t count, double baseline, double* od);

// Offline: corrects the intensities of all series together, then converts each against its own mean.
std::vector<std::vector<double>> compute(std::vector<std::vector<double>> intensities);

} // namespace OpticalDensity

inline double OpticalDensity::of(double intensity, double baseline)
{
    // MNE divides, takes the logarithm, then negates: the same order gives the same bits.
    return baseline == 0 ? (intensity == intensity ? 0.0 : intensity) : -std::log(intensity / baseline);
}
