#include "RecordsSettings.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QTest>

class tst_RecordsSettings : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;

private slots:
    void initTestCase() { QVERIFY(QDir::setCurrent(m_home.path())); }

    void defaultsAndFile()
    {
        QFile::remove("RecSettings.xml");
        RecordsSettings settings;
        QVERIFY(settings.reload());
        settings.setHPF(0.5);
        settings.resetHPF();
        QCOMPARE(TemporaryHome::readFile(QDir(m_home.path()).filePath("RecSettings.xml")),
            QByteArray("<?xml version=\"1.0\"?>\n"
                       "<RecordsSettings>\n"
                       "    <ViewSeconds>20</ViewSeconds>\n"
                       "    <HPF>0.02</HPF>\n"
                       "    <Range>100</Range>\n"
                       "    <Offset>0</Offset>\n"
                       "    <Channel1>0</Channel1>\n"
                       "    <Channel2>9</Channel2>\n"
                       "    <RedWavelength>760</RedWavelength>\n"
                       "    <InfraredWavelength>850</InfraredWavelength>\n"
                       "</RecordsSettings>\n"));
    }

    void clamps_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("range below minimum") << "Range" << QVariant(1) << QVariant(5);
        QTest::newRow("channel above maximum") << "Channel2" << QVariant(101) << QVariant(100);
        QTest::newRow("seconds at zero") << "ViewSeconds" << QVariant(0) << QVariant(1);
        QTest::newRow("double kept as given") << "Offset" << QVariant(-12.5) << QVariant(-12.5);
    }

    void clamps()
    {
        QFETCH(QString, property);
        QFETCH(QVariant, value);
        RecordsSettings settings(QString(), nullptr);
        QVERIFY(settings.setValue(property, value));
        QTEST(settings.getValue(property), "stored");
    }

    void roundTrip()
    {
        const QString path = QDir(m_home.path()).filePath("round.xml");
        RecordsSettings source(path);
        source.setViewSeconds(60);
        source.setHPF(0.1 + 0.2);
        source.setRange(250);
        source.setOffset(-1.5);
        source.setChannel1(3);
        source.setChannel2(0);
        RecordsSettings target(path);
        QVERIFY(target.reload());
        QCOMPARE(target.getQVariantMap(), source.getQVariantMap());
        QCOMPARE(target.getHPF(), 0.1 + 0.2);
    }
};

QTEST_GUILESS_MAIN(tst_RecordsSettings)
#include "tst_recordssettings.moc"
