#include "ZeroPhaseBandPass.h"

#include "FftConvolution.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double Pi = 3.141592653589793;
// MNE's _length_factors['hamming']: filter length × transition width for the Hamming window's attenuation.
constexpr double HammingLengthFactor = 3.3;

// numpy's sinc, which avoids 0/0 by a tiny argument instead of a branch.
double sinc(double x)
{
    const double y = Pi * (x == 0 ? 1.0e-20 : x);
    return std::sin(y) / y;
}

// scipy.signal.firwin(taps, cutoff, window='hamming', pass_zero=True, fs=2): a low-pass at cutoff (a fraction of
// the Nyquist frequency), scaled to a gain of exactly 1 at 0 Hz.
std::vector<double> firwinLowPass(int taps, double cutoff)
{
    std::vector<double> h(static_cast<size_t>(taps));
    const double alpha = 0.5 * (taps - 1);
    // The symmetric Hamming window as scipy's general_cosine builds it: 0.54 + 0.46·cos over linspace(−π, π).
    const double step = (Pi - -Pi) / double(taps - 1);
    double sum = 0;
    for (int i = 0; i < taps; ++i) {
        const double m = double(i) - alpha;
        const double fac = i == taps - 1 ? Pi : double(i) * step + -Pi;
        const double window = taps <= 1 ? 1.0 : 0.54 + (1.0 - 0.54) * std::cos(fac);
        h[size_t(i)] = cutoff * sinc(cutoff * m) * window;
        sum += h[size_t(i)];
    }
    for (double& v : h)
        v /= sum;
    return h;
}

} // namespace

std::optional<ZeroPhaseBandPass> ZeroPhaseBandPass::design(double rate, const Band& band, QString* reason)
{
    const double nyquist = rate / 2.;
    const double lowStop = band.low - band.lowTransition;
    const double highStop = band.high + band.highTransition;
    if (!(rate > 0) || !(band.lowTransition > 0) || !(band.highTransition > 0) || !(lowStop >= 0)
        || !(band.low < band.high) || !(highStop <= nyquist)) {
        if (reason) {
            *reason = QCoreApplication::translate("Generic",
                "A band-pass from %1 to %2 Hz with %3 and %4 Hz transition bands needs a sampling rate of at least %5 "
                "samples/s; the data have %6.")
                          .arg(band.low)
                          .arg(band.high)
                          .arg(band.lowTransition)
                          .arg(band.highTransition)
                          .arg(2 * highStop)
                          .arg(rate);
        }
        return std::nullopt;
    }

    // filter_length 'auto': "<3.3 / min(transitions)>s" turned into samples, then made odd.
    const double seconds = HammingLengthFactor / std::min(band.lowTransition, band.highTransition);
    int n = std::max(int(std::ceil(seconds * 1.0 * rate)), 1);
    n += (n - 1) % 2;

    // The gain points in fractions of the Nyquist frequency, as create_filter lists them for a band-pass.
    std::vector<double> freq = { lowStop, band.low, band.high, highStop };
    std::vector<int> gain = { 0, 1, 1, 0 };
    if (highStop != nyquist) {
        freq.push_back(nyquist);
        gain.push_back(0);
    }
    if (lowStop != 0) {
        freq.insert(freq.begin(), 0.0);
        gain.insert(gain.begin(), 0);
    }
    for (double& f : freq)
        f /= nyquist;

    // _firwin_design: walking down from the Nyquist frequency, every change of gain adds (rising) or subtracts
    // (falling) a low-pass in the middle of its transition band.
    ZeroPhaseBandPass filter;
    filter.m_h.assign(size_t(n), 0.0);
    double previousFreq = freq.back();
    int previousGain = gain.back();
    if (previousGain == 1)
        filter.m_h[size_t(n / 2)] = 1;
    for (size_t i = freq.size() - 1; i-- > 0;) {
        if (gain[i] != previousGain) {
            const double transition = (previousFreq - freq[i]) / 2.;
            int taps = int(std::nearbyint(HammingLengthFactor / transition)); // Python's round: halves to even
            taps += 1 - taps % 2;
            if (taps > n)
                taps = n; // MNE refuses here; the automatic length always leaves room
            const std::vector<double> lowPass = firwinLowPass(taps, (previousFreq + freq[i]) / 2.);
            const size_t offset = size_t((n - taps) / 2);
            for (size_t k = 0; k < lowPass.size(); ++k)
                filter.m_h[offset + k] += gain[i] == 0 ? -lowPass[k] : lowPass[k];
        }
        previousGain = gain[i];
        previousFreq = freq[i];
    }
    return filter;
}

void ZeroPhaseBandPass::apply(const double* in, std::size_t count, double* out, Method method) const
{
    if (count == 0)
        return;
    const std::size_t taps = m_h.size();
    const std::size_t edge = std::min(taps, count) - 1;
    // _smart_pad 'reflect_limited': point reflection through the end samples.
    std::vector<double> extended(count + 2 * edge);
    for (std::size_t k = 0; k < edge; ++k) {
        extended[k] = 2 * in[0] - in[edge - k];
        extended[edge + count + k] = 2 * in[count - 1] - in[count - 2 - k];
    }
    std::copy(in, in + count, extended.begin() + std::ptrdiff_t(edge));

    // out[i] = Σ h[k]·ext[i + edge + (taps−1)/2 − k], with zeros beyond the extended series (short series only).
    const std::ptrdiff_t extent = std::ptrdiff_t(extended.size());
    const std::ptrdiff_t centre = std::ptrdiff_t((taps - 1) / 2 + edge);
    if (method == Method::Transform
        || (method == Method::Automatic && taps >= TransformFromTaps && count * taps >= TransformFromProducts)) {
        FftConvolution::convolve(extended.data(), extended.size(), m_h, std::size_t(centre), count, out);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::ptrdiff_t last = std::ptrdiff_t(i) + centre; // the sample under h[0]
        const std::ptrdiff_t kFirst = std::max<std::ptrdiff_t>(0, last - (extent - 1));
        const std::ptrdiff_t kEnd = std::min<std::ptrdiff_t>(std::ptrdiff_t(taps), last + 1);
        double sum = 0;
        for (std::ptrdiff_t k = kFirst; k < kEnd; ++k)
            sum += m_h[size_t(k)] * extended[size_t(last - k)];
        out[i] = sum;
    }
}

std::vector<double> ZeroPhaseBandPass::applyAroundGaps(const std::vector<double>& series) const
{
    std::vector<double> out(series.size(), std::numeric_limits<double>::quiet_NaN());
    std::size_t start = 0;
    while (start < series.size()) {
        if (series[start] != series[start]) {
            ++start;
            continue;
        }
        std::size_t end = start;
        while (end < series.size() && series[end] == series[end])
            ++end;
        apply(series.data() + start, end - start, out.data() + start);
        start = end;
    }
    return out;
}
