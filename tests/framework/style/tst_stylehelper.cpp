#include "AbstractSettings.h"
#include "StyleHelper.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>

namespace {

// The smallest settings object: one theme property and its change announcement.
class ThemeSettings : public AbstractSettings
{
public:
    using AbstractSettings::AbstractSettings;

    void setTheme(const QVariant& value)
    {
        m_theme = value;
        emit propertyChanged(QStringLiteral("ColorTheme"));
    }
    AbstractMetaDescriptor* metaDescriptor() override { return nullptr; }
    QVariant getValue(QString name, QVariant defaultValue) override
    {
        return name == QLatin1String("ColorTheme") ? m_theme : defaultValue;
    }
    bool setValue(QString, QVariant) override { return false; }
    bool reload() override { return false; }
    bool containsProperty(QString name) override { return name == QLatin1String("ColorTheme"); }
    QString getTextValue(QString) override { return {}; }

private:
    QVariant m_theme = QVariant::fromValue(StyleHelper::Light);
};

QPalette paletteWithWindow(const QColor& window, const QColor& text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    return palette;
}

// The style sheet wraps the widget style in a style without a name; without the sheet the widget style shows.
QString widgetStyleName()
{
    const QString sheet = qApp->styleSheet();
    qApp->setStyleSheet(QString());
    const QString name = QApplication::style()->name().toLower();
    qApp->setStyleSheet(sheet);
    return name;
}

} // namespace

using StringMap = QMap<QString, QString>;

class tst_StyleHelper : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void parseTheme_data();
    void parseTheme();
    void shippedThemes_data();
    void shippedThemes();
    void selectTheme_data();
    void selectTheme();
    void resolveStyleName_data();
    void resolveStyleName();
    void replaceThemeColors_data();
    void replaceThemeColors();
    void customValueWins();
    void link();
    void interlinkFollowsSetting();
    void systemThemeFollowsPalette_data();
    void systemThemeFollowsPalette();
};

void tst_StyleHelper::initTestCase()
{
    StyleHelper* style = StyleHelper::Instance();
    style->addStyleFile(":/themes/nt.theme.css");
    style->addThemeFile(":/themes/light.css", "light");
    style->addThemeFile(":/themes/dark.css", "dark");
    style->addThemeFile(":/themes/missing.css", "missing");
    QCOMPARE(style->themes(), QStringList({ "dark", "light" }));
    QCOMPARE(style->currentTheme(), QString());
    QCOMPARE(StyleHelper::ThemeColor("--n-bg", Qt::red), QColor(Qt::red));
    QCOMPARE(StyleHelper::ThemeValue("--n-min-height"), QStringLiteral("20.8px"));
}

void tst_StyleHelper::parseTheme_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<StringMap>("expected");

    QTest::newRow("root block") << ":root {\n    --n-bg: #FFF;\n    --n-text: #000;\n}\n"
                                << StringMap { { "--n-bg", "#FFF" }, { "--n-text", "#000" } };
    QTest::newRow("quoted value") << "--n-chevron-up: \":/icons/chevron-up.svg\";"
                                  << StringMap { { "--n-chevron-up", "\":/icons/chevron-up.svg\"" } };
    QTest::newRow("two separators ignored") << "--n-a: b: c;\n--n-d: #111;" << StringMap { { "--n-d", "#111" } };
    QTest::newRow("colon without space ignored") << "--n-a:#FFF;" << StringMap {};
    QTest::newRow("later line wins") << "--n-a: #111;\n--n-a: #222;" << StringMap { { "--n-a", "#222" } };
    QTest::newRow("only one semicolon removed") << "--n-a: x;;" << StringMap { { "--n-a", "x;" } };
    QTest::newRow("CR LF lines") << ":root {\r\n  --n-a: #123;\r\n}" << StringMap { { "--n-a", "#123" } };
}

void tst_StyleHelper::parseTheme()
{
    QFETCH(QString, text);
    QFETCH(StringMap, expected);
    QCOMPARE(StyleHelper::parseTheme(text), expected);
}

