#include "MarkAccess.h"

#include "HttpRequestParser.h"

namespace {

QByteArray normalisedOrigin(QByteArray origin)
{
    origin = origin.trimmed().toLower();
    while (origin.endsWith('/'))
        origin.chop(1);
    return origin;
}

// Compares without leaving in the time taken how much of the token was right.
bool sameSecret(const QByteArray& given, const QByteArray& token)
{
    if (token.isEmpty() || given.size() != token.size())
        return false;
    unsigned char difference = 0;
    for (qsizetype i = 0; i < token.size(); ++i)
        difference |= uchar(given.at(i) ^ token.at(i));
    return difference == 0;
}

} // namespace

void MarkAccess::setAllowedOrigins(const QStringList& origins)
{
    m_origins.clear();
    for (const QString& origin : origins) {
        const QByteArray normalised = normalisedOrigin(origin.toUtf8());
        if (!normalised.isEmpty())
            m_origins.append(normalised);
    }
}

bool MarkAccess::hostAllowed(const HttpRequestParser& request) const
{
    const QByteArray host = request.header("Host").toLower();
    if (host.isEmpty() || m_port == 0)
        return false;
    const QByteArray port = QByteArray::number(m_port);
    for (const char* name : { "127.0.0.1", "localhost", "[::1]" }) {
        // Without a port the client means the default one, which only port 80 is.
        if (host == name + (':' + port) || (m_port == 80 && host == name))
            return true;
    }
    return false;
}

MarkAccess::Caller MarkAccess::caller(const HttpRequestParser& request) const
{
    const QByteArray origin = request.header("Origin");
    if (!origin.isNull())
        return m_origins.contains(normalisedOrigin(origin)) ? Caller::AllowedPage : Caller::ForeignPage;
    const QByteArray site = request.header("Sec-Fetch-Site").toLower();
    if (site.isNull() || site == "none" || site == "same-origin")
        return Caller::Program;
    return Caller::ForeignPage;
}

bool MarkAccess::tokenGiven(const HttpRequestParser& request, const QByteArray& parameter) const
{
    const QByteArray header = request.header("X-Halvex-Token");
    return sameSecret(header.isNull() ? parameter : header, m_token);
}
