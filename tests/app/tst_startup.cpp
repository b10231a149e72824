#include "Startup.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void dataFolderIsCreatedAndMadeCurrent()
    {
        TemporaryHome home;
        const QString before = QDir::currentPath();
        QVERIFY(!QDir(home.dataFolder()).exists());
        const QString folder = Startup::prepareDataFolder();
        QCOMPARE(folder, home.dataFolder());
        QVERIFY(QDir(folder).exists());
        QCOMPARE(QDir::currentPath(), QDir(folder).canonicalPath());
        // Relative names now land in the data folder.
        QVERIFY(TemporaryHome::writeFile(QStringLiteral("Settings.xml"), {}));
        QVERIFY(QFile::exists(folder + QStringLiteral("/Settings.xml")));
        QVERIFY(QDir::setCurrent(before));
    }

    void unusableDataFolderKeepsTheStartDirectory()
    {
        TemporaryHome home;
        QVERIFY(TemporaryHome::writeFile(home.dataFolder(), {})); // a file where the folder should be
        const QString before = QDir::currentPath();
        QCOMPARE(Startup::prepareDataFolder(), QString());
        QCOMPARE(QDir::currentPath(), before);
    }

    void interfaceFontResolvesToEmbeddedOpenSans()
    {
        for (const char* cut : { "Regular", "Italic", "Bold", "BoldItalic" }) {
            const QString file = QStringLiteral(":/fres/fonts/OpenSans/OpenSans_SemiCondensed-%1.ttf").arg(cut);
            QVERIFY2(QFile::exists(file), qPrintable(file));
        }
        Startup::installFonts();
        const QFont font = QApplication::font();
        QCOMPARE(font.family(), QStringLiteral("Open Sans SemiCondensed"));
        QCOMPARE(font.pixelSize(), 14);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Open Sans"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
