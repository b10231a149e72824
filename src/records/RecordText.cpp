#include "RecordText.h"

#include <charconv>
#include <cstring>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
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
