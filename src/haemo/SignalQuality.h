#pragma once

#include <cstddef>
#include <vector>

class ZeroPhaseBandPass;

// How well a channel's optodes see the scalp.
namespace SignalQuality {

// The scalp coupling index (Pollonini et al. 2014, "Auditory cortex activation to natural speech and simulated
// cochlear implant speech measured with functional near-infrared spectroscopy", Hear. Res. 309): the correlation of
// the two wavelengths' optical densities after a band-pass around the cardiac pulse, as MNE-Python 1.3's
// scalp_coupling_index computes it with its defaults (ZeroPhaseBandPass over 0.7–1.5 Hz, 0.3 Hz transition bands;
// np.corrcoef). A pulse seen at both wavelengths gives near 1, noise near 0.
// Each run of samples between gaps (NaN) is filtered on its own and the correlation takes the samples where both
// wavelengths have a value. A wavelength whose optical density never changes gives 0, as do fewer than two samples.
double scalpCouplingIndex(
    const ZeroPhaseBandPass& filter, const std::vector<double>& odRed, const std::vector<double>& odInfrared);

// The Pearson correlation of x and y over the samples where both have a value, in two passes as np.corrcoef;
// 0 when fewer than two samples have both or either series never changes.
double correlation(const double* x, const double* y, std::size_t count);

// The coefficient of variation of the raw light intensity in %: 100 · σ / |mean| over the values that are not
// NaN, σ the population standard deviation (numpy's std). 0 for a series that never changes, NaN for an empty one.
double coefficientOfVariation(const std::vector<double>& intensity);

} // namespace SignalQuality
