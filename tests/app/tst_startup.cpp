#include "Startup.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    // The data folder is made and made current; a file in its place leaves the start directory current.
    void dataFolder()
    {
        const QString before = QDir::currentPath();
        {
            TemporaryHome home;
            QVERIFY(TemporaryHome::writeFile(home.dataFolder(), {}));
            QCOMPARE(Startup::prepareDataFolder(), QString());
            QCOMPARE(QDir::currentPath(), before);
        }
        TemporaryHome home;
        const QString folder = Startup::prepareDataFolder();
        QCOMPARE(folder, home.dataFolder());
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        QVERIFY(QDir::setCurrent(before));
    }

    void interfaceFontResolvesToEmbeddedOpenSans()
    {
        Startup::installFonts();
        const QFont font = QApplication::font();
        QCOMPARE(font.family(), QStringLiteral("Open Sans SemiCondensed"));
        QCOMPARE(font.pixelSize(), 14);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Open Sans"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
