#include "../DataRow.h"
#include "AppHelper.h"
#include "ConnectionHelper.h"
#include "FileUtilities.h"
#include "TemporaryHome.h"
#include "TextHelper.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestHelpers : public QObject
{
    Q_OBJECT
private slots:
    void appVersion_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("full");
        QTest::addColumn<QString>("brief");
        addRow("four numbers", "2.1.0.7", "2.1.0", "2.1");
        addRow("three numbers", "1.0.3", "1.0.3", "1.0");
        addRow("two numbers", "3.4", "3.4", "3.4");
        addRow("none set", "", "1.0.3", "1.0");
    }
    void appVersion()
    {
        QFETCH(QString, raw);
        QTEST(AppHelper::versionFrom(raw, true), "full");
        QTEST(AppHelper::versionFrom(raw, false), "brief");
    }

    void osFamily_data()
    {
        QTest::addColumn<QString>("productType");
        QTest::addColumn<QString>("os");
        addRow("windows", "windows", "windows");
        addRow("winrt", "WinRT", "windows");
        addRow("android", "android", "android");
        addRow("macos", "macos", "macos");
        addRow("osx", "osx", "macos");
        addRow("ios", "ios", "ios");
        addRow("ubuntu", "ubuntu", "linux");
        addRow("debian", "debian", "unix");
        addRow("opensuse-leap", "opensuse-leap", "unix");
        addRow("fedora", "Fedora", "linux");
    }
    void osFamily()
    {
        QFETCH(QString, productType);
        QTEST(AppHelper::OSFromProductType(productType), "os");
    }

    void osVersionHasThreeNumbers()
    {
        const QStringList parts = AppHelper::OSVersion().split(QLatin1Char('.'));
        QCOMPARE(parts.size(), 3);
        for (const QString& part : parts) {
            bool ok = false;
            part.toInt(&ok);
            QVERIFY(ok);
        }
        QCOMPARE(AppHelper::OS(), AppHelper::OSFromProductType(QSysInfo::productType()));
    }

    void timeToText_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<bool>("milliseconds");
        QTest::addColumn<QString>("text");
        addRow("zero", 0.0, false, "00:00");
        addRow("minutes", 423.9, false, "07:03");
        addRow("with ms", 423.0456, true, "07:03.045");
        addRow("an hour", 3725.0, false, "01:02:05");
        addRow("hours with ms", 3725.5, true, "01:02:05.500");
        addRow("a hundred hours", 360000.0, false, "100:00:00");
    }
    void timeToText()
    {
        QFETCH(double, seconds);
        QFETCH(bool, milliseconds);
        QTEST(TextHelper::TimeToText(seconds, milliseconds), "text");
    }

    void dateTimeFileString()
    {
        const QDateTime moment(QDate(2026, 3, 7), QTime(9, 5, 1, 42));
        QCOMPARE(TextHelper::DateTimeFileString(moment, true), QStringLiteral("2026.03.07-09.05.01.042"));
        QCOMPARE(TextHelper::DateTimeFileString(moment, false), QStringLiteral("2026.03.07-09.05.01"));
        const QDateTime now = QDateTime::fromString(TextHelper::DateTimeFileString({}, false), "yyyy.MM.dd-hh.mm.ss");
        QVERIFY(now.isValid());
        QVERIFY(qAbs(now.secsTo(QDateTime::currentDateTime())) < 5);
    }

    void splitAndTrim_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QStringList>("parts");
        addRow("montage lines", "  2\n\n 1;4 \n", "\n", QStringList { "2", "1;4" });
        addRow("names", "15=FpZ-AF7; 14=FpZ-AF8;", ";", QStringList { "15=FpZ-AF7", "14=FpZ-AF8" });
        addRow("blank", "  \n ", "\n", QStringList {});
    }
    void splitAndTrim()
    {
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QTEST(TextHelper::splitAndTrim(text, separator), "parts");
    }

    void fileFilter_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("extensions");
        QTest::addColumn<QString>("filter");
        addRow("records", "Records", QStringList { "csv", ".raw" }, "Records (*.csv *.raw);");
        addRow("star forms", "", QStringList { "*.log", "", "." }, "(*.log);");
        addRow("nothing", "", QStringList {}, "");
        addRow("title only", "All", QStringList {}, "All ");
    }
    void fileFilter()
    {
        QFETCH(QString, title);
        QFETCH(QStringList, extensions);
        QTEST(AppHelper::getFileFilterString(title, extensions), "filter");
    }

    void findInResources()
    {
        // The embedded test data holds a/readme.md, b/README.md and Halvex-CHANGELOG.txt.
        QCOMPARE(AppHelper::findInResources(QStringLiteral("README.md")), QStringLiteral("qrc:/test/b/README.md"));
        QCOMPARE(AppHelper::findInResources(QStringLiteral("readme.md")), QStringLiteral("qrc:/test/a/readme.md"));
        QCOMPARE(AppHelper::findInResources(QStringLiteral("ChangeLog.txt")),
            QStringLiteral("qrc:/test/Halvex-CHANGELOG.txt"));
        QCOMPARE(AppHelper::findInResources(QStringLiteral("no-such-file.xyz")), QString());
        QCOMPARE(AppHelper::translatedChangeLogPath(), QStringLiteral("qrc:/test/Halvex-CHANGELOG.txt"));
    }

    void changeLog_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("versions");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("firstEntry");
        const auto entry = [](const QString& version, const QString& date, const QStringList& items) -> QString {
            QString html = "<b>" + version + " <span style=\"color: #999; font-weight: normal\">(" + date
                + ")</span></b><table cellspacing=\"6\">";
            for (const QString& item : items)
                html += "<tr><td class=\"bull\">+</td><td>" + item + "</td></tr>";
            return html + "</table><br><br><br>";
        };
        const QStringList released
            = { "1.0.3 (2025-12-17)", "1.0.2 (2025-09-09)", "1.0.1 (2025-09-02)", "1.0.0 (2025-09-01)" };
        addRow("russian", ":/Halvex-CHANGELOG.txt", "ru-RU", released, 11,
            entry("1.0.3", "2025-12-17",
                { "Возможность монтажа", "Необязательное название эксперимента для записи",
                    "Выбор каналов при сравнении записей", "Исправление переводов" }));
        addRow("english", ":/Halvex-CHANGELOG.txt", "en_US", released, 11,
            entry("1.0.3", "2025-12-17",
                { "Montage capability", "Optional experiment title for record", "Channel choosing in record comparison",
                    "Fix translations" }));
        // The test copy tags one item for Windows and one for Android in each language.
        addRow("tagged russian", ":/test/Halvex-CHANGELOG.txt", "ru_RU", QStringList { "2.0.0 (2026-01-02)" }, 2,
            entry("2.0.0", "2026-01-02", { "Только для Windows", "Для всех" }));
        addRow("tagged english", ":/test/Halvex-CHANGELOG.txt", "en-US", QStringList { "2.0.0 (2026-01-02)" }, 2,
            entry("2.0.0", "2026-01-02", { "Windows only", "Everyone" }));
    }
    void changeLog()
    {
        QFETCH(QString, file);
        QFETCH(QString, language);
        QFETCH(QStringList, versions);
        QFETCH(int, items);
        QFETCH(QString, firstEntry);
        const QByteArray bytes = TemporaryHome::readFile(file);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));

        const QStringList entries = AppHelper::changeLogBlocks(QString::fromUtf8(bytes), language);
        QStringList headers;
        for (const QString& entry : entries)
            headers.append(entry.section(QLatin1Char('\n'), 0, 0));
        QCOMPARE(headers, versions);
        const QString html = AppHelper::renderChangeLog(entries);
        const QString style = "<style> .bull { padding-left: 2px; padding-right: 2px; font-weight: bold; } </style>";
        QCOMPARE(html.left(style.size() + firstEntry.size()), style + firstEntry);
        QCOMPARE(html.count("<table"), versions.size());
        QCOMPARE(html.count("<tr>"), items);
    }

    void folders()
    {
        QCOMPARE(FileUtilities::FolderSlash("/a/b"), QStringLiteral("/a/b/"));
        QCOMPARE(FileUtilities::FolderSlash("/a/b/"), QStringLiteral("/a/b/"));
        QCOMPARE(FileUtilities::FolderSlash("C:\\x\\"), QStringLiteral("C:\\x\\"));

        TemporaryHome home;
        const QString deep = home.path() + QStringLiteral("/one/two/three");
        QVERIFY(FileUtilities::createIfNotExists(deep));
        QVERIFY(QDir(deep).exists());
        QVERIFY(FileUtilities::createIfNotExists(deep));
        QFile blocker(home.path() + QStringLiteral("/file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!FileUtilities::createIfNotExists(blocker.fileName() + QStringLiteral("/sub")));
        QVERIFY(!FileUtilities::createIfNotExists(QString()));
    }

    void connectionHelperCutsAll()
    {
        QTimer source;
        int calls = 0;
        {
            ConnectionHelper connections(QStringLiteral("test"));
            connections << connect(&source, &QTimer::timeout, this, [&calls] { ++calls; })
                        << connect(&source, &QTimer::timeout, this, [&calls] { calls += 10; });
            QCOMPARE(connections.count(), 2);
            emit source.timeout({});
            QCOMPARE(calls, 11);
            connections.clear();
            emit source.timeout({});
            QCOMPARE(calls, 11);
            connections << connect(&source, &QTimer::timeout, this, [&calls] { ++calls; });
        }
        // Going out of scope disconnects what it still held.
        emit source.timeout({});
        QCOMPARE(calls, 11);
    }

    void connectionHelperForgetsDeadConnections()
    {
        QTimer source;
        ConnectionHelper connections;
        for (int i = 0; i < 1000; ++i) {
            QObject receiver;
            connections << connect(&source, &QTimer::timeout, &receiver, [] {});
        }
        QVERIFY2(connections.count() <= 32, qPrintable(QString::number(connections.count())));
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
