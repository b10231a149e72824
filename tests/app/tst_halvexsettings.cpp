#include "FileSizeLimit.h"
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
                               "    <VirtualSignal>RandomWalk</VirtualSignal>\n"
                               "    <VirtualRate>10</VirtualRate>\n"
                               "    <VirtualBadChannelEvery>6</VirtualBadChannelEvery>\n"
                               "    <View>View_Graphics</View>\n"
                               "    <ViewSeconds>10</ViewSeconds>\n"
                               "    <BaselineSeconds>10</BaselineSeconds>\n"
                               "    <QualityWindowSeconds>10</QualityWindowSeconds>\n"
                               "    <Acquisition>Acquire_aRIR</Acquisition>\n"
                               "    <LockCommonVerticalScale>false</LockCommonVerticalScale>\n"
                               "    <RIRsmoothing>20</RIRsmoothing>\n"
                               "    <SendOnStartRecord>http://127.0.0.1:2336/startStimPack</SendOnStartRecord>\n"
                               "    <SendOnEndRecord>http://127.0.0.1:2336/stopRecord</SendOnEndRecord>\n"
                               "    <MarkPort>2337</MarkPort>\n"
                               "    <MarkAllowedOrigins></MarkAllowedOrigins>\n"
                               "    <MarkRequireToken>false</MarkRequireToken>\n"
                               "    <LslOutlet>true</LslOutlet>\n"
                               "    <LslStreamName>Halvex</LslStreamName>\n"
                               "    <LslMarkerStreams></LslMarkerStreams>\n"
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
    const QString m_path = m_home.dataFolder() + "/Settings.xml";

private slots:
    void init() { QVERIFY(QDir().mkpath(m_home.dataFolder()) && (!QFile::exists(m_path) || QFile::remove(m_path))); }

    // A fresh folder gets no file until the first change, which is announced once and writes every default.
    void firstChange()
    {
        HalvexSettings settings(m_path);
        QSignalSpy reloaded(&settings, &NTSettings::reloaded);
        QVERIFY(settings.reload());
        QCOMPARE(reloaded.size(), 1);
        QVERIFY(!QFile::exists(m_path));
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
        settings.resetViewSeconds();
        QCOMPARE(TemporaryHome::readFile(m_path), allDefaults);
    }

    // A file is read as it is, whatever it holds: the values it carries in range, the defaults for the rest, and
    // nothing written back.
    void loading_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected"); // property=text
        const QByteArray head = "<?xml version=\"1.0\"?>\n<HalvexSettings>\n<ViewSeconds>30</ViewSeconds>\n";
        const auto file = [](const QByteArray& body) -> QByteArray {
            return "<?xml version=\"1.0\"?>\n<HalvexSettings>" + body + "</HalvexSettings>\n";
        };
        QByteArray random(4096, Qt::Uninitialized);
        QRandomGenerator generator(42);
        for (char& byte : random)
            byte = char(generator.bounded(256));

        QTest::newRow("clamped to maximum") << file("<ViewSeconds>500</ViewSeconds>") << "ViewSeconds=120";
        QTest::newRow("wrong case ignored") << file("<viewseconds>30</viewseconds>") << "ViewSeconds=10";
        QTest::newRow("later element wins")
            << file("<ViewSeconds>30</ViewSeconds><ViewSeconds>40</ViewSeconds>") << "ViewSeconds=40";
        QTest::newRow("letters for an int") << file("<RIRsmoothing>abc</RIRsmoothing>") << "RIRsmoothing=20";
        QTest::newRow("enumeration key") << file("<View>View_Table</View>") << "View=View_Table";
        QTest::newRow("unknown key") << file("<Acquisition>Acquire_X</Acquisition>") << "Acquisition=Acquire_aRIR";
        QTest::newRow("escaped text") << file("<Montage>1&lt;2\n3</Montage>") << "Montage=1<2\n3";
        QTest::newRow("empty file") << QByteArray() << "ViewSeconds=10";
        QTest::newRow("random bytes") << random << "ViewSeconds=10";
        QTest::newRow("truncated inside an element") << head + "<GraphicSpacing>1"
                                                     << "ViewSeconds=30";
        QTest::newRow("malformed after a value") << head + "<GraphicSpacing>5</Graphic<RIRsmoothing>7"
                                                 << "GraphicSpacing=10";
        QTest::newRow("huge element text")
            << head + "<Montage>" + QByteArray(200000, 'x') + "</Montage><GraphicSpacing>5</GraphicSpacing>"
            << "GraphicSpacing=5";
    }
    void loading()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const QString property = expected.section(QLatin1Char('='), 0, 0);
        QVERIFY(TemporaryHome::writeFile(m_path, bytes));
        HalvexSettings settings(m_path);
        QSignalSpy changes(&settings, &AbstractSettings::propertyChanged);
        QVERIFY(settings.reload());
        QCOMPARE(settings.getTextValue(property), expected.section(QLatin1Char('='), 1));
        QVERIFY(settings.getStartMaximized() && settings.getRIRsmoothing() == 20 && settings.getMontage().size() < 10);
        QCOMPARE(TemporaryHome::readFile(m_path), bytes);
        QCOMPARE(changes.isEmpty(), settings.getQVariantMap() == HalvexSettings(QString()).getQVariantMap());
    }

    // A write that fails half-way leaves the previous file whole, not the first bytes of the new one.
    void failedWriteKeepsTheFile()
    {
        HalvexSettings settings(m_path);
        settings.reload();
        settings.setViewSeconds(30);
        const QByteArray before = TemporaryHome::readFile(m_path);
        QVERIFY(before.contains("<GraphicSpacing>"));
        {
            const FileSizeLimit limit(200);
            QVERIFY(limit.isActive());
            settings.setViewSeconds(40);
        }
        QCOMPARE(TemporaryHome::readFile(m_path), before);
    }

    // What the file must escape or keep on several lines comes back from it as it was set.
    void roundTrip()
    {
        const QMap<QString, QString> values { { "LastDevice", "/dev/ttyUSB0 <&>" }, { "SendOnEndRecord", "" },
            { "View", "View_Table" }, { "Montage", "2\n1;4\n15=FpZ-AF7;14=FpZ-AF8" }, { "StartMaximized", "false" } };
        HalvexSettings source(m_path);
        source.reload();
        for (auto [name, text] : values.asKeyValueRange())
            QVERIFY(source.setTextValue(name, text));
        HalvexSettings target(m_path);
        QVERIFY(target.reload());
        for (auto [name, text] : values.asKeyValueRange())
            QCOMPARE(target.getTextValue(name), text);
    }
};

QTEST_GUILESS_MAIN(tst_HalvexSettings)
#include "tst_halvexsettings.moc"
