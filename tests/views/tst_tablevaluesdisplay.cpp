#include "../framework/DataRow.h"
#include "StyleHelper.h"
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
    void keepsNewest_data()
    {
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("held");
        addRow("99", 99, 99);
        addRow("100th drops the oldest", 100, 99);
        addRow("1000", 1000, 99);
    }
    void keepsNewest()
    {
        QFETCH(int, held);
        TableValuesDisplay table;
        QFETCH(int, added);
        for (int i = 0; i < added; ++i)
            table.addData(T0 + i, { double(i) });
        QCOMPARE(table.recordCount(), held);
    }

    // A table showing the given value must look exactly like one showing the expected integer.
    void truncation_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("shown");
        QTest::addColumn<bool>("same");
        addRow("12.9", 12.9, 12.0, true);
        addRow("-7.8", -7.8, -7.0, true);
        addRow("not rounded", 12.9, 13.0, false);
        addRow("not floored", -7.8, -8.0, false);
        // Past any integer (two readings run together): not wrapped to the most negative one.
        addRow("beyond the integer range", 1e30, -9223372036854775808.0, false);
    }
    void truncation()
    {
        QFETCH(double, value);
        QFETCH(double, shown);
        QFETCH(bool, same);
        TableValuesDisplay a;
        TableValuesDisplay b;
        a.addData(T0, { value, 1 });
        b.addData(T0, { shown, 1 });
        QCOMPARE(paint(a, 300, 100) == paint(b, 300, 100), same);
    }

    void widens()
    {
        TableValuesDisplay table;
        table.addData(T0, { 1, 2 });
        paint(table, 400, 200);
        QCOMPARE(table.headers(), QStringList({ "#1", "#2" }));
        table.addData(T0 + 1, { 1, 2, 3 });
        QCOMPARE(table.columns(), 3);
        paint(table, 400, 200);
        QCOMPARE(table.headers(), QStringList({ "#1", "#2", "#3" }));
    }

    void drawsNothingWhenSmall_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("drawn");
        addRow("narrow", QSize(19, 100), false);
        addRow("low", QSize(100, 19), false);
        addRow("20 × 20", QSize(20, 20), true);
    }
    void drawsNothingWhenSmall()
    {
        QFETCH(bool, drawn);
        TableValuesDisplay table;
        table.addData(T0, { 5 });
        QFETCH(QSize, size);
        QImage blank(size, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        QCOMPARE(paint(table, size.width(), size.height()) != blank, drawn);
    }

    void fontSearch_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("columns");
        QTest::addColumn<float>("pixelSize");
        addRow("wide", 2000, 4, 15.f);
        addRow("nothing fits", 60, 10, 5.f);
    }
    void fontSearch()
    {
        QFETCH(int, columns);
        QFETCH(float, pixelSize);
        TableValuesDisplay table;
        table.addData(T0, QList<double>(columns, 1.0));
        QFETCH(int, width);
        const QImage image = paint(table, width, 200);
        QCOMPARE(table.fontPixelSize(), pixelSize);
        // even when clipped, the table is drawn
        QVERIFY(image.pixelColor(width - 1, 1).alpha() > 0 || image.pixelColor(1, 1).alpha() > 0);
    }
};

QTEST_MAIN(TestTableValuesDisplay)
#include "tst_tablevaluesdisplay.moc"