void tst_StyleHelper::shippedThemes_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");

    QTest::newRow("light bg") << "light"
                              << "--n-bg"
                              << "#FFF";
    QTest::newRow("dark bg") << "dark"
                             << "--n-bg"
                             << "#222";
    QTest::newRow("light grid time text") << "light"
                                          << "--n-grid-time-text"
                                          << "#666666";
    QTest::newRow("dark disabled button") << "dark"
                                          << "--n-btn-disabled-bg"
                                          << "#222222";
    QTest::newRow("light check") << "light"
                                 << "--n-check"
                                 << "\":/icons/check.svg\"";
    QTest::newRow("dark close") << "dark"
                                << "--n-close"
                                << "\":/icons/close-dark.svg\"";
}

void tst_StyleHelper::shippedThemes()
{
    QFETCH(QString, theme);
    QFETCH(QString, name);
    QFETCH(QString, value);

    StyleHelper::Instance()->selectTheme(theme);
    QCOMPARE(StyleHelper::ThemeValue(name), value);
}

void tst_StyleHelper::selectTheme_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("current");
    QTest::addColumn<bool>("dark");

    QTest::newRow("unknown Dark keeps light") << "light"
                                              << "Dark"
                                              << "light" << false;
    QTest::newRow("unknown name keeps dark") << "dark"
                                             << "blue"
                                             << "dark" << true;
    QTest::newRow("dark") << "light"
                          << "dark"
                          << "dark" << true;
    QTest::newRow("light") << "dark"
                           << "light"
                           << "light" << false;
}

void tst_StyleHelper::selectTheme()
{
    QFETCH(QString, before);
    QFETCH(QString, name);
    QFETCH(QString, current);
    QFETCH(bool, dark);

    StyleHelper* style = StyleHelper::Instance();
    style->selectTheme(before);
    const QString sheetBefore = qApp->styleSheet();
    QSignalSpy changed(style, &StyleHelper::changed);
    style->selectTheme(name);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(style->currentTheme(), current);
    QCOMPARE(style->isDark(), dark);
    QCOMPARE(StyleHelper::MainColor(), dark ? QColor(Qt::white) : QColor(0x30, 0x30, 0x30));
    QCOMPARE(StyleHelper::ThemeColor("--n-bg"), dark ? QColor("#222") : QColor("#FFF"));
    if (current == before)
        QCOMPARE(qApp->styleSheet(), sheetBefore);
    const QString expectedStyle = StyleHelper::resolveStyleName(dark, QStyleFactory::keys()).toLower();
    QCOMPARE(widgetStyleName(), expectedStyle);
    if (dark)
        QCOMPARE(widgetStyleName(), QStringLiteral("fusion"));
    QVERIFY(!qApp->styleSheet().contains("--n-bg"));
}

void tst_StyleHelper::resolveStyleName_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("expected");

    QTest::newRow("dark, Fusion offered") << true << QStringList { "Windows", "Fusion" } << "Fusion";
    QTest::newRow("light, vista offered")
        << false << QStringList { "windowsvista", "Windows", "Fusion" } << "windowsvista";
    QTest::newRow("light falls back to a key inside the name")
        << false << QStringList { "Fusion", "Windows" } << "Windows";
    QTest::newRow("dark without Fusion takes the first key")
        << true << QStringList { "Windows", "Breeze" } << "Windows";
    QTest::newRow("no styles") << true << QStringList {} << QString();
}

void tst_StyleHelper::resolveStyleName()
{
    QFETCH(bool, dark);
    QFETCH(QStringList, keys);
    QFETCH(QString, expected);
    QCOMPARE(StyleHelper::resolveStyleName(dark, keys), expected);
}

void tst_StyleHelper::replaceThemeColors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("theme variable") << "a { color: --n-text; }"
                                    << "a { color: #000; }";
    QTest::newRow("custom value") << "b { font-size: --n-font-size; }"
                                  << "b { font-size: 14px; }";
    QTest::newRow("unknown names stay") << "c { background: --n-sub-background; }"
                                        << "c { background: --n-sub-background; }";
    QTest::newRow("longer name not cut by a shorter one") << "--n-grid-time-text --n-grid-time"
                                                          << "#666666 #B9B9B9";
    QTest::newRow("quoted url") << "image: url(--n-check);"
                                << "image: url(\":/icons/check.svg\");";
}

void tst_StyleHelper::replaceThemeColors()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    StyleHelper* style = StyleHelper::Instance();
    style->setCustomValue("--n-font-size", "14px");
    style->selectTheme("light");
    QCOMPARE(style->replaceThemeColors(text), expected);
}

