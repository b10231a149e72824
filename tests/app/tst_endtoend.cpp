// The built program on a real X server, driven with xdotool, in each theme: the first start, the settings pop-up,
// live graphs of the remembered virtual instrument, the about window with its change log, a running record and the
// records window with close marks. The screenshots stay in the build tree for a person to look at.
#include "HttpTestServer.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

namespace {
QString xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(10000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The first visible window whose title matches, or an empty rectangle.
QRect windowNamed(const QString& pattern)
{
    QMap<QString, int> shell;
    const QStringList lines
        = xdotool({ "search", "--onlyvisible", "--name", pattern, "getwindowgeometry", "--shell", "%1" }).split('\n');
    for (const QString& line : lines)
        shell.insert(line.section('=', 0, 0), line.section('=', 1).toInt());
    return shell.contains("X") ? QRect(shell["X"], shell["Y"], shell["WIDTH"], shell["HEIGHT"]) : QRect();
}

void click(const QPoint& at)
{
    xdotool({ "mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1" });
}

void keys(const QStringList& names)
{
    xdotool(QStringList { "search", "--name", "^Halvex ", "windowfocus", "key" } + names);
}

QImage grab(const QRect& area)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
}

bool save(const QImage& image, const QString& name)
{
    return image.save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-%1.png").arg(name));
}

QRect areaOf(const QImage& image, const QColor& color)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            area |= image.pixelColor(x, y) == color ? QRect(x, y, 1, 1) : QRect();
    return area;
}

int meanLightness(const QImage& image)
{
    return image.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0).lightness();
}

// Below the tool bar the graph background is grey: the curves are the only saturated colours.
int curvePixels(const QImage& shot)
{
    int count = 0;
    for (int y = 60; y < shot.height(); y += 2)
        for (int x = 0; x < shot.width(); x += 2) {
            const QColor c = shot.pixelColor(x, y);
            count += c.hslSaturation() > 100 && c.lightness() > 40 && c.lightness() < 230;
        }
    return count;
}

