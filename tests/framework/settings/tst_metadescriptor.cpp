#include "AbstractMetaDescription.h"
#include "DataRow.h"
#include "NTSettings.h"

#include <QColor>

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
    NT_PROPERTY(QColor, Tint, Qt::red)
    NT_PROPERTY(double, Ratio, 2.5f)
    Q_CLASSINFO("RatioMinimum", "1.5f")
    Q_CLASSINFO("RatioMaximum", "QSize(10, 20)")
    Q_CLASSINFO("RatioStep", "none")
    NT_INT_PROPERTY(Count, 3, 0, 10, 1)
    Q_CLASSINFO("CountVisibleBound", "A;!B;;C:x:y")
    Q_CLASSINFO("CountSpecialType", "Range:1:2")
    Q_CLASSINFO("CountNoDefault", "false")
};

class tst_MetaDescriptor : public QObject
{
    Q_OBJECT
private slots:
    void classInfo_data()
    {
        addColumns<QString, bool, bool, QString, QString>(
            { "property", "editable", "visible", "defaultText", "typeName" });
        addRow("Editable True is not editable", "Capital", false, true, "false", "bool");
        addRow("NotVisible false still hides", "Hidden", true, false, "false", "bool");
        addRow("enumeration default", "Choice", true, true, "Mode_B", "Enum");
        addRow("Qt colour", "Tint", true, true, "#ff0000", "QColor");
        addRow("letters dropped from a number", "Ratio", true, true, "2.5", "double");
    }
    void classInfo()
    {
        QFETCH(QString, property);
        SampleSettings settings;
        QCOMPARE(
            settings.getPropertiesNames(), QStringList({ "Capital", "Hidden", "Choice", "Tint", "Ratio", "Count" }));
        const AbstractMetaDescription* description = settings.getPropertyByName(property);
        QTEST(description->editable, "editable");
        QTEST(description->visible, "visible");
        QTEST(description->defaultText, "defaultText");
        QTEST(description->typeName, "typeName");
    }

    void namesBoundsAndConditions()
    {
        SampleSettings settings;
        QVERIFY(settings.setValue("count", 5) && settings.setTextValue("CHOICE", "Mode_A"));
        QCOMPARE(settings.getCount(), 5);
        QCOMPARE(settings.getChoice(), SampleSettings::Mode_A);
        const AbstractMetaDescription* ratio = settings.getPropertyByName("Ratio");
        QVERIFY(ratio->hasMinimum && ratio->hasMaximum && !ratio->hasStep);
        QCOMPARE(ratio->minimum, 1.5);
        QCOMPARE(ratio->maximum, 10.0);
        const AbstractMetaDescription* count = settings.getPropertyByName("Count");
        QCOMPARE(count->visibleBound, (QMap<QString, QString> { { "A", "true" }, { "B", "false" }, { "C", "x:y" } }));
        QCOMPARE(count->specialKind, QStringLiteral("Range"));
        QCOMPARE(count->specialArgument, QStringLiteral("1:2"));
        QVERIFY(!count->defaultAllowed);
    }
};

QTEST_GUILESS_MAIN(tst_MetaDescriptor)
#include "tst_metadescriptor.moc"
