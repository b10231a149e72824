#pragma once

#include "HttpRequestParser.h"

#include <QObject>

class QTcpSocket;
class QTimer;

// One connection to the mark endpoint: it reads a single request head, within a time limit and never more than the
// parser keeps, takes one answer and closes. Answering and closing at once keeps every connection short, so that a
// few of them suffice for any number of clients.
class HttpConnection : public QObject
{
    Q_OBJECT
public:
    // After a refused head, how long and how much of what the client still sends is dropped unread.
    static constexpr int DrainMs = 1000;
    static constexpr qint64 MaxDrain = qint64(4) << 20;

    // Takes over an accepted socket descriptor; the head must be complete within timeLimitMs of now.
    HttpConnection(qintptr descriptor, int timeLimitMs, QObject* parent = nullptr);

    // Reads what has arrived already; headReady() may come from within.
    void start();
    // False once the socket could not be taken over, or the connection was closed.
    bool isOpen() const { return m_open; }
    // Whether a head (complete or failed) has been read.
    bool hasHead() const { return m_parser.state() != HttpRequestParser::State::Incomplete; }
    const HttpRequestParser& request() const { return m_parser; }
    // When the first byte of the request was read, on the sample clock (ms since the epoch).
    qint64 arrivedAt() const { return m_arrivedAt; }

    // Sends the answer, then closes once it is written (or the time limit passes).
    void answer(const QByteArray& response);
    // Closes at once, whatever was sent or read.
    void abort();

signals:
    void headReady(HttpConnection* connection);
    // The connection is closed; the object deletes itself later.
    void closed(HttpConnection* connection);

private:
    void read();
    void finish();

    QTcpSocket* m_socket;
    QTimer* m_limit;
    HttpRequestParser m_parser;
    qint64 m_arrivedAt = 0;
    bool m_open = false;
    bool m_answered = false;
    bool m_finished = false;
    bool m_draining = false;
    qint64 m_drained = 0;
};
