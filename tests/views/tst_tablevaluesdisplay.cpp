#include "DataRow.h"
#include "TableValuesDisplay.h"

#include <QTest>

namespace {
const qint64 T0 = 1700000000000;

QImage paint(TableValuesDisplay& table, int width, int height)
{
    table.resize(width, height);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    table.render(&image, QPoint(), QRegion(), {});
    return image;
}
} // namespace

class TestTableValuesDisplay : public QObject
{
    Q_OBJECT
private slots:
    // The newest 99 records stay, a record with more values than before adds columns, and the font takes the largest
    // size at which the columns fit, down to its smallest.
    void keepsNewestAndWidens()
    {
        TableValuesDisplay table;
        table.addData(T0, { 1, 2 });
        paint(table, 400, 200);
        for (int i = 1; i < 100; ++i)
            table.addData(T0 + i, { 1, 2, 3 });
        QCOMPARE(table.recordCount(), 99);
        paint(table, 400, 200);
        QCOMPARE(table.headers(), QStringList({ "#1", "#2", "#3" }));
        QCOMPARE(table.fontPixelSize(), 15.f);
        paint(table, 60, 200);
        QCOMPARE(table.fontPixelSize(), 5.f);
    }

    // A table showing the given value must look exactly like one showing the expected integer.
    void truncation_data()
    {
        addColumns<double, double, bool>({ "value", "shown", "same" });
        addRow("12.9", 12.9, 12.0, true);
        addRow("-7.8", -7.8, -7.0, true);
        // Past any integer (two readings run together): not wrapped to the most negative one.
        addRow("beyond the integer range", 1e30, -9223372036854775808.0, false);
    }
    void truncation()
    {
        QFETCH(double, value);
        QFETCH(double, shown);
        TableValuesDisplay a;
        TableValuesDisplay b;
        a.addData(T0, { value, 1 });
        b.addData(T0, { shown, 1 });
        QTEST(paint(a, 300, 100) == paint(b, 300, 100), "same");
    }
};

QTEST_MAIN(TestTableValuesDisplay)
#include "tst_tablevaluesdisplay.moc"
