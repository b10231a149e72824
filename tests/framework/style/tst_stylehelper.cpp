#include "MediaHelper.h"
#include "NTSettings.h"
#include "StyleHelper.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

namespace {

class ThemeSettings : public NTSettings
{
    Q_OBJECT
public:
    NT_PROPERTY(QString, ColorTheme, "1")
};

} // namespace

using StringMap = QMap<QString, QString>;

class tst_StyleHelper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StyleHelper* style = StyleHelper::Instance();
        style->addStyleFile(":/themes/nt.theme.css");
        style->addThemeFile(":/themes/light.css", "light");
        style->addThemeFile(":/themes/dark.css", "dark");
        style->addThemeFile(":/themes/missing.css", "missing");
        QCOMPARE(style->themes(), QStringList({ "dark", "light" }));
    }

    void parseTheme()
    {
        QCOMPARE(StyleHelper::parseTheme(":root {\r\n    --n-bg: #FFF;\r\n--n-a: b: c;\n--n-d: #1;\n--n-d: #2;\n}\n"),
            StringMap({ { "--n-bg", "#FFF" }, { "--n-d", "#2" } }));
    }

    void selectTheme()
    {
        StyleHelper* style = StyleHelper::Instance();
        style->selectTheme("light");
        QSignalSpy changed(style, &StyleHelper::changed);
        style->selectTheme("dark");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(style->currentTheme(), "dark");
        QCOMPARE(StyleHelper::MainColor(), QColor(Qt::white));
        QCOMPARE(StyleHelper::ThemeColor("--n-bg"), QColor("#222"));
        // Every variable the template uses is defined by both themes: Qt drops a rule that keeps one.
        const QRegularExpressionMatch unfilled = QRegularExpression("--n-[\\w-]+").match(qApp->styleSheet());
        QVERIFY2(!unfilled.hasMatch(), qPrintable(unfilled.captured()));
        QPushButton button(QStringLiteral("Connect"));
        button.resize(120, 32);
        QCOMPARE(button.grab().toImage().pixelColor(6, 16), QColor("#363636"));
        // The object-name rules close the template: they apply only when every rule before them parsed.
        button.setObjectName(QStringLiteral("positive"));
        button.style()->polish(&button);
        QCOMPARE(button.grab().toImage().pixelColor(6, 16), QColor("#3C0"));
    }

    void resolveStyleName()
    {
        QCOMPARE(StyleHelper::resolveStyleName(false, { "windowsvista", "Windows", "Fusion" }), "windowsvista");
        QCOMPARE(StyleHelper::resolveStyleName(false, { "Fusion", "Windows" }), "Windows");
        QCOMPARE(StyleHelper::resolveStyleName(true, { "Windows", "Breeze" }), "Windows");
    }

    void variables()
    {
        StyleHelper* style = StyleHelper::Instance();
        style->setCustomValue("--n-tooltip-bg", "#123456");
        style->selectTheme("light");
        QCOMPARE(style->replaceThemeColors("a { background: --n-tooltip-bg; }"), "a { background: #123456; }");
        QCOMPARE(style->replaceThemeColors("c { background: --n-sub-background; }"),
            "c { background: --n-sub-background; }");
        QCOMPARE(style->replaceThemeColors("--n-grid-time-text --n-grid-time"), "#666666 #B9B9B9");
        QCOMPARE(style->replaceThemeColors("image: url(--n-check);"), "image: url(\":/icons/check.svg\");");
        style->selectTheme("dark");
        QCOMPARE(StyleHelper::ThemeColor("--n-tooltip-bg"), QColor("#123456"));
        QVERIFY(qApp->styleSheet().contains("background: #123456"));
    }

    void link()
    {
        int calls = 0;
        auto* receiver = new QObject;
        StyleHelper::Link(
            receiver, [&calls] { ++calls; }, true);
        QCOMPARE(calls, 1);
        StyleHelper::Instance()->selectTheme("dark");
        QCOMPARE(calls, 2);
        delete receiver;
        StyleHelper::Instance()->selectTheme("light");
        QCOMPARE(calls, 2);
    }

    // The theme follows its setting, a number or a name; only "System" (0) follows the desktop's palette.
    void interlinkFollowsSetting()
    {
        StyleHelper* style = StyleHelper::Instance();
        ThemeSettings settings;
        style->selectTheme("dark");
        StyleHelper::InterlinkTheme(&settings, "ColorTheme");
        QCOMPARE(style->currentTheme(), QStringLiteral("light"));
        settings.setColorTheme("MyDarkTheme");
        QCOMPARE(style->currentTheme(), QStringLiteral("dark"));
        QSignalSpy changed(style, &StyleHelper::changed);
        emit settings.propertyChanged("colortheme");
        QCOMPARE(changed.count(), 0);
        for (int setting : { 0, 1 }) {
            settings.setColorTheme(QString::number(setting));
            QApplication::setPalette(QPalette(Qt::gray, QColor("#202020")));
            QCOMPARE(style->currentTheme(), setting == 0 ? QStringLiteral("dark") : QStringLiteral("light"));
            QApplication::setPalette(QPalette(Qt::gray, QColor("#F0F0F0")));
            QCOMPARE(style->currentTheme(), QStringLiteral("light"));
        }
    }

    // The fill the icon's root names is replaced by that of the first colour, and each colour by its new one.
    void recolorSVG()
    {
        const StringMap colors { { "#111111", "#222222" }, { "", "#FFFFFF" } };
        TemporaryHome home;
        QVERIFY(TemporaryHome::writeFile(home.path() + "/icon.svg",
            "<svg fill=\"#000\" width=\"24\"><path fill=\"#303030\"/><path fill=\"#111111\"/></svg>"));
        QCOMPARE(MediaHelper::recolorSVG(home.path() + "/icon.svg", colors),
            "<svg fill=\"#FFFFFF\" width=\"24\"><path fill=\"#FFFFFF\"/><path fill=\"#222222\"/></svg>");
        QCOMPARE(MediaHelper::recolorSVG(home.path() + "/missing.svg", colors), QString());
    }

    void iconCaches()
    {
        const QIcon plain = MediaHelper::icon("qrc:/icons/check.svg");
        QCOMPARE(MediaHelper::icon(":/icons/check.svg").cacheKey(), plain.cacheKey());
        const QIcon white = MediaHelper::iconColored(":/icons/check.svg", "#FFFFFF");
        QCOMPARE(MediaHelper::iconColored(":/icons/check.svg", "#FFFFFF").cacheKey(), white.cacheKey());
        QVERIFY(MediaHelper::iconColored(":/icons/check.svg", "#FF0000").cacheKey() != white.cacheKey());
        QVERIFY(MediaHelper::iconColored(":/icons/close.svg", "#FFFFFF").cacheKey() != white.cacheKey());
        const QImage red = MediaHelper::svgColored("qrc:/icons/record.svg", { { "#303030", "#FF0000" } });
        QCOMPARE(red.pixelColor(12, 12), QColor(Qt::red));
    }
};

QTEST_MAIN(tst_StyleHelper)
#include "tst_stylehelper.moc"
