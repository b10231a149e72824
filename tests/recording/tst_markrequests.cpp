#include "DataRow.h"
#include "EventRateLimit.h"
#include "HttpRequestParser.h"

#include <QRegularExpression>
#include <QTest>

// What the mark endpoint takes from its clients: request heads, and marks within each source's budget.
class TestMarkRequests : public QObject
{
    Q_OBJECT
private slots:
    // Heads as clients (and attackers) send them; "status" is 0 for a complete head, else the refusal. Where two
    // readers of the same bytes could disagree (folded or padded names, two lengths, two hosts) the head is refused.
    void heads_data()
    {
        addColumns<QByteArray, int, QByteArray, QByteArray>({ "bytes", "status", "target", "host" });
        const auto refused = [](const char* tag, const QByteArray& bytes, int status) {
            addRow(tag, bytes, status, QByteArray(), QByteArray());
        };
        addRow("plain", QByteArray("GET /mark?text=a HTTP/1.1\r\nHost: 127.0.0.1:2337\r\n\r\n"), 0,
            QByteArray("/mark?text=a"), QByteArray("127.0.0.1:2337"));
        addRow("bare LF, empty lines first, padded value", QByteArray("\r\n\nGET /status HTTP/1.0\nhOsT: \t x \n\n"), 0,
            QByteArray("/status"), QByteArray("x"));
        addRow("zero length", QByteArray("GET / HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 0\r\n\r\n"), 0,
            QByteArray("/"), QByteArray());
        addRow("raw UTF-8 in the target", QByteArray("GET /mark?text=\xd0\xb0 HTTP/1.1\r\n\r\n"), 0,
            QByteArray("/mark?text=\xd0\xb0"), QByteArray());
        addRow("head of 8 KiB exactly",
            "GET / HTTP/1.1\r\nX: " + QByteArray(HttpRequestParser::MaxHeadSize - 23, 'a') + "\r\n\r\n", 0,
            QByteArray("/"), QByteArray());
        refused("body announced", "GET / HTTP/1.1\r\nContent-Length: 10485760\r\n\r\n", 413);
        refused("chunked body", "GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 413);
        refused("two lengths", "GET / HTTP/1.1\r\nContent-Length: 0\r\nContent-Length: 5\r\n\r\n", 400);
        refused("signed length", "GET / HTTP/1.1\r\nContent-Length: +0\r\n\r\n", 400);
        refused("two hosts", "GET / HTTP/1.1\r\nHost: a\r\nHost: 127.0.0.1:2337\r\n\r\n", 400);
        refused("space before the colon", "GET / HTTP/1.1\r\nHost : a\r\n\r\n", 400);
        refused("folded line", "GET / HTTP/1.1\r\nX: a\r\n b\r\n\r\n", 400);
        refused("bare CR", "GET / HTTP/1.1\r\nX: a\rb\r\n\r\n", 400);
        refused("NUL in a value", QByteArray("GET / HTTP/1.1\r\nX: a\0\r\n\r\n", 25), 400);
        refused("absolute target", "GET http://127.0.0.1:2337/mark HTTP/1.1\r\n\r\n", 400);
        refused("two spaces", "GET  / HTTP/1.1\r\n\r\n", 400);
        refused("no version", "GET /\r\n\r\n", 400);
        refused("HTTP/2.0", "GET / HTTP/2.0\r\n\r\n", 505);
        refused("request line of 8 KiB", "GET /" + QByteArray(8192, 'a'), 414);
        refused("head of 8 KiB", "GET / HTTP/1.1\r\nX: " + QByteArray(8192, 'a'), 431);
    }
    void heads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        // Whole, and one byte at a time as a slow client sends it.
        for (const qsizetype piece : { bytes.size(), qsizetype(1) }) {
            HttpRequestParser parser;
            for (qsizetype at = 0; at < bytes.size(); at += piece)
                parser.feed(QByteArrayView(bytes).sliced(at, qMin(piece, bytes.size() - at)));
            QCOMPARE(int(parser.state()),
                int(status == 0 ? HttpRequestParser::State::Complete : HttpRequestParser::State::Failed));
            QCOMPARE(int(parser.failure()), status);
            if (status == 0) {
                QTEST(parser.target(), "target");
                QTEST(parser.header("HOST"), "host");
            }
        }
    }

    // Steps "source count@time =taken": count events of the source at that time (ms), of which taken are let through;
    // a source ending in '#' stands for count different sources, one event each.
    void budget_data()
    {
        QTest::addColumn<QString>("steps");
        addRow("100 a second, from the clock's first moment", "http 100@0 =100; http 1@999 =0; http 1@1000 =1");
        addRow("the second slides", "http 60@0 =60; http 60@500 =40; http 60@1000 =60; http 1@1499 =0");
        addRow("a clock stepped back refuses nothing new",
            "http 100@100000 =100; http 1@40000 =0; http 100@41000 =100; http 1@41500 =0");
        addRow("64 sources at once, the 65th waits", "http:s# 64@0 =64; http:late 1@500 =0; http:late 1@1000 =1");
        addRow("key marks beside 64 busy sources", "http:s# 64@0 =64; key 100@1 =100; key 1@2 =0");
    }
    void budget()
    {
        QFETCH(QString, steps);
        EventRateLimit limit;
        const QRegularExpression step(QStringLiteral("^(\\S+) (\\d+)@(\\d+) =(\\d+)$"));
        for (const QString& text : steps.split(QStringLiteral("; "))) {
            const QRegularExpressionMatch match = step.match(text);
            QVERIFY2(match.hasMatch(), qPrintable(text));
            const QString source = match.captured(1);
            int taken = 0;
            for (int i = 0; i < match.captured(2).toInt(); ++i) {
                const QString name
                    = source.endsWith(QLatin1Char('#')) ? source.chopped(1) + QString::number(i) : source;
                taken += limit.take(name, match.captured(3).toLongLong()) ? 1 : 0;
            }
            QVERIFY2(taken == match.captured(4).toInt(), qPrintable(text + QStringLiteral(": %1 taken").arg(taken)));
        }
    }
};

QTEST_GUILESS_MAIN(TestMarkRequests)
#include "tst_markrequests.moc"
