#include "AbstractMetaDescription.h"
#include "NTSettings.h"

#include <QTest>

// A row's conditions as its class info states them, parts separated by ";": "A" needs A on, "!B" needs B off,
// "C:x:y" needs C at "x:y"; empty parts are skipped.
class SampleSettings : public NTSettings
{
    Q_OBJECT
public:
    using NTSettings::NTSettings;

    NT_INT_PROPERTY(Count, 3, 0, 10, 1)
    Q_CLASSINFO("CountVisibleBound", "A;!B;;C:x:y")
};

class tst_MetaDescriptor : public QObject
{
    Q_OBJECT
private slots:
    void conditions()
    {
        SampleSettings settings;
        QCOMPARE(settings.getPropertyByName("Count")->visibleBound,
            (QMap<QString, QString> { { "A", "true" }, { "B", "false" }, { "C", "x:y" } }));
    }
};

QTEST_GUILESS_MAIN(tst_MetaDescriptor)
#include "tst_metadescriptor.moc"