// The program under a temporary home, killed when this goes.
struct Program
{
    QProcess process;
    ~Program() { stop(); }
    void stop()
    {
        process.kill();
        process.waitForFinished();
    }
    // Writes the settings, starts the program and returns its main window once it shows.
    QRect start(const TemporaryHome& home, const QString& theme, const QString& settings = QString())
    {
        stop();
        // Other tests on this machine may hold the default mark port: the program gets one that is free now.
        TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/Settings.xml"),
            QStringLiteral("<?xml version=\"1.0\"?>\n<HalvexSettings>\n<Language>en_US</Language>\n<ColorTheme>%1"
                           "</ColorTheme>\n<StartMaximized>false</StartMaximized>\n<MarkPort>%2</MarkPort>\n%3"
                           "</HalvexSettings>\n")
                .arg(theme, QString::number(HttpTestServer::closedPort()), settings)
                .toUtf8());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(QStringLiteral(HALVEX_EXECUTABLE), {});
        QRect window;
        if (!QTest::qWaitFor([&window] { return (window = windowNamed(QStringLiteral("^Halvex "))).isValid(); }, 10000))
            return {};
        QTest::qWait(500); // the first paint follows the window's mapping
        return window;
    }
};
} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server (the test runs under xvfb-run)");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool to drive the program");
        QVERIFY(QDir().mkpath(QStringLiteral(HALVEX_ARTEFACT_DIR)));
    }

    void screens_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::newRow("light") << "Light";
        QTest::newRow("dark") << "Dark";
    }
    void screens()
    {
        QFETCH(QString, theme);
        const QString name = theme.toLower();
        const bool dark = name == QLatin1String("dark");
        const auto themed = [dark](int lightness) { return dark ? lightness < 110 : lightness > 150; };
        TemporaryHome home;
        // A record with marks 100 ms apart, some of them long, on two channels side by side.
        QByteArray record = ";V1;R1;IR1;V2;R2;IR2\r\n";
        for (int t = 0; t <= 20000; t += 50)
            record += QByteArray::number(t) + ';' + QByteArray::number((t / 50) % 40) + ";0;0;"
                + QByteArray::number((t / 70) % 30) + ";0;0\r\n";
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/marks.csv"), record));
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/RecSettings.xml"),
            "<?xml version=\"1.0\"?>\n<RecordsSettings>\n<Channel2>1</Channel2>\n</RecordsSettings>\n"));
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/marks.log"),
            "1000\tSync\r\n3000\tStimulus A\r\n3100\tResponse left hand\r\n3200\tStimulus B\r\n9000\tRest\r\n"));

        Program program;
        QRect main = program.start(home, theme);
        QVERIFY(main.isValid());
        QVERIFY(save(grab(main), QStringLiteral("first-start-") + name));
        keys({ "ctrl+comma" });
        QTest::qWait(500);
        // The pop-up may reach past the window's edge: the screen keeps it whole.
        QVERIFY(save(grab(QGuiApplication::primaryScreen()->geometry()), QStringLiteral("settings-") + name));

        // The remembered virtual instrument connects by itself and draws in the theme's colours.
        main = program.start(home, theme,
            QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice>\n<LastDevice>Virtual FNIR</LastDevice>\n"));
        QVERIFY(main.isValid());
        QImage shot;
        QTRY_VERIFY_WITH_TIMEOUT(curvePixels(shot = grab(main)) > 300, 5000);
        QVERIFY(save(shot, name));
        QVERIFY(themed(meanLightness(shot.copy(0, 60, shot.width(), shot.height() - 60))));

        // "App info" is the last tool-bar button; its change log covers the about window's orange buttons.
        click(QPoint(main.right() - 4 - 16, main.top() + 18));
        QRect about;
        QTRY_VERIFY_WITH_TIMEOUT((about = windowNamed(QStringLiteral("^App info$"))).isValid(), 5000);
        QTest::qWait(500);
        QVERIFY(save(shot = grab(about), QStringLiteral("about-") + name));
        const QRect changeLogButton = areaOf(shot, QColor(0xff, 0x99, 0x00));
        QVERIFY(changeLogButton.width() > 30);
        click(about.topLeft() + changeLogButton.center());
        QTRY_VERIFY_WITH_TIMEOUT(areaOf(shot = grab(about), QColor(0xff, 0x99, 0x00)).isEmpty(), 3000);
        QTest::qWait(300);
        QVERIFY(save(shot = grab(about), QStringLiteral("changelog-") + name));
        QVERIFY(themed(meanLightness(shot)));
        xdotool({ "key", "Escape" });

        // A running record shows the red REC badge and record button.
        keys({ "ctrl+r" });
        QTRY_VERIFY_WITH_TIMEOUT(
            areaOf(grab(QRect(main.topLeft(), QSize(main.width(), 40))), QColor(0xd3, 0x2f, 0x2f)).width() > 20, 3000);
        QTest::qWait(1500);
        QVERIFY(save(grab(main), QStringLiteral("recording-") + name));

        // The records window over the record with its close marks.
        keys({ "ctrl+r", "ctrl+o" });
        QRect records;
        QTRY_VERIFY_WITH_TIMEOUT((records = windowNamed(QStringLiteral("^Records$"))).isValid(), 5000);
        QTest::qWait(300);
        click(records.topLeft() + QPoint(25, 14));
        QTRY_VERIFY_WITH_TIMEOUT(windowNamed(QStringLiteral("^Open$")).isValid(), 5000);
        // The dialog is mapped before its file name field takes keys; keys typed at once may be lost.
        QTest::qWait(500);
        xdotool({ "type", "--delay", "5", home.dataFolder() + QStringLiteral("/marks.csv") });
        xdotool({ "key", "Return" });
        QTRY_VERIFY_WITH_TIMEOUT(!windowNamed(QStringLiteral("^Open$")).isValid(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(curvePixels(shot = grab(records)) > 300, 10000);
        QVERIFY(save(shot, QStringLiteral("records-") + name));
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
