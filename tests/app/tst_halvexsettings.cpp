#include "AbstractMetaDescription.h"
#include "HalvexSettings.h"
#include "TemporaryHome.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

const QByteArray allDefaults = "<?xml version=\"1.0\"?>\n"
                               "<HalvexSettings>\n"
                               "    <Language>ru_RU</Language>\n"
                               "    <ColorTheme>System</ColorTheme>\n"
                               "    <LastDevice></LastDevice>\n"
                               "    <StartMaximized>true</StartMaximized>\n"
                               "    <RememberLastDevice>true</RememberLastDevice>\n"
                               "    <ReconnectSeconds>300</ReconnectSeconds>\n"
                               "    <UseVirtualDevice>false</UseVirtualDevice>\n"
                               "    <VirtualDeviceChannels>12</VirtualDeviceChannels>\n"
                               "    <View>View_Graphics</View>\n"
                               "    <ViewSeconds>10</ViewSeconds>\n"
                               "    <Acquisition>Acquire_aRIR</Acquisition>\n"
                               "    <LockCommonVerticalScale>false</LockCommonVerticalScale>\n"
                               "    <RIRsmoothing>20</RIRsmoothing>\n"
                               "    <SendOnStartRecord>http://127.0.0.1:2336/startStimPack</SendOnStartRecord>\n"
                               "    <SendOnEndRecord>http://127.0.0.1:2336/stopRecord</SendOnEndRecord>\n"
                               "    <MarkPort>2337</MarkPort>\n"
                               "    <UseMontage>false</UseMontage>\n"
                               "    <Montage></Montage>\n"
                               "    <GraphicSpacing>10</GraphicSpacing>\n"
                               "</HalvexSettings>\n";
} // namespace

class tst_HalvexSettings : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;
    QString m_path;

