#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

// Reads the head of one HTTP/1.0 or 1.1 request (request line and header lines) from bytes as they arrive, and
// nothing else: a request that announces a body is refused from its head, before any of the body is read. It keeps
// at most MaxHeadSize bytes whatever it is fed, and takes any bytes (it is a plain function of its input: no
// sockets, no clock), so that a fuzzer can drive it.
//
// Strict where leniency lets two readers of the same bytes disagree (whitespace before a colon, folded lines,
// two Host or Content-Length headers, a body by Transfer-Encoding); lenient only in accepting a bare LF as line end
// and empty lines before the request line.
class HttpRequestParser
{
public:
    static constexpr qsizetype MaxHeadSize = 8 * 1024;

    enum class State { Incomplete, Complete, Failed };
    // HTTP status of a failed head.
    enum Failure {
        NoFailure = 0,
        BadRequest = 400,
        BodyNotAccepted = 413,
        TargetTooLong = 414,
        HeadTooLarge = 431,
        VersionNotSupported = 505,
    };

    // Takes the next bytes of the connection; returns the state after them. Once the head is complete or failed,
    // further bytes are ignored (what follows a head is not read).
    State feed(QByteArrayView bytes);
    State state() const { return m_state; }
    Failure failure() const { return m_failure; }

    // Of a complete head: the method as sent ("GET"), the request target ("/mark?text=a"), its path and its query
    // (without "?"; null without one), and the minor version (0 or 1).
    const QByteArray& method() const { return m_method; }
    const QByteArray& target() const { return m_target; }
    QByteArray path() const;
    QByteArray query() const;
    int minorVersion() const { return m_minorVersion; }
    // The value of a header, its name matched in any case, white space around it removed; null when absent. A
    // repeated header gives its first value.
    QByteArray header(QByteArrayView name) const;
    bool hasHeader(QByteArrayView name) const;

private:
    State fail(Failure failure);
    State parseHead(QByteArrayView head);
    bool parseRequestLine(QByteArrayView line);
    bool parseHeaderLine(QByteArrayView line);
    State checkHeaders();

    QByteArray m_buffer;
    State m_state = State::Incomplete;
    Failure m_failure = NoFailure;
    QByteArray m_method;
    QByteArray m_target;
    int m_minorVersion = 1;
    QList<QPair<QByteArray, QByteArray>> m_headers; // names in lower case
};
