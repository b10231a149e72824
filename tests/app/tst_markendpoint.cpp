#include "DataRow.h"
#include "HalvexSettings.h"
#include "HttpTestClient.h"
#include "HttpTestServer.h"
#include "MarkEndpoint.h"
#include "MarkServer.h"
#include "MarkToken.h"
#include "PropertyListControl.h"
#include "RecordSession.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class TestMarkEndpoint : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<TemporaryHome>();
        QVERIFY(QDir().mkpath(m_home->dataFolder()));
        m_tokenPath = m_home->dataFolder() + QLatin1Char('/') + MarkToken::FileName;
    }

    // The token is made once, kept where only the user reads it, and the same at every start.
    void tokenFile_data()
    {
        addColumns<QByteArray, bool>({ "before", "kept" });
        addRow("first start", QByteArray(), false);
        addRow("damaged file", QByteArray("0123\n"), false);
        addRow("file readable by others", QByteArray("0123456789abcdef0123456789abcdef\n"), true);
    }
    void tokenFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, kept);
        if (!before.isNull()) {
            QVERIFY(TemporaryHome::writeFile(m_tokenPath, before));
            QVERIFY(QFile::setPermissions(m_tokenPath, QFile::permissions(m_tokenPath) | QFile::ReadOther));
        }
        HalvexSettings settings(m_home->dataFolder() + QStringLiteral("/Settings.xml"));
        RecordSession session;
        MarkServer server(&session);
        const QByteArray token = MarkEndpoint(&settings, &server, m_home->dataFolder()).token();
        QVERIFY(MarkToken::isToken(token));
        QCOMPARE(token == before.trimmed(), kept);
        QCOMPARE(TemporaryHome::readFile(m_tokenPath), token + '\n');
        QCOMPARE(QFile::permissions(m_tokenPath) & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther),
            QFile::Permissions());
        QCOMPARE(MarkEndpoint(&settings, &server, m_home->dataFolder()).token(), token);
    }

    // The settings reach the running endpoint at once, and the editor shows the token with a button that copies it.
    void settingsApplyLive()
    {
        HalvexSettings settings(m_home->dataFolder() + QStringLiteral("/Settings.xml"));
        const quint16 port = HttpTestServer::closedPort();
        settings.setMarkPort(port);
        RecordSession session;
        MarkServer server(&session);
        MarkEndpoint endpoint(&settings, &server, m_home->dataFolder());
        endpoint.start();
        const auto status = [port](const QByteArray& headers) {
            return HttpTestClient::exchange(
                port, "GET /status HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) + "\r\n" + headers + "\r\n")
                .status;
        };
        QCOMPARE(status({}), 200);
        settings.setMarkRequireToken(true);
        QCOMPARE(status({}), 401);
        QCOMPARE(status("X-Halvex-Token: " + endpoint.token() + "\r\n"), 200);
        settings.setMarkRequireToken(false);
        const QByteArray page = "Origin: http://localhost:8000\r\n";
        QCOMPARE(status(page), 403);
        settings.setMarkAllowedOrigins(QStringLiteral("http://127.0.0.1:9000,\n http://localhost:8000/ "));
        QCOMPARE(status(page), 200);
        settings.setMarkPort(0);
        QCOMPARE(status({}), 0);

        PropertyListControl editor(&settings);
        endpoint.showTokenIn(&editor);
        auto* field = editor.findChild<QLineEdit*>(QStringLiteral("markToken"));
        QVERIFY(field && field->text().toLatin1() == endpoint.token());
        auto* copy = editor.findChild<QPushButton*>(QStringLiteral("markTokenCopy"));
        QVERIFY(copy);
        QApplication::clipboard()->clear();
        QTest::mouseClick(copy, Qt::LeftButton);
        QCOMPARE(QApplication::clipboard()->text().toLatin1(), endpoint.token());
    }

private:
    std::unique_ptr<TemporaryHome> m_home;
    QString m_tokenPath;
};

QTEST_MAIN(TestMarkEndpoint)
#include "tst_markendpoint.moc"
