#include "LanguageContext.h"
#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

class tst_LanguageContext : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void catalogues();
    void detect_data();
    void detect();
    void choose_data();
    void choose();
    void translate_data();
    void translate();
    void montageDescriptionKeepsItsLineFeeds();
    void setLanguageInstallsTheCatalogue();

private:
    TemporaryHome m_home;
};

void tst_LanguageContext::initTestCase()
{
    // Only the compiled-in catalogues: the build folder beside the test must not change the outcome.
    LanguageContext::UseFilesInRootDir = false;
    QVERIFY(m_home.isValid());
}

void tst_LanguageContext::catalogues()
{
    QCOMPARE(LanguageContext::availableLanguages(), QStringList({ "en_US", "ru_RU" }));
    QCOMPARE(LanguageContext::Instance()->catalogueFiles("ru-RU"), QStringList { ":/translations/Halvex_ru_RU.qm" });
    QVERIFY(LanguageContext::hasLanguage("en-US"));
    QVERIFY(!LanguageContext::hasLanguage("de_DE"));
    QVERIFY(!LanguageContext::hasLanguage(""));
}

void tst_LanguageContext::detect_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    const QByteArray ru = "<?xml version=\"1.0\"?>\n<HalvexSettings>\n    <Language>ru_RU</Language>\n"
                          "    <ColorTheme>Dark</ColorTheme>\n</HalvexSettings>\n";
    const QByteArray en
        = "<?xml version=\"1.0\"?>\n<HalvexSettings>\n    <Language>en_US</Language>\n</HalvexSettings>\n";
    QTest::newRow("file ru_RU, English system") << ru << "en_US"
                                                << "ru_RU";
    QTest::newRow("file en_US, Russian system") << en << "ru_RU"
                                                << "en_US";
    QTest::newRow("no file, ru_KZ") << QByteArray() << "ru_KZ"
                                    << "ru_RU";
    QTest::newRow("no file, de_DE") << QByteArray() << "de_DE"
                                    << "en_US";
    QTest::newRow("file without language")
        << QByteArray("<HalvexSettings><View>View_Table</View></HalvexSettings>") << "ru_RU"
        << "ru_RU";
    QTest::newRow("unknown language kept out")
        << QByteArray("<HalvexSettings><Language>de_DE</Language></HalvexSettings>") << "en_US"
        << "en_US";
    QTest::newRow("later element wins") << QByteArray(
        "<HalvexSettings><Language>en_US</Language><Language>ru_RU</Language></HalvexSettings>")
                                        << "en_US"
                                        << "ru_RU";
    QTest::newRow("broken file keeps what was read")
        << QByteArray("<HalvexSettings><Language>ru_RU</Language><Oops") << "en_US"
        << "ru_RU";
}

void tst_LanguageContext::detect()
{
    QFETCH(QByteArray, settings);
    QFETCH(QString, locale);
    QFETCH(QString, expected);

    const QString path = m_home.path() + QStringLiteral("/Settings.xml");
    QFile::remove(path);
    if (!settings.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settings);
    }
    QCOMPARE(LanguageContext::detectLanguage(path, locale), expected);
}

void tst_LanguageContext::choose_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("hyphen form") << "ru-RU"
                                 << "en_US"
                                 << "ru_RU";
    QTest::newRow("stored form") << "en_US"
                                 << "ru_RU"
                                 << "en_US";
    QTest::newRow("system locale when the code has none") << "fr-FR"
                                                          << "ru_RU"
                                                          << "ru_RU";
    QTest::newRow("first available otherwise") << "fr-FR"
                                               << "fr_FR"
                                               << "en_US";
    QTest::newRow("empty code") << ""
                                << "de_DE"
                                << "en_US";
}

void tst_LanguageContext::choose()
{
    QFETCH(QString, code);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(LanguageContext::Instance()->chooseLanguage(code, locale), expected);
}

void tst_LanguageContext::translate_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Not now, ru-RU") << "Generic"
                                    << "Not now"
                                    << "ru-RU" << QString::fromUtf8("Не сейчас");
    QTest::newRow("Not now, en-US") << "Generic"
                                    << "Not now"
                                    << "en-US"
                                    << "Not now";
    QTest::newRow("no catalogue") << "Generic"
                                  << "Not now"
                                  << "de-DE"
                                  << "Not now";
    QTest::newRow("Cyrillic source") << "MainWindow" << QString::fromUtf8("Отображение в виде таблицы") << "en_US"
                                     << "Display as table";
    QTest::newRow("enumeration key") << "ColorThemeEnum"
                                     << "Dark"
                                     << "ru_RU" << QString::fromUtf8("Тёмная");
    QTest::newRow("English entry") << "AcquisitionVariant"
                                   << "Acquire_aRIR"
                                   << "en-US"
                                   << "R-IR alternating";
    QTest::newRow("other context") << "Portal"
                                   << "Not now"
                                   << "ru-RU"
                                   << "Not now";
}

void tst_LanguageContext::translate()
{
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, language);
    QFETCH(QString, expected);
    QCOMPARE(LanguageContext::translate(context, source, language), expected);
}

void tst_LanguageContext::montageDescriptionKeepsItsLineFeeds()
{
    const QString text = LanguageContext::translate("Generic", "MontageDescription", "ru_RU");
    QVERIFY(text.startsWith(QString::fromUtf8("Каждая текстовая строка")));
    QCOMPARE(text.count(QLatin1Char('\n')), 5);
    QVERIFY(text.contains(
        QString::fromUtf8("например:\n<div style=\"font-family: 'Courier New', monospace\">2<br>1;4</div>\nто будет")));
    QVERIFY(text.contains(QString::fromUtf8("каналов.<br><br>\nМожно")));
    QVERIFY(text.endsWith(QLatin1String("\"15=FpZ-AF7;14=FpZ-AF8\"")));
}

void tst_LanguageContext::setLanguageInstallsTheCatalogue()
{
    QCOMPARE(LanguageContext::currentLanguage(), QString());
    QCOMPARE(LanguageContext::setLanguage("ru-RU"), QStringLiteral("ru_RU"));
    QCOMPARE(LanguageContext::currentLanguage(), QStringLiteral("ru_RU"));
    QCOMPARE(QCoreApplication::translate("Generic", "Not now"), QString::fromUtf8("Не сейчас"));
    QCOMPARE(QCoreApplication::translate("ViewMode", "View_Table"), QString::fromUtf8("Таблица"));
}

QTEST_GUILESS_MAIN(tst_LanguageContext)
#include "tst_languagecontext.moc"
