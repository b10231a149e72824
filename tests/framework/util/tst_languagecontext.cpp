#include "../DataRow.h"
#include "LanguageContext.h"
#include "TemporaryHome.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

class tst_LanguageContext : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Only the compiled-in catalogues: the build folder beside the test must not change the outcome.
        LanguageContext::UseFilesInRootDir = false;
        QVERIFY(m_home.isValid());
    }

    void catalogues()
    {
        QCOMPARE(LanguageContext::availableLanguages(), QStringList({ "en_US", "ru_RU" }));
        QCOMPARE(
            LanguageContext::Instance()->catalogueFiles("ru-RU"), QStringList { ":/translations/Halvex_ru_RU.qm" });
        QVERIFY(LanguageContext::hasLanguage("en-US"));
        QVERIFY(!LanguageContext::hasLanguage("de_DE"));
        QVERIFY(!LanguageContext::hasLanguage(""));
    }

    void detect_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        const QByteArray ru = "<?xml version=\"1.0\"?>\n<HalvexSettings>\n    <Language>ru_RU</Language>\n"
                              "    <ColorTheme>Dark</ColorTheme>\n</HalvexSettings>\n";
        const QByteArray en
            = "<?xml version=\"1.0\"?>\n<HalvexSettings>\n    <Language>en_US</Language>\n</HalvexSettings>\n";
        const auto xml = [](const char* inner) -> QByteArray {
            return "<HalvexSettings>" + QByteArray(inner) + "</HalvexSettings>";
        };
        addRow("file ru_RU, English system", ru, "en_US", "ru_RU");
        addRow("file en_US, Russian system", en, "ru_RU", "en_US");
        addRow("no file, ru_KZ", QByteArray(), "ru_KZ", "ru_RU");
        addRow("no file, de_DE", QByteArray(), "de_DE", "en_US");
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
        const QString path = m_home.path() + QStringLiteral("/Settings.xml");
        QFile::remove(path);
        if (!settings.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings);
        }
        QTEST(LanguageContext::detectLanguage(path, locale), "expected");
    }

    void choose_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        addRow("hyphen form", "ru-RU", "en_US", "ru_RU");
        addRow("stored form", "en_US", "ru_RU", "en_US");
        addRow("system locale when the code has none", "fr-FR", "ru_RU", "ru_RU");
        addRow("first available otherwise", "fr-FR", "fr_FR", "en_US");
        addRow("empty code", "", "de_DE", "en_US");
    }
    void choose()
    {
        QFETCH(QString, code);
        QFETCH(QString, locale);
        QTEST(LanguageContext::Instance()->chooseLanguage(code, locale), "expected");
    }

    void translate_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("expected");
        addRow("Not now, ru-RU", "Generic", "Not now", "ru-RU", QString::fromUtf8("Не сейчас"));
        addRow("Not now, en-US", "Generic", "Not now", "en-US", "Not now");
        addRow("no catalogue", "Generic", "Not now", "de-DE", "Not now");
        addRow("Cyrillic source", "MainWindow", QString::fromUtf8("Отображение в виде таблицы"), "en_US",
            "Display as table");
        addRow("enumeration key", "ColorThemeEnum", "Dark", "ru_RU", QString::fromUtf8("Тёмная"));
        addRow("English entry", "AcquisitionVariant", "Acquire_aRIR", "en-US", "R-IR alternating");
        addRow("other context", "Portal", "Not now", "ru-RU", "Not now");
    }
    void translate()
    {
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(QString, language);
        QTEST(LanguageContext::translate(context, source, language), "expected");
    }

    void montageDescriptionKeepsItsLineFeeds()
    {
        const QString text = LanguageContext::translate("Generic", "MontageDescription", "ru_RU");
        QVERIFY(text.startsWith(QString::fromUtf8("Каждая текстовая строка")));
        QCOMPARE(text.count(QLatin1Char('\n')), 5);
        QVERIFY(text.contains(QString::fromUtf8(
            "например:\n<div style=\"font-family: 'Courier New', monospace\">2<br>1;4</div>\nто будет")));
        QVERIFY(text.contains(QString::fromUtf8("каналов.<br><br>\nМожно")));
        QVERIFY(text.endsWith(QLatin1String("\"15=FpZ-AF7;14=FpZ-AF8\"")));
    }

    void setLanguageInstallsTheCatalogue()
    {
        QCOMPARE(LanguageContext::currentLanguage(), QString());
        QCOMPARE(LanguageContext::setLanguage("ru-RU"), QStringLiteral("ru_RU"));
        QCOMPARE(LanguageContext::currentLanguage(), QStringLiteral("ru_RU"));
        QCOMPARE(QCoreApplication::translate("Generic", "Not now"), QString::fromUtf8("Не сейчас"));
        QCOMPARE(QCoreApplication::translate("ViewMode", "View_Table"), QString::fromUtf8("Таблица"));
    }

private:
    TemporaryHome m_home;
};

QTEST_GUILESS_MAIN(tst_LanguageContext)
#include "tst_languagecontext.moc"
