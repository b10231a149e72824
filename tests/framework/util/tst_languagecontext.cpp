#include "DataRow.h"
#include "LanguageContext.h"
#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QFile>

class tst_LanguageContext : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Only the compiled-in catalogues: the build folder beside the test must not change the outcome.
        LanguageContext::UseFilesInRootDir = false;
        QCOMPARE(LanguageContext::availableLanguages(), QStringList({ "en_US", "ru_RU" }));
    }

    void detect_data()
    {
        addColumns<QByteArray, QString, QString>({ "settings", "locale", "expected" });
        const auto xml = [](const char* inner) -> QByteArray {
            return "<?xml version=\"1.0\"?>\n<HalvexSettings>" + QByteArray(inner) + "</HalvexSettings>";
        };
        addRow("file ru_RU, English system", xml("<Language>ru_RU</Language><ColorTheme>Dark</ColorTheme>"), "en_US",
            "ru_RU");
        addRow("no file, ru_KZ", QByteArray(), "ru_KZ", "ru_RU");
        addRow("file without language", xml("<View>View_Table</View>"), "ru_RU", "ru_RU");
        addRow("unknown language kept out", xml("<Language>de_DE</Language>"), "en_US", "en_US");
        addRow("later element wins", xml("<Language>en_US</Language><Language>ru_RU</Language>"), "en_US", "ru_RU");
        addRow("broken file keeps what was read", QByteArray("<HalvexSettings><Language>ru_RU</Language><Oops"),
            "en_US", "ru_RU");
    }
    void detect()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, locale);
        TemporaryHome home;
        const QString path = home.path() + QStringLiteral("/Settings.xml");
        QVERIFY(settings.isNull() || TemporaryHome::writeFile(path, settings));
        QTEST(LanguageContext::detectLanguage(path, locale), "expected");
    }

    void chooseAndTranslate()
    {
        LanguageContext* context = LanguageContext::Instance();
        QCOMPARE(context->chooseLanguage("ru-RU", "en_US"), "ru_RU");
        QCOMPARE(context->chooseLanguage("fr-FR", "ru_RU"), "ru_RU"); // the system's when the code has none
        QCOMPARE(context->chooseLanguage("", "fr_FR"), "en_US");
        QCOMPARE(LanguageContext::translate("Generic", "Not now", "ru-RU"), "Не сейчас");
        QCOMPARE(LanguageContext::translate("Generic", "Not now", "de-DE"), "Not now");
        QCOMPARE(LanguageContext::setLanguage("ru-RU"), "ru_RU");
        QCOMPARE(LanguageContext::currentLanguage(), "ru_RU");
    }

    void montageDescriptionKeepsItsLineFeeds()
    {
        const QString text = LanguageContext::translate("Generic", "MontageDescription", "ru_RU");
        QCOMPARE(text.count(QLatin1Char('\n')), 5);
        QVERIFY(
            text.contains("например:\n<div style=\"font-family: 'Courier New', monospace\">2<br>1;4</div>\nто будет"));
    }
};

QTEST_GUILESS_MAIN(tst_LanguageContext)
#include "tst_languagecontext.moc"
