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
        Startup::installFonts();
        const QFont font = QApplication::font();
        QCOMPARE(font.family(), QStringLiteral("Open Sans SemiCondensed"));
        QCOMPARE(font.pixelSize(), 14);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Open Sans"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
