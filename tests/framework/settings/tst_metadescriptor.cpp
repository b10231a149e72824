#include "../DataRow.h"
#include "AbstractMetaDescription.h"
#include "NTSettings.h"

#include <QColor>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

// Declares one property of every edge case the class-info vocabulary has.
class SampleSettings : public NTSettings
{
    Q_OBJECT
    Q_PROPERTY(int Fixed READ getFixed)
public:
    enum Mode { Mode_A = 0, Mode_B = 1 };
    Q_ENUM(Mode)

    using NTSettings::NTSettings;
    int getFixed() const { return 7; }

    Q_CLASSINFO("CapitalEditable", "True")
    NT_PROPERTY_HIDDEN(bool, Capital, false)
    NT_PROPERTY(bool, Hidden, false)
    Q_CLASSINFO("HiddenNotVisible", "false")
    NT_PROPERTY(Mode, Choice, Mode::Mode_B)
    NT_PROPERTY(QString, Empty, "")
    NT_PROPERTY(QColor, Tint, Qt::red)
    NT_PROPERTY(double, Ratio, 2.5f)
    Q_CLASSINFO("RatioMinimum", "1.5f")
    Q_CLASSINFO("RatioMaximum", "QSize(10, 20)")
    Q_CLASSINFO("RatioStep", "none")
    Q_CLASSINFO("RatioPrecision", "3")
    Q_CLASSINFO("RatioPlaceholder", "")
    NT_INT_PROPERTY(Count, 3, 0, 10, 1)
    Q_CLASSINFO("CountVisibleBound", "A;!B;;C:x:y")
    Q_CLASSINFO("CountSpecialType", "Range:1:2")
    Q_CLASSINFO("CountNoDefault", "false")
};

using Bound = QMap<QString, QString>;

class tst_MetaDescriptor : public QObject
{
    Q_OBJECT
private slots:
    void describesDeclaredPropertiesInOrder()
    {
        SampleSettings settings;
        const QStringList expected { "Capital", "Hidden", "Choice", "Empty", "Tint", "Ratio", "Count" };
        QCOMPARE(settings.getPropertiesNames(), expected);
    }

    void classInfo_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("hasDefault");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("typeName");

        addRow("Editable True is not editable", "Capital", false, true, true, "false", "bool");
        addRow("NotVisible false still hides", "Hidden", true, false, true, "false", "bool");
        addRow("enumeration default", "Choice", true, true, true, "Mode_B", "Enum");
        addRow("two double quotes", "Empty", true, true, true, "", "QString");
        addRow("Qt colour", "Tint", true, true, true, "#ff0000", "QColor");
        addRow("letters dropped from a number", "Ratio", true, true, true, "2.5", "double");
    }

    void classInfo()
    {
        QFETCH(QString, property);
        SampleSettings settings;
        const AbstractMetaDescription* description = settings.getPropertyByName(property);
        QVERIFY(description);
        QTEST(description->editable, "editable");
        QTEST(description->visible, "visible");
        QTEST(description->hasDefault, "hasDefault");
        QTEST(description->defaultText, "defaultText");
        QTEST(description->typeName, "typeName");
        QCOMPARE(description->typeId == QMetaType::Int, description->typeName == QLatin1String("Enum"));
    }

    void boundsAndConditions()
    {
        SampleSettings settings;
        const AbstractMetaDescription* ratio = settings.getPropertyByName("Ratio");
        QVERIFY(ratio->hasMinimum && ratio->hasMaximum);
        QCOMPARE(ratio->minimum, 1.5);
        QCOMPARE(ratio->maximum, 10.0);
        QVERIFY(!ratio->hasStep);
        QCOMPARE(ratio->extra("Precision"), QStringLiteral("3"));
        QVERIFY(ratio->extra("Placeholder").isNull());

        const AbstractMetaDescription* count = settings.getPropertyByName("Count");
        QCOMPARE(count->visibleBound, (Bound { { "A", "true" }, { "B", "false" }, { "C", "x:y" } }));
        QCOMPARE(count->specialKind, QStringLiteral("Range"));
        QCOMPARE(count->specialArgument, QStringLiteral("1:2"));
        QVERIFY(!count->defaultAllowed);
        QVERIFY(!ratio->extraInfo || !ratio->extraInfo->contains("Description"));
    }

    void namesIgnoreCaseOnlyInTheDescriptor()
    {
        SampleSettings settings;
        QVERIFY(settings.setValue("count", 5));
        QCOMPARE(settings.getCount(), 5);
        QVERIFY(settings.setTextValue("CHOICE", "Mode_A"));
        QCOMPARE(settings.getChoice(), SampleSettings::Mode_A);

        QVERIFY(settings.loadFromQVariantMap({ { "count", 9 }, { "Capital", true } }));
        QCOMPARE(settings.getCount(), 5);
        QCOMPARE(settings.getCapital(), false);
        QVERIFY(settings.loadFromJson(QByteArray(R"({"count": 9, "Count": 8})")));
        QCOMPARE(settings.getCount(), 8);
    }

    void jsonRoundTrip()
    {
        SampleSettings source;
        source.setChoice(SampleSettings::Mode_A);
        source.setEmpty("text");
        source.setCapital(true);
        const QJsonObject json = source.saveToJson();
        QCOMPARE(json.value("Choice").toString(), QStringLiteral("Mode_A"));
        QVERIFY(!json.contains("Capital"));

        SampleSettings target;
        QVERIFY(target.loadFromJson(source.saveToJsonByteArray()));
        QCOMPARE(target.getChoice(), SampleSettings::Mode_A);
        QCOMPARE(target.getEmpty(), QStringLiteral("text"));
        QCOMPARE(target.getCapital(), false);
    }

    void jsonFailures_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        addRow("empty object", QByteArray("{}"), "JSON object is empty");
        addRow("array", QByteArray("[1]"), "JSON is not an object.");
        addRow("garbage", QByteArray("{\"Count\": "), "Failed to create JSON doc.");
        addRow("no text", QByteArray(), QString());
    }

    void jsonFailures()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        SampleSettings settings;
        if (!message.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, message.toUtf8().constData());
        QVERIFY(!settings.loadFromJson(json));
        QCOMPARE(settings.getCount(), 3);
    }

    void setDefaultRestoresAndNotifies()
    {
        SampleSettings settings;
        settings.setCount(8);
        AbstractMetaDescription* count = settings.getPropertyByName("Count");
        QSignalSpy spy(count, &AbstractMetaDescription::valueChanged);
        settings.loadDefaults();
        QCOMPARE(settings.getCount(), 3);
        QVERIFY(!spy.isEmpty());
        QCOMPARE(spy.last().at(0).toInt(), 3);
        QCOMPARE(settings.getCapital(), false);
    }
};

QTEST_GUILESS_MAIN(tst_MetaDescriptor)
#include "tst_metadescriptor.moc"
