#include "ButterworthBandPass.h"

#include <QCoreApplication>

#include <cmath>
#include <complex>
#include <limits>

namespace {

using Complex = std::complex<double>;
constexpr double Pi = 3.141592653589793;
constexpr int Poles = 2 * ButterworthBandPass::Order;

// numpy's complex arithmetic, written out: the compiler's own operators may check for NaN and infinity or divide
// with another scaling, which moves the last bits and, through the ill-conditioned (b, a) form, the output.
Complex times(Complex x, Complex y)
{
    return { x.real() * y.real() - x.imag() * y.imag(), x.real() * y.imag() + x.imag() * y.real() };
}

// numpy's multiply.reduce over complex numbers, which on processors with fused multiply–add (x86-64 since 2013)
// rounds each product's parts once instead of twice; np.prod gives the filter's gain this way.
Complex timesFused(Complex x, Complex y)
{
    return { std::fma(x.real(), y.real(), -(x.imag() * y.imag())), std::fma(x.real(), y.imag(), x.imag() * y.real()) };
}

// Smith's division, as numpy's complex divide loop has it.
Complex divided(Complex x, Complex y)
{
    if (std::abs(y.real()) >= std::abs(y.imag())) {
        const double ratio = y.imag() / y.real();
        const double scale = 1.0 / (y.real() + y.imag() * ratio);
        return { (x.real() + x.imag() * ratio) * scale, (x.imag() - x.real() * ratio) * scale };
    }
    const double ratio = y.real() / y.imag();
    const double scale = 1.0 / (y.imag() + y.real() * ratio);
    return { (x.real() * ratio + x.imag()) * scale, (x.imag() * ratio - x.real()) * scale };
}

// numpy.poly: the coefficients of Π(z − root), highest power first, built by convolving with [1, −root] in the
// order of the roots given.
template<std::size_t N> std::array<Complex, N + 1> polynomial(const std::array<Complex, N>& roots)
{
    std::array<Complex, N + 1> c {};
    c[0] = 1;
    for (std::size_t n = 0; n < N; ++n) {
        const Complex factor = -roots[n];
        for (std::size_t k = n + 1; k > 0; --k)
            c[k] = c[k] + times(c[k - 1], factor);
    }
    return c;
}

// numpy.linalg.solve, which is LAPACK's dgesv: LU factors by the recursive dgetrf2 (the reference LAPACK takes it
// for matrices under 64 columns), then the two triangular solves of dgetrs, with the reference BLAS's order of
// operations. The system of lfilter_zi is ill-conditioned where the band's low edge is a small fraction of the rate
// (condition 1e11 at 0.01 Hz and 10 samples/s, 1e15 at 50), so its rounding reaches the filtered series' first and
// last samples; following LAPACK's order keeps them equal to scipy's. Column-major, as Fortran stores it.
class Lu
{
public:
    static constexpr int N = ButterworthBandPass::CoefficientCount - 1;

    double& at(int row, int column) { return m_a[size_t(row + column * N)]; }

    std::array<double, N> solve(std::array<double, N> b)
    {
        factor(0, N, N);
        swapRows(b.data(), 1, 0, N);
        for (int k = 0; k < N; ++k) {
            if (b[size_t(k)] != 0) {
                for (int i = k + 1; i < N; ++i)
                    b[size_t(i)] -= b[size_t(k)] * at(i, k);
            }
        }
        for (int k = N; k-- > 0;) {
            if (b[size_t(k)] != 0) {
                b[size_t(k)] /= at(k, k);
                for (int i = 0; i < k; ++i)
                    b[size_t(i)] -= b[size_t(k)] * at(i, k);
            }
        }
        return b;
    }

private:
    // dlaswp over count columns starting at column first (stride N), or over one vector (stride 1): rows
    // swapped with their pivots from row from to row to − 1.
    void swapRows(double* columns, int count, int from, int to, int stride = N)
    {
        for (int i = from; i < to; ++i) {
            const int pivot = m_pivots[size_t(i)];
            if (pivot != i) {
                for (int c = 0; c < count; ++c)
                    std::swap(columns[i + c * stride], columns[pivot + c * stride]);
            }
        }
    }

