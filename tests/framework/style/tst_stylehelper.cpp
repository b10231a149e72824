#include "../DataRow.h"
#include "AbstractSettings.h"
#include "StyleHelper.h"

#include <QApplication>
#include <QRegularExpression>
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

void setSystemPalette(const QColor& window, const QColor& text)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    QApplication::setPalette(palette);
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
    void initTestCase()
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

    void parseTheme_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<StringMap>("expected");
        addRow("root block", ":root {\n    --n-bg: #FFF;\n    --n-text: #000;\n}\n",
            StringMap { { "--n-bg", "#FFF" }, { "--n-text", "#000" } });
        addRow("quoted value", "--n-chevron-up: \":/icons/chevron-up.svg\";",
            StringMap { { "--n-chevron-up", "\":/icons/chevron-up.svg\"" } });
        addRow("two separators ignored", "--n-a: b: c;\n--n-d: #111;", StringMap { { "--n-d", "#111" } });
        addRow("colon without space ignored", "--n-a:#FFF;", StringMap {});
        addRow("later line wins", "--n-a: #111;\n--n-a: #222;", StringMap { { "--n-a", "#222" } });
        addRow("only one semicolon removed", "--n-a: x;;", StringMap { { "--n-a", "x;" } });
        addRow("CR LF lines", ":root {\r\n  --n-a: #123;\r\n}", StringMap { { "--n-a", "#123" } });
    }
    void parseTheme()
    {
        QFETCH(QString, text);
        QTEST(StyleHelper::parseTheme(text), "expected");
    }

    void shippedThemes_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        addRow("light bg", "light", "--n-bg", "#FFF");
        addRow("dark bg", "dark", "--n-bg", "#222");
        addRow("light grid time text", "light", "--n-grid-time-text", "#666666");
        addRow("dark disabled button", "dark", "--n-btn-disabled-bg", "#222222");
        addRow("light check", "light", "--n-check", "\":/icons/check.svg\"");
        addRow("dark close", "dark", "--n-close", "\":/icons/close-dark.svg\"");
    }
    void shippedThemes()
    {
        QFETCH(QString, theme);
        QFETCH(QString, name);
        StyleHelper::Instance()->selectTheme(theme);
        QTEST(StyleHelper::ThemeValue(name), "value");
    }

    void selectTheme_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("dark");
        addRow("unknown Dark keeps light", "light", "Dark", "light", false);
        addRow("unknown name keeps dark", "dark", "blue", "dark", true);
        addRow("dark", "light", "dark", "dark", true);
        addRow("light", "dark", "light", "light", false);
    }
    void selectTheme()
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
        QCOMPARE(widgetStyleName(), StyleHelper::resolveStyleName(dark, QStyleFactory::keys()).toLower());
        if (dark)
            QCOMPARE(widgetStyleName(), QStringLiteral("fusion"));
        // Every variable the template uses is defined by both themes: Qt drops a rule that keeps one.
        const QRegularExpressionMatch unfilled
            = QRegularExpression(QStringLiteral("--n-[\\w-]+")).match(qApp->styleSheet());
        QVERIFY2(!unfilled.hasMatch(), qPrintable(unfilled.captured()));
    }

    void resolveStyleName_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("expected");
        addRow("dark, Fusion offered", true, QStringList { "Windows", "Fusion" }, "Fusion");
        addRow("light, vista offered", false, QStringList { "windowsvista", "Windows", "Fusion" }, "windowsvista");
        addRow("light falls back to a key inside the name", false, QStringList { "Fusion", "Windows" }, "Windows");
        addRow("dark without Fusion takes the first key", true, QStringList { "Windows", "Breeze" }, "Windows");
        addRow("no styles", true, QStringList {}, QString());
    }
    void resolveStyleName()
    {
        QFETCH(bool, dark);
        QFETCH(QStringList, keys);
        QTEST(StyleHelper::resolveStyleName(dark, keys), "expected");
    }

    void replaceThemeColors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        addRow("theme variable", "a { color: --n-text; }", "a { color: #000; }");
        addRow("custom value", "b { font-size: --n-font-size; }", "b { font-size: 14px; }");
        addRow("unknown names stay", "c { background: --n-sub-background; }", "c { background: --n-sub-background; }");
        addRow("longer name not cut by a shorter one", "--n-grid-time-text --n-grid-time", "#666666 #B9B9B9");
        addRow("quoted url", "image: url(--n-check);", "image: url(\":/icons/check.svg\");");
    }
    void replaceThemeColors()
    {
        QFETCH(QString, text);
        StyleHelper* style = StyleHelper::Instance();
        style->setCustomValue("--n-font-size", "14px");
        style->selectTheme("light");
        QTEST(style->replaceThemeColors(text), "expected");
    }

    void customValueWins()
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

    void link()
    {
        int calls = 0;
        const auto once = [&calls] { ++calls; };
        StyleHelper::Link(nullptr, once, true);
        StyleHelper::Instance()->selectTheme("light");
        QCOMPARE(calls, 0);

        auto* receiver = new QObject;
        StyleHelper::Link(receiver, once, true);
        QCOMPARE(calls, 1);
        StyleHelper::Instance()->selectTheme("dark");
        QCOMPARE(calls, 2);
        StyleHelper::Link(
            receiver, [&calls] { calls += 10; }, false);
        QCOMPARE(calls, 2);
        StyleHelper::Instance()->selectTheme("Dark");
        QCOMPARE(calls, 13);
        delete receiver;
        StyleHelper::Instance()->selectTheme("light");
        QCOMPARE(calls, 13);
    }

    void interlinkFollowsSetting()
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

    void systemThemeFollowsPalette_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("afterDarkPalette");
        QTest::addColumn<QString>("afterLightPalette");
        addRow("System follows", int(StyleHelper::System), "dark", "light");
        addRow("Light stays", int(StyleHelper::Light), "light", "light");
        addRow("Dark stays", int(StyleHelper::Dark), "dark", "dark");
    }
    void systemThemeFollowsPalette()
    {
        QFETCH(int, setting);
        StyleHelper* style = StyleHelper::Instance();
        const QPalette original = QApplication::palette();
        QVERIFY(!StyleHelper::systemPrefersDark());

        ThemeSettings settings;
        settings.setTheme(QVariant::fromValue(StyleHelper::ColorThemeEnum(setting)));
        StyleHelper::InterlinkTheme(&settings, "ColorTheme");

        setSystemPalette(QColor("#202020"), Qt::white);
        QVERIFY(StyleHelper::systemPrefersDark());
        QTEST(style->currentTheme(), "afterDarkPalette");
        setSystemPalette(QColor("#F0F0F0"), Qt::black);
        QTEST(style->currentTheme(), "afterLightPalette");
        QApplication::setPalette(original);
    }
};

QTEST_MAIN(tst_StyleHelper)
#include "tst_stylehelper.moc"
