#include "../../DataRow.h"
#include "SuggestionDoubleSpinBox.h"

#include <QTest>

class TestSuggestionDoubleSpinBox : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("values");
        addRow("semicolons", "0.1;0.5;1", QList<double> { 0.1, 0.5, 1 });
        addRow("commas and spaces", " 2, 5 ,10 ", QList<double> { 2, 5, 10 });
        addRow("unreadable dropped", "1;x;;3", QList<double> { 1, 3 });
        addRow("empty", "", QList<double> {});
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QList<double>, values);
        QCOMPARE(SuggestionDoubleSpinBox::parseSuggestions(text), values);
    }

    void step_data()
    {
        QTest::addColumn<double>("start");
        QTest::addColumn<int>("steps");
        QTest::addColumn<double>("expected");
        // Preferred values 1, 2, 5, 10 in a range 0..20 with a single step of 0.5.
        addRow("up to next preferred", 2.0, 1, 5.0);
        addRow("up from between", 3.0, 1, 5.0);
        addRow("down from between", 3.0, -1, 2.0);
        addRow("two steps", 1.0, 2, 5.0);
        addRow("below first: single step", 0.0, 1, 0.5);
        addRow("below first: never past it", 0.8, 1, 1.0);
        addRow("at last: single step", 10.0, 1, 10.5);
        addRow("above last down: back to it", 10.2, -1, 10.0);
        addRow("at first down: single step", 1.0, -1, 0.5);
        addRow("clamped at maximum", 19.8, 1, 20.0);
        addRow("shown as preferred counts as it", 4.999, 1, 10.0);
    }

    void step()
    {
        QFETCH(double, start);
        QFETCH(int, steps);
        QFETCH(double, expected);
        SuggestionDoubleSpinBox box;
        box.setDecimals(2);
        box.setRange(0, 20);
        box.setSingleStep(0.5);
        box.setSuggestions({ 10, 1, 5, 2, 5 });
        box.setValue(start);
        box.stepBy(steps);
        QCOMPARE(box.value(), expected);
    }
};

QTEST_MAIN(TestSuggestionDoubleSpinBox)
#include "tst_suggestiondoublespinbox.moc"