    // dgetrf2 on the m × n block whose top left corner is the diagonal element at offset; pivots are rows of the
    // whole matrix.
    void factor(int offset, int m, int n)
    {
        const auto a = [this, offset](int row, int column) -> double& { return at(offset + row, offset + column); };
        if (m == 1) {
            m_pivots[size_t(offset)] = offset;
            return;
        }
        if (n == 1) {
            int pivot = 0;
            for (int i = 1; i < m; ++i) {
                if (std::abs(a(i, 0)) > std::abs(a(pivot, 0)))
                    pivot = i;
            }
            m_pivots[size_t(offset)] = offset + pivot;
            if (a(pivot, 0) == 0)
                return;
            std::swap(a(0, 0), a(pivot, 0));
            if (std::abs(a(0, 0)) >= std::numeric_limits<double>::min()) {
                const double reciprocal = 1.0 / a(0, 0);
                for (int i = 1; i < m; ++i)
                    a(i, 0) = reciprocal * a(i, 0);
            } else {
                for (int i = 1; i < m; ++i)
                    a(i, 0) = a(i, 0) / a(0, 0);
            }
            return;
        }
        const int n1 = std::min(m, n) / 2;
        const int n2 = n - n1;
        factor(offset, m, n1);
        swapRows(&at(0, offset + n1), n2, offset, offset + n1);
        // A12 = L11⁻¹ · A12 (dtrsm, unit lower triangle), then A22 −= A21 · A12 (dgemm), column by column.
        for (int j = n1; j < n; ++j) {
            for (int k = 0; k < n1; ++k) {
                if (a(k, j) != 0) {
                    for (int i = k + 1; i < n1; ++i)
                        a(i, j) -= a(k, j) * a(i, k);
                }
            }
        }
        for (int j = n1; j < n; ++j) {
            for (int l = 0; l < n1; ++l) {
                const double t = -a(l, j);
                for (int i = n1; i < m; ++i)
                    a(i, j) += t * a(i, l);
            }
        }
        factor(offset + n1, m - n1, n2);
        swapRows(&at(0, offset), n1, offset + n1, offset + std::min(m, n));
    }

    std::array<double, size_t(N* N)> m_a {};
    std::array<int, size_t(N)> m_pivots {};
};

// lfilter's direct form II transposed, one sample: y = z₀ + b₀x, zₖ = zₖ₊₁ + bₖ₊₁x − aₖ₊₁y.
inline double step(const ButterworthBandPass::Coefficients& b, const ButterworthBandPass::Coefficients& a,
    std::array<double, ButterworthBandPass::CoefficientCount - 1>& z, double x)
{
    const double y = z[0] + b[0] * x;
    for (std::size_t k = 0; k + 1 < z.size(); ++k)
        z[k] = z[k + 1] + x * b[k + 1] - y * a[k + 1];
    z.back() = x * b.back() - y * a.back();
    return y;
}

} // namespace

