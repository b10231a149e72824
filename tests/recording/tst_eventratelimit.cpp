#include "DataRow.h"
#include "EventRateLimit.h"

#include <QRegularExpression>
#include <QTest>

class TestEventRateLimit : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestEventRateLimit)
#include "tst_eventratelimit.moc"
