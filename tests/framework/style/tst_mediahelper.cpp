#include "../DataRow.h"
#include "MediaHelper.h"
#include "TemporaryHome.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>

using StringMap = QMap<QString, QString>;

class tst_MediaHelper : public QObject
{
    Q_OBJECT
private slots:
    void recolorSVG_data()
    {
        QTest::addColumn<QString>("svg");
        QTest::addColumn<StringMap>("colors");
        QTest::addColumn<QString>("expected");

        addRow("existing fill replaced", "<svg fill=\"#000\" width=\"24\"><path fill=\"#303030\"/></svg>",
            StringMap { { "#303030", "#FFFFFF" } },
            "<svg fill=\"#FFFFFF\" width=\"24\"><path fill=\"#FFFFFF\"/></svg>");
        addRow("fill added", "  <svg width=\"24\">\n<path stroke=\"#303030\"/></svg>\n",
            StringMap { { "#303030", "#0CF" } }, "<svg width=\"24\" fill=\"#0CF\">\n<path stroke=\"#0CF\"/></svg>");
        addRow("empty old colour is #303030", "<svg><path fill=\"#303030\"/></svg>", StringMap { { "", "#ABC" } },
            "<svg fill=\"#ABC\"><path fill=\"#ABC\"/></svg>");
        addRow("two colours, first sets the fill", "<svg><path fill=\"#303030\"/><path fill=\"#111111\"/></svg>",
            StringMap { { "#111111", "#222222" }, { "#303030", "#FFFFFF" } },
            "<svg fill=\"#222222\"><path fill=\"#FFFFFF\"/><path fill=\"#222222\"/></svg>");
        addRow("case-sensitive colour text", "<svg><path fill=\"#30303a\"/></svg>", StringMap { { "#30303A", "#FFF" } },
            "<svg fill=\"#FFF\"><path fill=\"#30303a\"/></svg>");
    }

    void recolorSVG()
    {
        QFETCH(QString, svg);
        QFETCH(StringMap, colors);
        QFETCH(QString, expected);

        const QString path = m_home.path() + QStringLiteral("/icon.svg");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(svg.toUtf8());
        file.close();
        QCOMPARE(MediaHelper::recolorSVG(path, colors), expected);
        QCOMPARE(MediaHelper::recolorSVG(m_home.path() + QStringLiteral("/missing.svg"), colors), QString());
    }

    void svgColoredPaintsTheNewColour()
    {
        const QImage image = MediaHelper::svgColored("qrc:/icons/record.svg", { { "#303030", "#FF0000" } });
        QCOMPARE(image.size(), QSize(24, 24));
        QCOMPARE(QColor(image.pixel(12, 12)), QColor(Qt::red));
    }

    void iconCaches()
    {
        const QIcon plain = MediaHelper::icon("qrc:/icons/check.svg");
        QVERIFY(!plain.isNull());
        QCOMPARE(MediaHelper::icon(":/icons/check.svg").cacheKey(), plain.cacheKey());

        const QIcon white = MediaHelper::iconColored(":/icons/check.svg", "#FFFFFF");
        QCOMPARE(MediaHelper::iconColored(":/icons/check.svg", "#FFFFFF").cacheKey(), white.cacheKey());
        QVERIFY(MediaHelper::iconColored(":/icons/check.svg", "#FF0000").cacheKey() != white.cacheKey());
        QCOMPARE(MediaHelper::iconColored(":/icons/check.svg", StringMap {}).cacheKey(), plain.cacheKey());

        const QImage rendered = white.pixmap(24, 24).toImage();
        int opaque = 0;
        for (int y = 0; y < rendered.height(); ++y) {
            for (int x = 0; x < rendered.width(); ++x) {
                const QColor pixel = rendered.pixelColor(x, y);
                if (pixel.alpha() == 255) {
                    ++opaque;
                    QCOMPARE(pixel, QColor(Qt::white));
                }
            }
        }
        QVERIFY(opaque > 10);
    }

private:
    TemporaryHome m_home;
};

QTEST_MAIN(tst_MediaHelper)
#include "tst_mediahelper.moc"
