#include "HttpRequestParser.h"

namespace {

bool isTokenChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (char c : text) {
        if (!isTokenChar(c))
            return false;
    }
    return true;
}

// Visible characters and, as senders of raw UTF-8 exist, bytes above ASCII; no space, no control, no fragment.
bool isTarget(QByteArrayView text)
{
    if (text == "*")
        return true;
    if (!text.startsWith('/'))
        return false;
    for (char c : text) {
        const auto u = uchar(c);
        if (u <= 0x20 || u == 0x7f || c == '#')
            return false;
    }
    return true;
}

bool isFieldValue(QByteArrayView text)
{
    for (char c : text) {
        const auto u = uchar(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f)
            return false;
    }
    return true;
}

QByteArrayView trimmedSpace(QByteArrayView text)
{
    while (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

qsizetype firstNonEmptyLine(const QByteArray& buffer)
{
    qsizetype begin = 0;
    while (begin < buffer.size() && (buffer.at(begin) == '\r' || buffer.at(begin) == '\n'))
        ++begin;
    return begin;
}

} // namespace

HttpRequestParser::State HttpRequestParser::feed(QByteArrayView bytes)
{
    if (m_state != State::Incomplete)
        return m_state;
    // Never more than the largest head is kept: the rest of an oversized head stays unread.
    const qsizetype searchFrom = qMax<qsizetype>(0, m_buffer.size() - 3);
    m_buffer.append(bytes.first(qMin(bytes.size(), MaxHeadSize - m_buffer.size())));
    const qsizetype begin = firstNonEmptyLine(m_buffer);
    if (begin < m_buffer.size()) {
        // The head ends at its first empty line: a line end right after a line end.
        for (qsizetype i = qMax(begin, searchFrom); i < m_buffer.size(); ++i) {
            if (m_buffer.at(i) != '\n')
                continue;
            qsizetype next = i + 1;
            if (next < m_buffer.size() && m_buffer.at(next) == '\r')
                ++next;
            if (next < m_buffer.size() && m_buffer.at(next) == '\n')
                return parseHead(QByteArrayView(m_buffer).sliced(begin, i + 1 - begin));
        }
    }
    if (m_buffer.size() < MaxHeadSize)
        return m_state;
    // Full, and no end: the request line alone is too long when no line has ended yet.
    return fail(m_buffer.indexOf('\n', begin) < 0 ? TargetTooLong : HeadTooLarge);
}

HttpRequestParser::State HttpRequestParser::fail(Failure failure)
{
    m_failure = failure;
    m_state = State::Failed;
    m_buffer.clear();
    return m_state;
}

HttpRequestParser::State HttpRequestParser::parseHead(QByteArrayView head)
{
    bool first = true;
    while (!head.isEmpty()) {
        const qsizetype end = head.indexOf('\n');
        QByteArrayView line = head.first(end);
        head = head.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.contains('\r'))
            return fail(BadRequest);
        if (first) {
            if (!parseRequestLine(line))
                return m_state == State::Failed ? m_state : fail(BadRequest);
            first = false;
        } else if (!parseHeaderLine(line)) {
            return fail(BadRequest);
        }
    }
    m_buffer.clear();
    return checkHeaders();
}

bool HttpRequestParser::parseRequestLine(QByteArrayView line)
{
    const qsizetype space1 = line.indexOf(' ');
    const qsizetype space2 = space1 < 0 ? -1 : line.indexOf(' ', space1 + 1);
    if (space2 < 0 || line.indexOf(' ', space2 + 1) >= 0)
        return false;
    const QByteArrayView method = line.first(space1);
    const QByteArrayView target = line.sliced(space1 + 1, space2 - space1 - 1);
    const QByteArrayView version = line.sliced(space2 + 1);
    if (!isToken(method) || !isTarget(target))
        return false;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (version.size() != 8 || !version.startsWith("HTTP/") || !isDigit(version.at(5)) || version.at(6) != '.'
        || !isDigit(version.at(7)))
        return false;
    if (version.at(5) != '1' || version.at(7) > '1') {
        fail(VersionNotSupported);
        return false;
    }
    m_method = method.toByteArray();
    m_target = target.toByteArray();
    m_minorVersion = version.at(7) - '0';
    return true;
}

bool HttpRequestParser::parseHeaderLine(QByteArrayView line)
{
    // A folded line (leading white space) or white space before the colon is refused, never guessed.
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0 || !isToken(line.first(colon)))
        return false;
    const QByteArrayView value = trimmedSpace(line.sliced(colon + 1));
    if (!isFieldValue(value))
        return false;
    m_headers.append({ line.first(colon).toByteArray().toLower(), value.toByteArray() });
    return true;
}

HttpRequestParser::State HttpRequestParser::checkHeaders()
{
    QByteArray length;
    int hosts = 0;
    for (const auto& [name, value] : std::as_const(m_headers)) {
        if (name == "host") {
            ++hosts;
        } else if (name == "transfer-encoding") {
            return fail(BodyNotAccepted);
        } else if (name == "content-length") {
            if (!isToken(value)
                || !std::all_of(value.cbegin(), value.cend(), [](char c) { return c >= '0' && c <= '9'; }))
                return fail(BadRequest);
            if (!length.isNull() && length != value)
                return fail(BadRequest);
            length = value;
        }
    }
    if (hosts > 1)
        return fail(BadRequest);
    if (!length.isNull() && !std::all_of(length.cbegin(), length.cend(), [](char c) { return c == '0'; }))
        return fail(BodyNotAccepted);
    m_state = State::Complete;
    return m_state;
}

QByteArray HttpRequestParser::path() const
{
    const qsizetype question = m_target.indexOf('?');
    return question < 0 ? m_target : m_target.left(question);
}

QByteArray HttpRequestParser::query() const
{
    const qsizetype question = m_target.indexOf('?');
    return question < 0 ? QByteArray() : m_target.mid(question + 1);
}

QByteArray HttpRequestParser::header(QByteArrayView name) const
{
    for (const auto& [key, value] : m_headers) {
        if (QByteArrayView(key).compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool HttpRequestParser::hasHeader(QByteArrayView name) const
{
    return std::any_of(m_headers.cbegin(), m_headers.cend(),
        [name](const auto& pair) { return QByteArrayView(pair.first).compare(name, Qt::CaseInsensitive) == 0; });
}
