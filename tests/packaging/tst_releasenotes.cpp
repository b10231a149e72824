#include "ReleaseNotes.h"

#include <QTest>

// The change log as the program ships it (byte-order mark, CR LF, a Russian and an English block per version)
// turned into the release lists of the package.
class tst_ReleaseNotes : public QObject
{
    Q_OBJECT

private slots:
    void appStream_data()
    {
        QTest::addColumn<QByteArray>("changeLog");
        QTest::addColumn<QString>("expected");
        QTest::newRow("platform tags, translation, escaping")
            << QByteArray(
                   "\xEF\xBB\xBF"
                   "1.1.0 (2026-01-20)\r\n<ru-RU>\r\n+ \xD0\xAD\xD0\xBA\xD1\x81\xD0\xBF\xD0\xBE\xD1\x80\xD1\x82\r\n"
                   "+ [Windows] Installer RU\r\n+ Package RU [Linux]\r\n</ru-RU>\r\n<en-EN>\r\n"
                   "+ Export & <import>\r\n+ [Windows] Installer\r\n+ [Android] App\r\n+ Package [Linux]\r\n"
                   "</en-EN>\r\n\r\n"
                   "1.0.0 (2025-09-01)\r\n<ru-RU>\r\n+ RU\r\n</ru-RU>\r\n<en-EN>\r\n+ Data record\r\n</en-EN>\r\n")
            << QStringLiteral("    <release version=\"1.1.0\" date=\"2026-01-20\">\n"
                              "      <description>\n        <ul>\n"
                              "          <li>Export &amp; &lt;import&gt;</li>\n"
                              "          <li xml:lang=\"ru\">\u042D\u043A\u0441\u043F\u043E\u0440\u0442</li>\n"
                              "          <li>Package</li>\n"
                              "          <li xml:lang=\"ru\">Package RU</li>\n"
                              "        </ul>\n      </description>\n    </release>\n"
                              "    <release version=\"1.0.0\" date=\"2025-09-01\">\n"
                              "      <description>\n        <ul>\n"
                              "          <li>Data record</li>\n"
                              "          <li xml:lang=\"ru\">RU</li>\n"
                              "        </ul>\n      </description>\n    </release>\n");
        QTest::newRow("blocks that do not match item for item keep English only")
            << QByteArray("1.0.1 (2025-09-02)\n<ru-RU>\n+ RU\n</ru-RU>\n<en-EN>\n+ One\n+ Two\n</en-EN>\n")
            << QStringLiteral("    <release version=\"1.0.1\" date=\"2025-09-02\">\n"
                              "      <description>\n        <ul>\n"
                              "          <li>One</li>\n          <li>Two</li>\n"
                              "        </ul>\n      </description>\n    </release>\n");
        QTest::newRow("no dated version line")
            << QByteArray("1.0.0\r\n<en-EN>\r\n+ Data record\r\n</en-EN>\r\n") << QString();
    }

    void appStream()
    {
        QFETCH(QByteArray, changeLog);
        QTEST(ReleaseNotes::appStream(ReleaseNotes::parse(QString::fromUtf8(changeLog))), "expected");
    }

    void debianChangeLog()
    {
        const QList<ReleaseNotes::Release> releases = ReleaseNotes::parse(
            QStringLiteral("1.0.3 (2025-12-17)\r\n<en-EN>\r\n+ Montage\r\n</en-EN>\r\n\r\n1.0.0 (2025-09-01)\r\n"));
        QCOMPARE(ReleaseNotes::debianChangeLog(releases, QStringLiteral("halvex"), QStringLiteral("A B <a@b.org>")),
            QStringLiteral("halvex (1.0.3) unstable; urgency=medium\n\n  * Montage\n\n"
                           " -- A B <a@b.org>  Wed, 17 Dec 2025 00:00:00 +0000\n\n"
                           "halvex (1.0.0) unstable; urgency=medium\n\n  * Release 1.0.0.\n\n"
                           " -- A B <a@b.org>  Mon, 01 Sep 2025 00:00:00 +0000\n"));
    }
};

QTEST_GUILESS_MAIN(tst_ReleaseNotes)
#include "tst_releasenotes.moc"
