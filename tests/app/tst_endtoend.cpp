// The built program on a real X server: it starts with a remembered virtual instrument, connects by itself and
// draws live graphs in either theme. The screenshots stay in the build tree for a person to look at.
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
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

QImage grab(const QRect& area)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
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
} // namespace

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

    // The about window from the tool bar's last button, then the change log over it, in each theme and language.
    void aboutWindow_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << "Light"
                               << "en_US" << false;
        QTest::newRow("dark") << "Dark"
                              << "ru_RU" << true;
    }
    void aboutWindow()
    {
        QFETCH(QString, theme);
        QFETCH(QString, language);
        QFETCH(bool, dark);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool to click in the program");
        TemporaryHome home;
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/Settings.xml"),
            QStringLiteral("<?xml version=\"1.0\"?>\n<HalvexSettings>\n<Language>%1</Language>\n"
                           "<ColorTheme>%2</ColorTheme>\n<StartMaximized>false</StartMaximized>\n</HalvexSettings>\n")
                .arg(language, theme)
                .toUtf8()));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(HALVEX_EXECUTABLE), {});
        QVERIFY(program.waitForStarted());
        const auto finish = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished();
        });

        QRect main;
        QTRY_VERIFY_WITH_TIMEOUT((main = windowNamed(QStringLiteral("^Halvex "))).isValid(), 10000);
        QTest::qWait(1000);
        // "App info" is the last tool-bar button: 32 px wide, 4 px from the right edge, in the first 36 px.
        click(QPoint(main.right() - 4 - 16, main.top() + 18));
        const QString title = language == QLatin1String("en_US") ? "App info" : "О программе";
        QRect about;
        QTRY_VERIFY_WITH_TIMEOUT((about = windowNamed(QLatin1Char('^') + title + QLatin1Char('$'))).isValid(), 5000);
        QTest::qWait(700);
        const QImage aboutShot = grab(about);
        QVERIFY(aboutShot.save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-about-%1.png").arg(theme.toLower())));
        const QRect changeLogButton = areaOf(aboutShot, QColor(0xff, 0x99, 0x00));
        QVERIFY2(changeLogButton.width() > 30, "no ChangeLog button in the about window");

        click(about.topLeft() + changeLogButton.center());
        QTest::qWait(1000);
        const QImage logShot = grab(about);
        QVERIFY(logShot.save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-changelog-%1.png").arg(theme.toLower())));
        // The panel covers the buttons, and its background follows the theme.
        QVERIFY(areaOf(logShot, QColor(0xff, 0x99, 0x00)).isEmpty());
        const int mean
            = logShot.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixelColor(0, 0).lightness();
        QVERIFY2(dark ? mean < 110 : mean > 150, qPrintable(QStringLiteral("mean lightness %1").arg(mean)));
    }

    // What a newcomer meets: the first start without any instrument, the settings pop-up, a running record, and
    // the records window with marks close together, in each theme (English).
    void newcomer_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::newRow("light") << "Light";
        QTest::newRow("dark") << "Dark";
    }
    void newcomer()
    {
        QFETCH(QString, theme);
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("needs xdotool to type into the program");
        const QString name = theme.toLower();
        TemporaryHome home;
        const auto settings = [&](const QString& extra) {
            return TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/Settings.xml"),
                QStringLiteral("<?xml version=\"1.0\"?>\n<HalvexSettings>\n<Language>en_US</Language>\n"
                               "<ColorTheme>%1</ColorTheme>\n<StartMaximized>false</StartMaximized>\n%2"
                               "</HalvexSettings>\n")
                    .arg(theme, extra)
                    .toUtf8());
        };
        // A record with marks 100 ms apart, some of them long.
        QByteArray record = ";V1;R1;IR1;V2;R2;IR2\r\n";
        for (int t = 0; t <= 20000; t += 50)
            record += QByteArray::number(t) + ';' + QByteArray::number((t / 50) % 40) + ";0;0;"
                + QByteArray::number((t / 70) % 30) + ";0;0\r\n";
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/marks.csv"), record));
        // Its two channels side by side (the second channel's default is the tenth).
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/RecSettings.xml"),
            "<?xml version=\"1.0\"?>\n<RecordsSettings>\n<Channel2>1</Channel2>\n</RecordsSettings>\n"));
        QVERIFY(TemporaryHome::writeFile(home.dataFolder() + QStringLiteral("/marks.log"),
            "1000\tSync\r\n3000\tStimulus A\r\n3100\tResponse left hand\r\n3200\tStimulus B\r\n9000\tRest\r\n"));

        QVERIFY(settings(QString()));
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        const auto finish = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished();
        });
        program.start(QStringLiteral(HALVEX_EXECUTABLE), {});
        QVERIFY(program.waitForStarted());
        QRect main;
        QTRY_VERIFY_WITH_TIMEOUT((main = windowNamed(QStringLiteral("^Halvex "))).isValid(), 10000);
        QTest::qWait(1500);
        QVERIFY(grab(main).save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-first-start-%1.png").arg(name)));

        xdotool({ "search", "--name", "^Halvex ", "windowfocus", "key", "ctrl+comma" });
        QTest::qWait(1000);
        QVERIFY(grab(QRect(main.topLeft(), QSize(main.width(), 1000)))
                    .save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-settings-%1.png").arg(name)));
        xdotool({ "key", "Escape" });
        QTest::qWait(300);

        // With the virtual instrument remembered, a record of a few seconds.
        program.kill();
        program.waitForFinished();
        QVERIFY(settings(
            QStringLiteral("<UseVirtualDevice>true</UseVirtualDevice>\n<LastDevice>Virtual FNIR</LastDevice>\n")));
        program.start(QStringLiteral(HALVEX_EXECUTABLE), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT((main = windowNamed(QStringLiteral("^Halvex "))).isValid(), 10000);
        QTest::qWait(1500);
        xdotool({ "search", "--name", "^Halvex ", "windowfocus", "key", "ctrl+r" });
        QTest::qWait(3500);
        const QImage recording = grab(main);
        QVERIFY(recording.save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-recording-%1.png").arg(name)));
        // The REC badge and the red record button.
        QVERIFY(areaOf(recording.copy(0, 0, recording.width(), 40), QColor(0xd3, 0x2f, 0x2f)).width() > 20);

        // The records window over the record with its close marks.
        xdotool({ "search", "--name", "^Halvex ", "windowfocus", "key", "ctrl+r", "ctrl+o" });
        QRect records;
        QTRY_VERIFY_WITH_TIMEOUT((records = windowNamed(QStringLiteral("^Records$"))).isValid(), 5000);
        QTest::qWait(700);
        click(records.topLeft() + QPoint(25, 14));
        QTest::qWait(1500);
        xdotool({ "type", "--delay", "20", home.dataFolder() + QStringLiteral("/marks.csv") });
        xdotool({ "key", "Return" });
        QTest::qWait(2000);
        records = windowNamed(QStringLiteral("^Records$"));
        QVERIFY(grab(records).save(QStringLiteral(HALVEX_ARTEFACT_DIR "/halvex-records-%1.png").arg(name)));
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
