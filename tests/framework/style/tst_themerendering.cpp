#include "../DataRow.h"
#include "MediaHelper.h"
#include "StyleHelper.h"

#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTest>

namespace {

QImage renderSvg(const QString& path)
{
    QSvgRenderer renderer(path);
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (!renderer.isValid())
        return {};
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

// Lightness of the opaque pixels: the smallest and the largest, and how many there are.
struct Ink
{
    int count = 0;
    int darkest = 255;
    int lightest = 0;
};

Ink inkOf(const QImage& image)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() < 250)
                continue;
            ++ink.count;
            ink.darkest = std::min(ink.darkest, pixel.lightness());
            ink.lightest = std::max(ink.lightest, pixel.lightness());
        }
    }
    return ink;
}

} // namespace

class tst_ThemeRendering : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StyleHelper* style = StyleHelper::Instance();
        style->addStyleFile(":/themes/nt.theme.css");
        style->addThemeFile(":/themes/light.css", "light");
        style->addThemeFile(":/themes/dark.css", "dark");
    }

    void icons_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : { "record", "refresh", "table", "chart-line", "file-chart", "folder-open", "settings",
                 "information", "star", "translate", "brightness", "arrow-left-right", "arrow-up-down", "chevron-up",
                 "chevron-down", "chevron-left", "chevron-right", "check", "close", "close-circle" })
            addRow(name, QString::fromLatin1(name));
    }

    void icons()
    {
        QFETCH(QString, name);
        const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".svg");

        // Drawn in #303030 only, so that recolouring reaches every stroke.
        const Ink drawn = inkOf(renderSvg(path));
        QVERIFY2(drawn.count > 30, qPrintable(name));
        QCOMPARE(drawn.darkest, QColor(0x30, 0x30, 0x30).lightness());
        QCOMPARE(drawn.lightest, QColor(0x30, 0x30, 0x30).lightness());

        const QImage white = MediaHelper::svgColored(path, { { "#303030", "#FFFFFF" } });
        const Ink recoloured = inkOf(white);
        QVERIFY(recoloured.count > 10);
        QCOMPARE(recoloured.darkest, 255);
    }

    void darkForms_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : { "chevron-up", "chevron-down", "chevron-left", "chevron-right", "check", "close" })
            addRow(name, QString::fromLatin1(name));
    }

    void darkForms()
    {
        QFETCH(QString, name);
        const Ink light = inkOf(renderSvg(QStringLiteral(":/icons/") + name + QStringLiteral(".svg")));
        const Ink dark = inkOf(renderSvg(QStringLiteral(":/icons/") + name + QStringLiteral("-dark.svg")));
        QVERIFY(dark.count > 30);
        QVERIFY(dark.darkest >= 200);
        // The same drawing: only the colour differs.
        QCOMPARE(dark.count, light.count);
    }

    void styledWidgets_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<QColor>("buttonBackground");
        QTest::addColumn<bool>("lightCheckMark");

        addRow("light", "light", QColor("#E6E6E6"), false);
        addRow("dark", "dark", QColor("#363636"), true);
    }

    void styledWidgets()
    {
        QFETCH(QString, theme);
        QFETCH(QColor, buttonBackground);
        QFETCH(bool, lightCheckMark);

        StyleHelper::Instance()->selectTheme(theme);
        QPushButton button(QStringLiteral("Connect"));
        button.resize(120, 32);
        const QImage buttonImage = button.grab().toImage();
        QCOMPARE(buttonImage.pixelColor(6, 16), buttonBackground);

        // The object-name rules close the template: they apply only when every rule before them parsed.
        QPushButton positive(QStringLiteral("Save"));
        positive.setObjectName(QStringLiteral("positive"));
        positive.resize(120, 32);
        QCOMPARE(positive.grab().toImage().pixelColor(6, 16), QColor("#3C0"));

        QCheckBox check;
        check.setChecked(true);
        check.resize(check.sizeHint());
        const QImage checkImage = check.grab().toImage();
        // The indicator sits at the left edge: its mark is the theme's check image.
        const QImage indicator = checkImage.copy(0, 0, checkImage.height(), checkImage.height());
        const Ink ink = inkOf(indicator);
        QVERIFY(ink.count > 0);
        if (lightCheckMark)
            QVERIFY2(ink.lightest >= 200, qPrintable(QString::number(ink.lightest)));
        else
            QVERIFY2(ink.darkest <= 80, qPrintable(QString::number(ink.darkest)));
    }
};

QTEST_MAIN(tst_ThemeRendering)
#include "tst_themerendering.moc"
