// The mark endpoint's request parser, fed the connection's bytes in pieces as they arrive, then what the endpoint
// decides from a complete head: who asks (Host, Origin, token) and the event text of its query, through to the line
// the record would get.
#include "FuzzSupport.h"
#include "HttpRequestParser.h"
#include "MarkAccess.h"
#include "MarkServer.h"
#include "RecordEvents.h"

#include <QUrlQuery>

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
        MarkAccess access;
        access.setPort(8765);
        access.setAllowedOrigins({ QStringLiteral("http://localhost:8000") });
        access.setToken("0123456789abcdef");
        access.setTokenRequired(true);
        access.hostAllowed(parser);
        access.caller(parser);
        const QString encodedQuery = QString::fromUtf8(parser.query());
        const QUrlQuery query(encodedQuery);
        access.tokenGiven(parser, query.queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded).toUtf8());
        const QString text = RecordEvents::cleanText(MarkServer::textParameter(encodedQuery));
        // Whatever text the request held, the record gets exactly one line.
        const QByteArray line = RecordEvents::formatLine(1000, RecordEvents::SourceHttp, text);
        fuzz::check(line.endsWith("\r\n") && line.count('\n') == 1);
    } else if (state == HttpRequestParser::State::Failed) {
        fuzz::check(parser.failure() != HttpRequestParser::NoFailure);
    }
    return 0;
}
