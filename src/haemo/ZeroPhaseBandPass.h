#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

// A zero-phase FIR band-pass, designed and applied as MNE-Python 1.3's filter_data(data, rate, low, high,
// l_trans_bandwidth, h_trans_bandwidth) does with its defaults (method 'fir', phase 'zero', fir_window 'hamming',
// fir_design 'firwin', filter_length 'auto', pad 'reflect_limited'):
// - length N = ceil(3.3 / min(transition bands) · rate), made odd (3.3: the Hamming window's length factor);
// - h = a low-pass at high + h_trans/2 minus a low-pass at low − l_trans/2, each a windowed sinc from scipy's
//   firwin with its own length round(3.3 / half-transition), made odd, centred in N;
// - the series is extended at both ends by min(N, n) − 1 samples reflected through its end values
//   (2·x[0] − x[k]), convolved with h and cut back, so that output sample i is centred on input sample i.
// MNE convolves by overlap-add FFTs; so does apply() where that is faster (FftConvolution), else it sums directly:
// both give the same numbers to rounding.
class ZeroPhaseBandPass
{
public:
    struct Band
    {
        double low = 0.7; // Hz
        double high = 1.5; // Hz
        double lowTransition = 0.3; // Hz
        double highTransition = 0.3; // Hz
    };

    // Nothing, with the reason in *reason, where MNE refuses too: a band that does not fit between 0 and half the
    // sampling rate once its transition bands are added.
    static std::optional<ZeroPhaseBandPass> design(double rate, const Band& band, QString* reason = nullptr);

    const std::vector<double>& coefficients() const { return m_h; }

    // How apply() convolves: by the sum of products, by transforms, or by whichever is faster for the lengths.
    enum class Method { Automatic, Direct, Transform };
    // Automatic takes transforms from this filter length and this many products on.
    static constexpr std::size_t TransformFromTaps = 64;
    static constexpr std::size_t TransformFromProducts = std::size_t(1) << 20;

    // Filters one contiguous series of count samples into out (which must not overlap it). A designed filter is
    // only read, so threads may share it.
    void apply(const double* in, std::size_t count, double* out, Method method = Method::Automatic) const;
    // Filters every run of samples between gaps (NaN) as a series of its own; the gaps stay NaN.
    std::vector<double> applyAroundGaps(const std::vector<double>& series) const;

private:
    ZeroPhaseBandPass() = default;

    std::vector<double> m_h;
};
