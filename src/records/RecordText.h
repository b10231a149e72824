#pragma once

#include <QByteArray>
#include <QIODevice>

#include <functional>
#include <optional>

// The text of the record files as bytes: lines ending in LF (or CR LF), fields between separators, numbers as the
// record writer prints them. Walked without decoding, so that a damaged line costs nothing to skip and an hour-long
// record is read a chunk at a time.
class RecordText
{
public:
    static constexpr qint64 ChunkSize = 1 << 20;
    // The header of 1024 channels takes some 20 KB; a first line longer than this is no header, and a file without
    // line feeds would otherwise be read whole.
    static constexpr qint64 MaxHeaderSize = 4 * ChunkSize;

    static const char* findByte(const char* begin, const char* end, char byte);
    // Moves begin and end past the white space on either side.
    static void trim(const char*& begin, const char*& end);
    // A whole unsigned decimal number up to max, white space around it allowed; nothing for anything else (a sign,
    // a fraction, an overflow, an empty field).
    static std::optional<quint64> parseUnsigned(const char* begin, const char* end, quint64 max);
    // The whole field as one number in the fixed or scientific format, "nan" and "inf" included; a "+" before it
    // is allowed.
    static bool parseNumber(const char* begin, const char* end, double& value);

    // value as printf's "%.9g" writes it, into at least MaxSignificantSize bytes at out; returns the end. Several
    // times faster than printf or std::to_chars with a precision, which matters for the millions of numbers of an
    // analysis.
    static constexpr int MaxSignificantSize = 32;
    static char* formatSignificant(double value, char* out);

    // Calls line(begin, end) for every line in [begin, end), without its LF. The text after the last LF is a line
    // only when final (the end of the file); otherwise it is left to be completed, and where it starts is returned.
    template<typename Line> static const char* forEachLine(const char* begin, const char* end, bool final, Line&& line)
    {
        while (begin < end) {
            const char* const lineEnd = findByte(begin, end, '\n');
            if (lineEnd == end && !final)
                return begin;
            line(begin, lineEnd);
            begin = lineEnd == end ? end : lineEnd + 1;
        }
        return end;
    }

    // The same for the device from where it stands to its end, ChunkSize bytes at a time; read gets the bytes read
    // so far after every chunk. The device's error tells of a failed read.
    template<typename Line>
    static void readLines(QIODevice& device, Line&& line, const std::function<void(qint64)>& read = {})
    {
        QByteArray buffer;
        qint64 done = 0;
        while (true) {
            const QByteArray chunk = device.read(ChunkSize);
            const bool final = chunk.isEmpty();
            buffer += chunk;
            done += chunk.size();
            const char* const rest = forEachLine(buffer.constData(), buffer.constData() + buffer.size(), final, line);
            if (read)
                read(done);
            if (final)
                return;
            buffer.remove(0, rest - buffer.constData());
        }
    }
};