private slots:
    void init()
    {
        m_path = m_home.dataFolder() + "/Settings.xml";
        QFile::remove(m_path);
        QVERIFY(QDir().mkpath(m_home.dataFolder()));
    }

    void freshFolderWritesAllDefaultsOnFirstChange()
    {
        HalvexSettings settings(m_path);
        QSignalSpy reloaded(&settings, &NTSettings::reloaded);
        QVERIFY(settings.reload());
        QCOMPARE(reloaded.size(), 1);
        QVERIFY(!QFile::exists(m_path));
        QCOMPARE(settings.getViewSeconds(), 10);

        settings.setViewSeconds(11);
        settings.resetViewSeconds();
        QCOMPARE(TemporaryHome::readFile(m_path), allDefaults);
    }

    void setterClamps_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("stored");
        QTest::newRow("channels below minimum") << "VirtualDeviceChannels" << 0 << 1;
        QTest::newRow("spacing above maximum") << "GraphicSpacing" << 25 << 20;
        QTest::newRow("seconds above maximum") << "ViewSeconds" << 121 << 120;
        QTest::newRow("smoothing inside") << "RIRsmoothing" << 55 << 55;
    }

    void setterClamps()
    {
        QFETCH(QString, property);
        QFETCH(int, value);
        HalvexSettings settings(m_path);
        settings.reload();
        QVERIFY(settings.setValue(property, value));
        QTEST(settings.getValue(property).toInt(), "stored");
    }

    void notifiesOnceThenReportsChange()
    {
        HalvexSettings settings(m_path);
        settings.reload();
        QStringList order;
        connect(&settings, &HalvexSettings::changedViewSeconds, this,
            [&](int value) { order << "changed " + QString::number(value); });
        connect(&settings, &AbstractSettings::propertyChanged, this, [&](const QString& name) {
            order << "property " + name + " " + QString::number(settings.getViewSeconds());
        });
        settings.setViewSeconds(500);
        settings.setViewSeconds(120);
        settings.setViewSeconds(121);
        QCOMPARE(order, (QStringList { "changed 120", "property ViewSeconds 120" }));
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clamped to maximum") << QByteArray("<ViewSeconds>500</ViewSeconds>") << "ViewSeconds"
                                            << "120";
        QTest::newRow("wrong case ignored") << QByteArray("<viewseconds>30</viewseconds>") << "ViewSeconds"
                                            << "10";
        QTest::newRow("later element wins")
            << QByteArray("<ViewSeconds>30</ViewSeconds><ViewSeconds>40</ViewSeconds>") << "ViewSeconds"
            << "40";
        QTest::newRow("letters for an int") << QByteArray("<RIRsmoothing>abc</RIRsmoothing>") << "RIRsmoothing"
                                            << "20";
        QTest::newRow("enumeration key") << QByteArray("<View>View_Table</View>") << "View"
                                         << "View_Table";
        QTest::newRow("theme key") << QByteArray("<ColorTheme>Dark</ColorTheme>") << "ColorTheme"
                                   << "Dark";
        QTest::newRow("unknown key") << QByteArray("<Acquisition>Acquire_X</Acquisition>") << "Acquisition"
                                     << "Acquire_aRIR";
        QTest::newRow("escaped text") << QByteArray("<Montage>1&lt;2\n3</Montage>") << "Montage"
                                      << "1<2\n3";
    }

    void loading()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, property);
        QVERIFY(TemporaryHome::writeFile(
            m_path, "<?xml version=\"1.0\"?>\n<HalvexSettings>" + body + "</HalvexSettings>\n"));
        const QByteArray before = TemporaryHome::readFile(m_path);
        HalvexSettings settings(m_path);
        QSignalSpy changes(&settings, &AbstractSettings::propertyChanged);
        QSignalSpy saves(&settings, &NTSettings::saved);
        QVERIFY(settings.reload());
        QTEST(settings.getTextValue(property), "expected");
        QCOMPARE(settings.getStartMaximized(), true);
        QCOMPARE(saves.size(), 0);
        QCOMPARE(TemporaryHome::readFile(m_path), before);
        QCOMPARE(changes.isEmpty(), settings.getValue(property) == HalvexSettings(QString()).getValue(property));
    }

    void damagedFilesAreSurvived_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("viewSeconds");
        QTest::addColumn<int>("spacing");
        QByteArray random(4096, Qt::Uninitialized);
        QRandomGenerator generator(42);
        for (char& byte : random)
            byte = char(generator.bounded(256));
        const QByteArray head = "<?xml version=\"1.0\"?>\n<HalvexSettings>\n<ViewSeconds>30</ViewSeconds>\n";

        QTest::newRow("empty file") << QByteArray() << 10 << 10;
        QTest::newRow("random bytes") << random << 10 << 10;
        QTest::newRow("truncated inside an element") << head + "<GraphicSpacing>1" << 30 << 10;
        QTest::newRow("malformed after a value") << head + "<GraphicSpacing>5</Graphic" + "<RIRsmoothing>7" << 30 << 10;
        QTest::newRow("huge element text")
            << head + "<Montage>" + QByteArray(200000, 'x') + "</Montage><GraphicSpacing>5</GraphicSpacing>" << 30 << 5;
        QTest::newRow("random bytes after a value") << head + random << 30 << 10;
    }

    void damagedFilesAreSurvived()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(TemporaryHome::writeFile(m_path, bytes));
        HalvexSettings settings(m_path);
        QVERIFY(settings.reload());
        QTEST(settings.getViewSeconds(), "viewSeconds");
        QTEST(settings.getGraphicSpacing(), "spacing");
        QCOMPARE(settings.getRIRsmoothing(), 20);
        QCOMPARE(settings.getMontage(), QString());
    }

    void roundTrip()
    {
        HalvexSettings source(m_path);
        source.reload();
        source.setLanguage(HalvexSettings::en_US);
        source.setColorTheme(StyleHelper::Dark);
        source.setLastDevice("/dev/ttyUSB0 <&>");
        source.setStartMaximized(false);
        source.setRememberLastDevice(false);
        source.setReconnectSeconds(0);
        source.setUseVirtualDevice(true);
        source.setVirtualDeviceChannels(33);
        source.setView(HalvexSettings::View_Table);
        source.setViewSeconds(45);
        source.setAcquisition(HalvexSettings::Acquire_VRIR);
        source.setLockCommonVerticalScale(true);
        source.setRIRsmoothing(3);
        source.setSendOnStartRecord("http://localhost/a?x=1&y=2");
        source.setSendOnEndRecord("");
        source.setUseMontage(true);
        source.setMontage("2\n1;4\n15=FpZ-AF7;14=FpZ-AF8");
        source.setGraphicSpacing(0);

        HalvexSettings target(m_path);
        QVERIFY(target.reload());
        QCOMPARE(target.getQVariantMap(), source.getQVariantMap());
        QCOMPARE(target.getQVariantMap().size(), 19);
        QCOMPARE(target.getTextValue("Language"), QStringLiteral("en_US"));
    }

    void resetLanguage()
    {
        HalvexSettings settings(m_path);
        settings.reload();
        settings.setLanguage(HalvexSettings::en_US);
        settings.resetLanguage();
        QCOMPARE(settings.getLanguage(), HalvexSettings::ru_RU);
        QVERIFY(!settings.getPropertyByName("Language")->defaultAllowed);
        QVERIFY(!settings.getPropertyByName("LastDevice")->visible);
        QCOMPARE(settings.getPropertyByName("VirtualDeviceChannels")->visibleBound.value("UseVirtualDevice"),
            QStringLiteral("true"));
    }
};

QTEST_GUILESS_MAIN(tst_HalvexSettings)
#include "tst_halvexsettings.moc"
