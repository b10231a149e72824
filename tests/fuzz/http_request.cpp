// The mark endpoint's request parser, fed the connection's bytes in pieces as they arrive.
#include "FuzzSupport.h"
#include "HttpRequestParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses the size of the pieces; the rest is the stream.
    if (size == 0)
        return 0;
    const size_t piece = 1 + data[0] % 64;
    const QByteArrayView stream(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    HttpRequestParser parser;
    HttpRequestParser::State state = HttpRequestParser::State::Incomplete;
    for (qsizetype at = 0; at < stream.size() && state == HttpRequestParser::State::Incomplete; at += qsizetype(piece))
        state = parser.feed(stream.sliced(at, std::min(qsizetype(piece), stream.size() - at)));
    if (state == HttpRequestParser::State::Complete) {
        fuzz::check(parser.target().startsWith(parser.path()));
        parser.query();
        parser.header("Host");
        parser.header("Authorization");
    } else if (state == HttpRequestParser::State::Failed) {
        fuzz::check(parser.failure() != HttpRequestParser::NoFailure);
    }
    return 0;
}
