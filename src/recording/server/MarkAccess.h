#pragma once

#include <QByteArray>
#include <QStringList>

class HttpRequestParser;

// Who may use the mark endpoint, decided from a request's head alone:
// - the Host header must name the loopback address and port the endpoint listens on ("127.0.0.1:P",
//   "localhost:P", "[::1]:P"), so that a name an attacker points at 127.0.0.1 (DNS rebinding) gets nothing;
// - a request from a web page (an Origin header, or Sec-Fetch-Site other than "none" or "same-origin") must come
//   from an allowed origin: any page may make a browser send a plain GET, and programs send neither header;
// - when the token is required, it must come in the header X-Halvex-Token or the query parameter "token".
class MarkAccess
{
public:
    enum class Caller { Program, AllowedPage, ForeignPage };

    void setPort(quint16 port) { m_port = port; }
    // Origins as a browser sends them ("http://localhost:8000"); case and a final "/" do not matter.
    void setAllowedOrigins(const QStringList& origins);
    void setToken(const QByteArray& token) { m_token = token; }
    void setTokenRequired(bool required) { m_tokenRequired = required; }
    bool tokenRequired() const { return m_tokenRequired; }

    bool hostAllowed(const HttpRequestParser& request) const;
    Caller caller(const HttpRequestParser& request) const;
    // Whether the token is given where it must be: the header if sent, else the decoded parameter.
    bool tokenGiven(const HttpRequestParser& request, const QByteArray& parameter) const;

private:
    quint16 m_port = 0;
    QList<QByteArray> m_origins;
    QByteArray m_token;
    bool m_tokenRequired = false;
};
