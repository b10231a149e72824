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

// Trailing zeros go, and the point with them when nothing follows it (printf's %g).
char* dropTrailingZeros(char* begin, char* end)
{
    while (end > begin && end[-1] == '0')
        --end;
    return end > begin && end[-1] == '.' ? end - 1 : end;
}

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
    // floor(log10(magnitude)) or one less, from the binary exponent: log10(2) ≈ 78913 / 2¹⁸.
    quint64 bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int binary = int(bits >> 52) - 1022; // as frexp gives it
    int exponent = ((binary - 1) * 78913) >> 18;
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
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (fraction == 0.5)
        return library();
    quint64 digits = quint64(whole) + (fraction > 0.5 ? 1 : 0);
    if (digits == quint64(ExactPowers[SignificantDigits])) {
        digits /= 10;
        ++exponent;
    }
    static constexpr char Pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    char text[SignificantDigits];
    for (int i = SignificantDigits - 2; i > 0; i -= 2) {
        std::memcpy(text + i, Pairs + 2 * (digits % 100), 2);
        digits /= 100;
    }
    text[0] = char('0' + digits);

    char* p = out;
    if (value < 0)
        *p++ = '-';
    if (exponent < -4 || exponent >= SignificantDigits) {
        *p++ = text[0];
        *p++ = '.';
        p = std::copy(text + 1, text + SignificantDigits, p);
        p = dropTrailingZeros(out, p);
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        const int e = std::abs(exponent);
        if (e < 10)
            *p++ = '0';
        return std::to_chars(p, out + MaxSignificantSize, e).ptr;
    }
    if (exponent >= 0) {
        p = std::copy(text, text + exponent + 1, p);
        *p++ = '.';
        p = std::copy(text + exponent + 1, text + SignificantDigits, p);
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = exponent + 1; i < 0; ++i)
            *p++ = '0';
        p = std::copy(text, text + SignificantDigits, p);
    }
    return dropTrailingZeros(out, p);
}
