#include "FftConvolution.h"

#include <algorithm>
#include <cmath>

namespace {

// Plain pairs: std::complex's multiplication checks for infinities and NaN on every product unless the whole build
// gives up IEEE rules.
struct Complex
{
    double re = 0;
    double im = 0;
};

// An iterative radix-2 transform of a fixed power-of-two size. Each stage has its twiddles side by side, so that
// its butterflies read them in order; each twiddle is computed directly, not by recurrence, so that its error does
// not grow along the table. The first stage needs no products.
class Transform
{
public:
    explicit Transform(std::size_t size)
        : m_size(size)
        , m_reversed(size)
    {
        for (std::size_t half = 2; half < size; half *= 2) {
            const double step = -3.141592653589793238 / double(half);
            for (std::size_t k = 0; k < half; ++k)
                m_twiddles.push_back({ std::cos(step * double(k)), std::sin(step * double(k)) });
        }
        std::size_t bits = 0;
        while ((std::size_t(1) << bits) < size)
            ++bits;
        for (std::size_t i = 0; i < size; ++i) {
            std::size_t r = 0;
            for (std::size_t b = 0; b < bits; ++b)
                r |= ((i >> b) & 1) << (bits - 1 - b);
            m_reversed[i] = r;
        }
    }

    // In place; the inverse without the division by the size.
    void run(std::vector<Complex>& data, bool inverse) const
    {
        Complex* const x = data.data();
        for (std::size_t i = 0; i < m_size; ++i) {
            if (i < m_reversed[i])
                std::swap(x[i], x[m_reversed[i]]);
        }
        for (std::size_t i = 0; i + 1 < m_size; i += 2) {
            const Complex a = x[i];
            const Complex b = x[i + 1];
            x[i] = { a.re + b.re, a.im + b.im };
            x[i + 1] = { a.re - b.re, a.im - b.im };
        }
        const double sign = inverse ? -1 : 1;
        const Complex* twiddles = m_twiddles.data();
        for (std::size_t half = 2; half < m_size; half *= 2) {
            for (std::size_t start = 0; start < m_size; start += 2 * half) {
                Complex* const a = x + start;
                Complex* const b = a + half;
                for (std::size_t k = 0; k < half; ++k) {
                    const double wre = twiddles[k].re;
                    const double wim = sign * twiddles[k].im;
                    const double tre = b[k].re * wre - b[k].im * wim;
                    const double tim = b[k].re * wim + b[k].im * wre;
                    b[k] = { a[k].re - tre, a[k].im - tim };
                    a[k] = { a[k].re + tre, a[k].im + tim };
                }
            }
            twiddles += half;
        }
    }

private:
    std::size_t m_size;
    std::vector<Complex> m_twiddles;
    std::vector<std::size_t> m_reversed;
};

std::size_t powerOfTwoFrom(std::size_t n)
{
    std::size_t p = 1;
    while (p < n)
        p *= 2;
    return p;
}

} // namespace

void FftConvolution::convolve(
    const double* x, std::size_t n, const std::vector<double>& h, std::size_t first, std::size_t count, double* out)
{
    std::fill(out, out + count, 0.0);
    const std::size_t taps = h.size();
    if (n == 0 || taps == 0 || count == 0)
        return;
    // Blocks of about three filter lengths of new samples: fewer operations per sample than shorter ones, and
    // longer ones gain next to nothing.
    const std::size_t size = std::min(powerOfTwoFrom(4 * taps), powerOfTwoFrom(n + taps - 1));
    const std::size_t block = size - taps + 1;
    const Transform transform(size);

    std::vector<Complex> response(size);
    for (std::size_t k = 0; k < taps; ++k)
        response[k].re = h[k];
    transform.run(response, false);
    const double scale = 1.0 / double(size);

    // Two blocks a transform: h is real, so the real and imaginary parts of the product carry the two blocks'
    // convolutions apart. Each block adds into the outputs it reaches; the rest of y is never needed.
    std::vector<Complex> data(size);
    const std::size_t end = first + count;
    for (std::size_t start = 0; start < n; start += 2 * block) {
        // Outputs y[start .. start + 2·block + taps − 1) come from this pair of blocks.
        if (start >= end || start + 2 * block + taps - 1 <= first)
            continue;
        const std::size_t lengthA = std::min(block, n - start);
        const std::size_t lengthB = start + block < n ? std::min(block, n - start - block) : 0;
        for (std::size_t j = 0; j < size; ++j)
            data[j] = { j < lengthA ? x[start + j] : 0.0, j < lengthB ? x[start + block + j] : 0.0 };
        transform.run(data, false);
        for (std::size_t k = 0; k < size; ++k) {
            const Complex a = data[k];
            const Complex b = response[k];
            data[k] = { (a.re * b.re - a.im * b.im) * scale, (a.re * b.im + a.im * b.re) * scale };
        }
        transform.run(data, true);
        const auto add = [&](std::size_t offset, std::size_t length, double Complex::*part) {
            const std::size_t from = std::max(first, offset);
            const std::size_t to = std::min(end, offset + length + taps - 1);
            for (std::size_t i = from; i < to; ++i)
                out[i - first] += data[i - offset].*part;
        };
        add(start, lengthA, &Complex::re);
        if (lengthB > 0)
            add(start + block, lengthB, &Complex::im);
    }
}
