#include "DataRow.h"
#include "LineStamper.h"

#include <QTest>

using Stamps = QList<qint64>;

class TestLineStamper : public QObject
{
    Q_OBJECT
private slots:
    // reads: "time:lines" for each read, "|" where the port was opened again.
    void stamps_data()
    {
        addColumns<QString, Stamps>({ "reads", "stamps" });
        addRow("one line per read keeps the read's time", "1000:1 1020:1 1040:1", Stamps { 1000, 1020, 1040 });
        addRow("paired arrivals at 50 Hz", "1000:1 1040:2 1080:2 1120:2",
            Stamps { 1000, 1020, 1040, 1060, 1080, 1100, 1120 });
        addRow("a late read of four lines at 50 Hz", "1000:1 1020:1 1040:1 1135:4",
            Stamps { 1000, 1020, 1040, 1075, 1095, 1115, 1135 });
        addRow("after a silence the lines stay out of it", "1000:1 1020:1 1040:1 4040:2",
            Stamps { 1000, 1020, 1040, 4020, 4040 });
        addRow("the first read of a port has nothing to spread over", "1000:3", Stamps { 1000, 1000, 1000 });
        addRow("after a reopen, the interval measured before", "1000:1 1020:1 1040:1 | 5000:3",
            Stamps { 1000, 1020, 1040, 4960, 4980, 5000 });
    }
    void stamps()
    {
        QFETCH(QString, reads);
        LineStamper stamper;
        Stamps stamps;
        for (const QString& read : reads.split(QLatin1Char(' '))) {
            if (read == QLatin1String("|")) {
                stamper.restart();
                continue;
            }
            const LineStamper::Spread spread = stamper.take(
                read.section(QLatin1Char(':'), 0, 0).toLongLong(), read.section(QLatin1Char(':'), 1).toInt());
            for (int i = 0; i < spread.lines; ++i)
                stamps << spread.at(i);
        }
        QTEST(stamps, "stamps");
    }
};

QTEST_GUILESS_MAIN(TestLineStamper)
#include "tst_linestamper.moc"
