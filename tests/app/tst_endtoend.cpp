// The built program on a real X server: it starts with a remembered virtual instrument, connects by itself and
// draws live graphs in either theme. The screenshots stay in the build tree for a person to look at.
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTest>

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (the test runs under xvfb-run)");
        QVERIFY(QDir().mkpath(QStringLiteral(HALVEX_ARTEFACT_DIR)));
    }

    void liveGraphs_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << "Light" << false;
        QTest::newRow("dark") << "Dark" << true;
    }
    void liveGraphs()
    {
        QFETCH(QString, theme);
        QFETCH(bool, dark);
        TemporaryHome home;
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/Settings.xml"),
            QStringLiteral("<?xml version=\"1.0\"?>\n<HalvexSettings>\n<Language>en_US</Language>\n"
                           "<ColorTheme>%1</ColorTheme>\n<StartMaximized>false</StartMaximized>\n"
                           "<UseVirtualDevice>true</UseVirtualDevice>\n<LastDevice>Virtual FNIR</LastDevice>\n"
                           "<View>View_Graphics</View>\n</HalvexSettings>\n")
                .arg(theme)
                .toUtf8()));

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(HALVEX_EXECUTABLE), {});
        QVERIFY(program.waitForStarted());
        QTest::qWait(4000);
        QCOMPARE(program.state(), QProcess::Running);

        // Without a window manager the window sits at the origin at its initial size.
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, 1200, 800).toImage();
        program.kill();
        program.waitForFinished();
        QVERIFY(shot.save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-%1.png").arg(theme.toLower())));

        // Below the tool bar: the graph background is grey, the curves are the only saturated colours.
        qint64 curvePixels = 0;
        qint64 lightness = 0;
        qint64 counted = 0;
        for (int y = 60; y < shot.height(); y += 2) {
            for (int x = 0; x < shot.width(); x += 2) {
                const QColor c = shot.pixelColor(x, y);
                if (c.hslSaturation() > 100 && c.lightness() > 40 && c.lightness() < 230)
                    ++curvePixels;
                lightness += c.lightness();
                ++counted;
            }
        }
        QVERIFY2(curvePixels > 300, qPrintable(QStringLiteral("%1 curve pixels").arg(curvePixels)));
        const qint64 mean = lightness / counted;
        QVERIFY2(dark ? mean < 110 : mean > 150, qPrintable(QStringLiteral("mean lightness %1").arg(mean)));
    }
};

int main(int argc, char* argv[])
{
    // The test target runs on the offscreen platform like every other; this one needs the X server it runs under.
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_endtoend.moc"
