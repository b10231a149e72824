// The built program on a real X server, driven with xdotool: what a newcomer meets (the first start, the settings
// pop-up, live graphs of the remembered virtual instrument, a running record, the records window with close marks)
// and the about window with its change log, in each theme. The screenshots stay in the build tree for a person.
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>

namespace {
// xdotool's answer, or empty when it failed.
QString xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(10000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The first window whose title matches, as x, y, width and height on the screen.
QRect windowNamed(const QString& pattern)
{
    const QString shell
        = xdotool({ "search", "--onlyvisible", "--name", pattern, "getwindowgeometry", "--shell", "%1" });
    const auto value = [&shell](const char* key) {
        const auto match = QRegularExpression(QLatin1String(key) + QStringLiteral("=(\\d+)")).match(shell);
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    };
    return QRect(value("X"), value("Y"), value("WIDTH"), value("HEIGHT"));
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
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

bool save(const QImage& image, const QString& name)
{
    return image.save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-%1.png").arg(name));
}

// The bounding box of the pixels of one colour.
QRect areaOf(const QImage& image, const QColor& color)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == color)
                area |= QRect(x, y, 1, 1);
        }
    }
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
    for (int y = 60; y < shot.height(); y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            const QColor c = shot.pixelColor(x, y);
            count += c.hslSaturation() > 100 && c.lightness() > 40 && c.lightness() < 230;
        }
    }
    return count;
}

// The program under a temporary home, killed when this goes.
class Program
{
public:
    ~Program() { stop(); }

    // Writes the settings, starts the program and returns its main window once it shows, or an empty rectangle.
    QRect start(const TemporaryHome& home, const QString& settings)
    {
        stop();
        if (!TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/Settings.xml"),
                QStringLiteral("<?xml version=\"1.0\"?>\n<HalvexSettings>\n<StartMaximized>false</StartMaximized>\n"
                               "%1</HalvexSettings>\n")
                    .arg(settings)
                    .toUtf8()))
            return {};
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral(HALVEX_EXECUTABLE), {});
        QRect window;
        if (!QTest::qWaitFor([&window] { return (window = windowNamed(QStringLiteral("^Halvex "))).isValid(); }, 10000))
            return {};
        // The first paint follows the window's mapping.
        QTest::qWait(500);
        return window;
    }

    void stop()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

// Other tests on this machine may hold the default mark port: the program gets one that is free now.
QString themeSettings(const QString& theme, const QString& language = QStringLiteral("en_US"))
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("<Language>%1</Language>\n<ColorTheme>%2</ColorTheme>\n<MarkPort>%3</MarkPort>\n")
        .arg(language, theme)
        .arg(probe.serverPort());
}
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

    void newcomer_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << "Light" << false;
        QTest::newRow("dark") << "Dark" << true;
    }
    void newcomer()
    {
        QFETCH(QString, theme);
        QFETCH(bool, dark);
        const QString name = theme.toLower();
        TemporaryHome home;
        // A record with marks 100 ms apart, some of them long, shown on two channels side by side (the second
        // channel's default is the tenth).
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
        QRect main = program.start(home, themeSettings(theme));
        QVERIFY(main.isValid());
        QVERIFY(save(grab(main), QStringLiteral("first-start-") + name));
        keys({ "ctrl+comma" });
        QTest::qWait(500);
        // The pop-up may reach past the window's edge: the screen keeps it whole.
        QVERIFY(save(grab(QGuiApplication::primaryScreen()->geometry()), QStringLiteral("settings-") + name));

        // The remembered virtual instrument connects by itself and draws in the theme's colours.
        main = program.start(home,
            themeSettings(theme)
                + QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice>\n<LastDevice>Virtual FNIR</LastDevice>\n"
                                 "<View>View_Graphics</View>\n"));
        QVERIFY(main.isValid());
        QImage shot;
        QTRY_VERIFY_WITH_TIMEOUT(curvePixels(shot = grab(main)) > 300, 5000);
        QVERIFY(save(shot, name));
        const int mean = meanLightness(shot.copy(0, 60, shot.width(), shot.height() - 60));
        QVERIFY2(dark ? mean < 110 : mean > 150, qPrintable(QStringLiteral("mean lightness %1").arg(mean)));

        // A running record shows the REC badge and the red record button.
        keys({ "ctrl+r" });
        QTRY_VERIFY_WITH_TIMEOUT(
            areaOf(shot = grab(QRect(main.topLeft(), QSize(main.width(), 40))), QColor(0xd3, 0x2f, 0x2f)).width() > 20,
            3000);
        QTest::qWait(1500);
        QVERIFY(save(grab(main), QStringLiteral("recording-") + name));

        // The records window over the record with its close marks.
        keys({ "ctrl+r", "ctrl+o" });
        QRect records;
        QTRY_VERIFY_WITH_TIMEOUT((records = windowNamed(QStringLiteral("^Records$"))).isValid(), 5000);
        QTest::qWait(300);
        click(records.topLeft() + QPoint(25, 14));
        QTRY_VERIFY_WITH_TIMEOUT(windowNamed(QStringLiteral("^Open$")).isValid(), 5000);
        xdotool({ "type", "--delay", "5", home.dataFolder() + QStringLiteral("/marks.csv") });
        xdotool({ "key", "Return" });
        QTRY_VERIFY_WITH_TIMEOUT(!windowNamed(QStringLiteral("^Open$")).isValid(), 5000);
        QTest::qWait(700);
        QVERIFY(save(grab(windowNamed(QStringLiteral("^Records$"))), QStringLiteral("records-") + name));
    }

    // The about window from the tool bar's last button, then the change log over it.
    void aboutWindow_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << "Light"
                               << "en_US"
                               << "App info" << false;
        QTest::newRow("dark") << "Dark"
                              << "ru_RU"
                              << "О программе" << true;
    }
    void aboutWindow()
    {
        QFETCH(QString, theme);
        QFETCH(QString, language);
        QFETCH(QString, title);
        QFETCH(bool, dark);
        TemporaryHome home;
        Program program;
        const QRect main = program.start(home, themeSettings(theme, language));
        QVERIFY(main.isValid());
        // "App info" is the last tool-bar button: 32 px wide, 4 px from the right edge, in the first 36 px.
        click(QPoint(main.right() - 4 - 16, main.top() + 18));
        QRect about;
        QTRY_VERIFY_WITH_TIMEOUT((about = windowNamed(QLatin1Char('^') + title + QLatin1Char('$'))).isValid(), 5000);
        QTest::qWait(500);
        const QImage aboutShot = grab(about);
        QVERIFY(save(aboutShot, QStringLiteral("about-") + theme.toLower()));
        const QRect changeLogButton = areaOf(aboutShot, QColor(0xff, 0x99, 0x00));
        QVERIFY2(changeLogButton.width() > 30, "no ChangeLog button in the about window");

        // The panel covers the buttons, and its background follows the theme.
        click(about.topLeft() + changeLogButton.center());
        QImage logShot;
        QTRY_VERIFY_WITH_TIMEOUT(areaOf(logShot = grab(about), QColor(0xff, 0x99, 0x00)).isEmpty(), 3000);
        QTest::qWait(300);
        QVERIFY(save(logShot = grab(about), QStringLiteral("changelog-") + theme.toLower()));
        const int mean = meanLightness(logShot);
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
