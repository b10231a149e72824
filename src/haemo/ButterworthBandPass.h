#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

// A zero-phase Butterworth band-pass of order 3, designed and applied as scipy 1.10 does it:
// - the coefficients are those of butter(3, [low, high], 'bandpass', fs=rate), in transfer-function (b, a) form: the
//   analog prototype's poles −exp(iπm/6), m = −2, 0, 2, moved to the band around √(w₁w₂) with width w₂ − w₁, where
//   w = 4·tan(π·f/rate) are the edges prewarped for the bilinear transform z = (4 + s)/(4 − s); the three zeros at
//   s = 0 go to z = 1 and the three at infinity to z = −1;
// - a series is filtered as filtfilt(b, a, x) with its defaults: extended at both ends by 21 samples (3 × the 7
//   coefficients) reflected through its end values (2·x[0] − x[k]), run forward through the filter from the state
//   lfilter_zi(b, a) · first extended value, then backward from that state · the last forward output, and cut back.
// The arithmetic copies numpy's and LAPACK's step by step because the (b, a) form is ill-conditioned where the low
// edge is a small fraction of the rate: one unit in the last place of one coefficient of a moves the output of a
// 0.01 Hz edge by 4e-8 of its range at 10 samples/s and by 1e-3 at 50, and lfilter_zi's linear system has a
// condition number of 1e11 and 2e15 there. So copied, the coefficients and the output are scipy's to the last bit
// wherever numpy's tan rounds as the C library's does. On processors with AVX-512 numpy takes tan from a vector
// library that is up to 3 units in the last place off; the coefficients then differ by as much, and the output, over
// rates of 2 to 100 samples/s and bands from 0.005–0.5 to 0.1–0.9 Hz, by at most 5e-7 of its range. Scipy's own
// output at 50 samples/s and 0.01 Hz is 4e-4 of its range away from the same filter in second-order sections
// (sosfiltfilt): where that matters, sections are the cure, not more digits here.
class ButterworthBandPass
{
public:
    static constexpr int Order = 3;
    static constexpr int CoefficientCount = 2 * Order + 1;
    // filtfilt's default padding, 3 · max(len(a), len(b)); it refuses series of this many samples or fewer.
    static constexpr std::size_t PadLength = 3 * CoefficientCount;
    static constexpr std::size_t MinimumLength = PadLength + 1;

    using Coefficients = std::array<double, CoefficientCount>;

    // Nothing, with the reason in *reason, where scipy refuses too: an edge at or below 0 Hz or at or above half the
    // sampling rate, or a low edge not below the high one.
    static std::optional<ButterworthBandPass> design(double rate, double low, double high, QString* reason = nullptr);

    double rate() const { return m_rate; }
    double low() const { return m_low; }
    double high() const { return m_high; }
    // b (numerator) and a (denominator, a[0] = 1), highest power of z first, as scipy orders them.
    const Coefficients& numerator() const { return m_b; }
    const Coefficients& denominator() const { return m_a; }

    // Filters one series of count samples without gaps into out (which may be in). A series shorter than
    // MinimumLength, which scipy refuses, gives NaN throughout and false. A designed filter is only read, so threads
    // may share it.
    bool apply(const double* in, std::size_t count, double* out) const;
    // Filters every run of samples between gaps (NaN) as a series of its own; the gaps stay NaN, and so does every
    // run too short to filter. *lost (when given) counts the samples that had a value and have none now.
    std::vector<double> applyAroundGaps(const std::vector<double>& series, std::size_t* lost = nullptr) const;

private:
    ButterworthBandPass() = default;

    double m_rate = 0;
    double m_low = 0;
    double m_high = 0;
    Coefficients m_b {};
    Coefficients m_a {};
    // lfilter_zi(b, a): the state of the filter after a step of 1 that has lasted for ever.
    std::array<double, CoefficientCount - 1> m_zi {};
};