std::optional<ButterworthBandPass> ButterworthBandPass::design(double rate, double low, double high, QString* reason)
{
    // iirfilter: the edges as fractions of the Nyquist frequency, strictly between 0 and 1, low below high.
    const double edges[2] = { 2 * low / rate, 2 * high / rate };
    if (!(rate > 0) || !std::isfinite(rate) || !(edges[0] > 0) || !(edges[1] < 1) || !(low < high)) {
        if (reason) {
            *reason = QCoreApplication::translate("Generic",
                "The band-pass from %1 to %2 Hz cannot be made at %3 samples/s: its edges must lie above 0 Hz and "
                "below %4 Hz (half the sampling rate), the low edge below the high one.")
                          .arg(low)
                          .arg(high)
                          .arg(rate)
                          .arg(rate / 2);
        }
        return std::nullopt;
    }

    // Prewarping for the bilinear transform at scipy's normalised fs = 2, then lp2bp_zpk.
    double warped[2];
    for (int i = 0; i < 2; ++i)
        warped[i] = 2 * 2.0 * std::tan(Pi * edges[i] / 2.0);
    const double width = warped[1] - warped[0];
    const double centre = std::sqrt(warped[0] * warped[1]);

    // buttap(3): −exp(iπm/6), m = −2, 0, 2; numpy divides the complex exponent by 6 through its reciprocal.
    std::array<Complex, Poles> analog {};
    for (int j = 0; j < Order; ++j) {
        const Complex exponent = divided(times(Complex(0, Pi), Complex(2 * j - Order + 1, 0)), Complex(2 * Order, 0));
        const Complex pole = -std::exp(exponent);
        const Complex lowPass = divided(times(pole, Complex(width, 0)), Complex(2, 0));
        const Complex squared = times(lowPass, lowPass);
        const Complex root = std::sqrt(Complex(squared.real() - centre * centre, squared.imag()));
        analog[size_t(j)] = lowPass + root;
        analog[size_t(j + Order)] = lowPass - root;
    }

    // bilinear_zpk at fs = 2: z = (4 + s) / (4 − s); the gain makes up for the change.
    std::array<Complex, Poles> digital {};
    Complex product;
    for (int j = 0; j < Poles; ++j) {
        const Complex s = analog[size_t(j)];
        // numpy adds 4 as the complex 4 + 0i: the zeros' signs follow from that, as they do in scipy.
        const Complex factor(4.0 - s.real(), 0.0 - s.imag());
        digital[size_t(j)] = divided(Complex(4.0 + s.real(), 0.0 + s.imag()), factor);
        product = j == 0 ? factor : timesFused(product, factor);
    }
    const double gain = std::pow(width, double(Order)) * divided(Complex(64.0, 0), product).real();

    ButterworthBandPass filter;
    filter.m_rate = rate;
    filter.m_low = low;
    filter.m_high = high;
    // The zeros: three at z = 1 and three at z = −1, (z² − 1)³.
    const double zeros[CoefficientCount] = { 1, 0, -3, 0, 3, 0, -1 };
    const std::array<Complex, CoefficientCount> a = polynomial(digital);
    for (int k = 0; k < CoefficientCount; ++k) {
        filter.m_b[size_t(k)] = gain * zeros[k];
        filter.m_a[size_t(k)] = a[size_t(k)].real();
    }

    // lfilter_zi: (I − companion(a)ᵀ) · zi = b[1:] − a[1:] · b[0].
    Lu system;
    std::array<double, Lu::N> right {};
    for (int i = 0; i < Lu::N; ++i) {
        system.at(i, 0) = (i == 0 ? 1.0 : 0.0) + filter.m_a[size_t(i + 1)];
        if (i > 0)
            system.at(i, i) = 1;
        if (i + 1 < Lu::N)
            system.at(i, i + 1) = -1;
        right[size_t(i)] = filter.m_b[size_t(i + 1)] - filter.m_a[size_t(i + 1)] * filter.m_b[0];
    }
    filter.m_zi = system.solve(right);
    return filter;
}

bool ButterworthBandPass::apply(const double* in, std::size_t count, double* out) const
{
    if (count < MinimumLength) {
        std::fill(out, out + count, std::numeric_limits<double>::quiet_NaN());
        return false;
    }
    // odd_ext: 2·x[0] − x[PadLength … 1] before, 2·x[n−1] − x[n−2 … n−1−PadLength] after.
    std::vector<double> extended(count + 2 * PadLength);
    for (std::size_t k = 0; k < PadLength; ++k) {
        extended[k] = 2 * in[0] - in[PadLength - k];
        extended[PadLength + count + k] = 2 * in[count - 1] - in[count - 2 - k];
    }
    std::copy(in, in + count, extended.begin() + std::ptrdiff_t(PadLength));

    std::array<double, CoefficientCount - 1> state {};
    const double first = extended.front();
    for (std::size_t k = 0; k < state.size(); ++k)
        state[k] = m_zi[k] * first;
    for (double& v : extended)
        v = step(m_b, m_a, state, v);
    const double last = extended.back();
    for (std::size_t k = 0; k < state.size(); ++k)
        state[k] = m_zi[k] * last;
    for (std::size_t i = extended.size(); i-- > 0;)
        extended[i] = step(m_b, m_a, state, extended[i]);
    std::copy(extended.begin() + std::ptrdiff_t(PadLength), extended.end() - std::ptrdiff_t(PadLength), out);
    return true;
}

std::vector<double> ButterworthBandPass::applyAroundGaps(const std::vector<double>& series, std::size_t* lost) const
{
    std::vector<double> out(series.size(), std::numeric_limits<double>::quiet_NaN());
    std::size_t unfiltered = 0;
    std::size_t start = 0;
    while (start < series.size()) {
        if (series[start] != series[start]) {
            ++start;
            continue;
        }
        std::size_t end = start;
        while (end < series.size() && series[end] == series[end])
            ++end;
        if (!apply(series.data() + start, end - start, out.data() + start))
            unfiltered += end - start;
        start = end;
    }
    if (lost)
        *lost = unfiltered;
    return out;
}