void tst_StyleHelper::customValueWins()
{
    StyleHelper* style = StyleHelper::Instance();
    style->selectTheme("light");
    QCOMPARE(StyleHelper::ThemeColor("--n-tooltip-bg"), QColor("#FFF"));
    style->setCustomValue("--n-tooltip-bg", "#123456");
    QCOMPARE(StyleHelper::ThemeColor("--n-tooltip-bg"), QColor("#123456"));
    // The sheet is rebuilt at the next selection, not at once.
    QVERIFY(!qApp->styleSheet().contains("#123456"));
    style->selectTheme("dark");
    QCOMPARE(StyleHelper::ThemeColor("--n-tooltip-bg"), QColor("#123456"));
    QVERIFY(qApp->styleSheet().contains("background: #123456"));
}

void tst_StyleHelper::link()
{
    int calls = 0;
    StyleHelper::Link(
        nullptr, [&calls]() { ++calls; }, true);
    StyleHelper::Instance()->selectTheme("light");
    QCOMPARE(calls, 0);

    auto* receiver = new QObject;
    StyleHelper::Link(
        receiver, [&calls]() { ++calls; }, true);
    QCOMPARE(calls, 1);
    StyleHelper::Instance()->selectTheme("dark");
    QCOMPARE(calls, 2);
    StyleHelper::Link(
        receiver, [&calls]() { calls += 10; }, false);
    QCOMPARE(calls, 2);
    StyleHelper::Instance()->selectTheme("Dark");
    QCOMPARE(calls, 13);
    delete receiver;
    StyleHelper::Instance()->selectTheme("light");
    QCOMPARE(calls, 13);
}

void tst_StyleHelper::interlinkFollowsSetting()
{
    StyleHelper* style = StyleHelper::Instance();
    StyleHelper::InterlinkTheme(nullptr, "ColorTheme");

    ThemeSettings settings;
    style->selectTheme("dark");
    StyleHelper::InterlinkTheme(&settings, QString());
    QVERIFY(style->isDark());

    StyleHelper::InterlinkTheme(&settings, "ColorTheme");
    QCOMPARE(style->currentTheme(), QStringLiteral("light"));
    settings.setTheme(QVariant::fromValue(StyleHelper::Dark));
    QCOMPARE(style->currentTheme(), QStringLiteral("dark"));

    QSignalSpy changed(style, &StyleHelper::changed);
    emit settings.propertyChanged("colortheme");
    QCOMPARE(changed.count(), 0);
    settings.setTheme(QStringLiteral("MyDarkTheme"));
    QCOMPARE(style->currentTheme(), QStringLiteral("dark"));
    settings.setTheme(QVariant::fromValue(StyleHelper::Light));
    QCOMPARE(style->currentTheme(), QStringLiteral("light"));
}

void tst_StyleHelper::systemThemeFollowsPalette_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("afterDarkPalette");
    QTest::addColumn<QString>("afterLightPalette");

    QTest::newRow("System follows") << int(StyleHelper::System) << "dark"
                                    << "light";
    QTest::newRow("Light stays") << int(StyleHelper::Light) << "light"
                                 << "light";
    QTest::newRow("Dark stays") << int(StyleHelper::Dark) << "dark"
                                << "dark";
}

void tst_StyleHelper::systemThemeFollowsPalette()
{
    QFETCH(int, setting);
    QFETCH(QString, afterDarkPalette);
    QFETCH(QString, afterLightPalette);

    StyleHelper* style = StyleHelper::Instance();
    const QPalette original = QApplication::palette();
    QVERIFY(!StyleHelper::systemPrefersDark());

    ThemeSettings settings;
    settings.setTheme(QVariant::fromValue(StyleHelper::ColorThemeEnum(setting)));
    StyleHelper::InterlinkTheme(&settings, "ColorTheme");

    QApplication::setPalette(paletteWithWindow(QColor("#202020"), Qt::white));
    QVERIFY(StyleHelper::systemPrefersDark());
    QCOMPARE(style->currentTheme(), afterDarkPalette);

    QApplication::setPalette(paletteWithWindow(QColor("#F0F0F0"), Qt::black));
    QCOMPARE(style->currentTheme(), afterLightPalette);
    QApplication::setPalette(original);
}

QTEST_MAIN(tst_StyleHelper)
#include "tst_stylehelper.moc"
