#include "RecordText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

constexpr int SignificantDigits = 9;
// The powers of ten that doubles hold exactly.
constexpr double ExactPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
constexpr int LargestExactPower = 22;
// The powers of ten for which a scale by an exact power exists, from 10^(8 − 22) to 10^(8 + 22 + 1).
constexpr int SmallestPower = -14;
constexpr int LargestPower = 31;
constexpr double Powers[] = { 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4, 1e-3, 1e-2, 1e-1,
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20,
    1e21, 1e22, 1e23, 1e24, 1e25, 1e26, 1e27, 1e28, 1e29, 1e30, 1e31 };
static_assert(sizeof Powers / sizeof Powers[0] == LargestPower - SmallestPower + 1);

} // namespace

const char* RecordText::findByte(const char* begin, const char* end, char byte)
{
    const void* found = std::memchr(begin, byte, size_t(end - begin));
    return found ? static_cast<const char*>(found) : end;
}

void RecordText::trim(const char*& begin, const char*& end)
{
    while (begin < end && isSpace(*begin))
        ++begin;
    while (end > begin && isSpace(end[-1]))
        --end;
}

std::optional<quint64> RecordText::parseUnsigned(const char* begin, const char* end, quint64 max)
{
    trim(begin, end);
    if (begin < end && *begin == '+')
        ++begin;
    if (begin == end)
        return std::nullopt;
    quint64 value = 0;
    for (; begin < end; ++begin) {
        const unsigned digit = unsigned(*begin) - unsigned('0');
        if (digit > 9 || value > (max - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

bool RecordText::parseNumber(const char* begin, const char* end, double& value)
{
    // std::from_chars takes no "+"; skipping one must not let "+-1" through.
    if (end - begin > 1 && *begin == '+' && begin[1] != '-' && begin[1] != '+')
        ++begin;
    // Whole numbers, which the record writer writes, without the general parser: exact, as doubles hold every
    // whole number of up to 15 digits.
    const char* digit = begin < end && *begin == '-' ? begin + 1 : begin;
    if (digit < end && end - digit <= 15) {
        quint64 whole = 0;
        const char* at = digit;
        for (; at < end && unsigned(*at) - unsigned('0') <= 9; ++at)
            whole = whole * 10 + (unsigned(*at) - unsigned('0'));
        if (at == end) {
            value = digit != begin ? -double(whole) : double(whole);
            return true;
        }
    }
    const auto [last, error] = std::from_chars(begin, end, value);
    return error == std::errc() && last == end;
}

char* RecordText::formatSignificant(double value, char* out)
{
    const auto library = [value, out] {
        return std::to_chars(out, out + MaxSignificantSize, value, std::chars_format::general, SignificantDigits).ptr;
    };
    const double magnitude = std::abs(value);
    if (!(magnitude > 0) || !std::isfinite(magnitude))
        return library();
    // The digits as a whole number from 10⁸ to 10⁹ − 1: one product (or quotient) with an exact power of ten,
    // rounded once. Rounding is monotonic and every N + ½ is a double here, so the product lies on the same side of
    // each half as the exact one; only a product that lands on a half may have come from either side, and the
    // library decides that one.
    // floor(log10(magnitude)) or one less, from the binary exponent: log10(2) ≈ 78913 / 2¹⁸; then one more where
    // the magnitude reaches the next power of ten, by a comparison rather than a branch, which would go the wrong
    // way for a third of the values. A power of ten that a double holds only nearly may leave a value right at it
    // one too low; the check below corrects that.
    quint64 bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binary = int(bits >> 52) - 1022; // as frexp gives it
    int exponent = ((binary - 1) * 78913) >> 18;
    if (exponent + 1 >= SmallestPower && exponent + 1 <= LargestPower)
        exponent += magnitude >= Powers[exponent + 1 - SmallestPower] ? 1 : 0;
    double scaled = 0;
    const auto scale = [magnitude, &scaled](int exponent) {
        const int shift = SignificantDigits - 1 - exponent;
        if (shift > LargestExactPower || -shift > LargestExactPower)
            return false;
        scaled = shift >= 0 ? magnitude * ExactPowers[shift] : magnitude / ExactPowers[-shift];
        return true;
    };
    if (!scale(exponent))
        return library();
    // The estimate may be one too low.
    if (scaled >= ExactPowers[SignificantDigits] || scaled < ExactPowers[SignificantDigits - 1]) {
        exponent += scaled >= ExactPowers[SignificantDigits] ? 1 : -1;
        if (!scale(exponent) || scaled >= ExactPowers[SignificantDigits] || scaled < ExactPowers[SignificantDigits - 1])
            return library();
    }
    // floor, as it is positive (std::floor is a library call without SSE4.1); through a signed integer, which the
    // processor converts in one instruction, as it holds every whole number below 10⁹.
    const double whole = double(qint64(scaled));
    const double fraction = scaled - whole;
    if (fraction == 0.5)
        return library();
    quint64 digits = quint64(qint64(whole)) + (fraction > 0.5 ? 1 : 0);
    if (digits == quint64(ExactPowers[SignificantDigits])) {
        digits /= 10;
        ++exponent;
    }
    // The nine digits as text, most significant first: eight in one word (in memory order), the ninth alone. They
    // are written as whole words and the point put in with shifts: a byte at a time, or a word read back after
    // bytes were written, costs several times as much.
    static constexpr char Pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    const auto pair = [](quint64 twoDigits) {
        quint16 text = 0;
        std::memcpy(&text, Pairs + 2 * twoDigits, 2);
        return quint64(text);
    };
    const quint64 leading = digits / 10;
    const char ninth = char('0' + digits % 10);
    const quint64 high = leading / 10000;
    const quint64 low = leading % 10000;
    const quint64 word = pair(high / 100) | pair(high % 100) << 16 | pair(low / 100) << 32 | pair(low % 100) << 48;
    // The digits that count: the zeros that end them go, as printf's %g drops them.
    int length = SignificantDigits;
    for (quint64 rest = digits; rest % 10 == 0; rest /= 10)
        --length;
    const auto put = [](char* at, quint64 bytes) { std::memcpy(at, &bytes, sizeof bytes); };

    // The sign without a branch: half the values of a series may be negative, in no order.
    char* p = out;
    *p = '-';
    p += value < 0 ? 1 : 0;
    if (exponent < -4 || exponent >= SignificantDigits) {
        put(p, (word & 0xff) | quint64('.') << 8 | (word >> 8) << 16);
        p[8] = char(word >> 56);
        p[9] = ninth;
        p += length > 1 ? length + 1 : 1;
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        const int e = std::abs(exponent);
        if (e < 10)
            *p++ = '0';
        return std::to_chars(p, out + MaxSignificantSize, e).ptr;
    }
    if (exponent < 0) {
        const int zeros = -exponent - 1;
        put(p, 0x3030303030302e30); // "0.000000"
        p += 2 + zeros;
        put(p, word);
        p[8] = ninth;
        return p + length;
    }
    const int integer = exponent + 1; // digits before the point
    put(p, word);
    p[8] = ninth;
    if (length <= integer)
        return p + integer;
    p[integer] = '.';
    put(p + integer + 1, integer < 8 ? word >> (8 * integer) : 0);
    p[9] = ninth;
    return p + length + 1;
}
