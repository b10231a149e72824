#include "../DataRow.h"
#include "AboutAppWidget.h"
#include "AppHelper.h"
#include "LanguageContext.h"
#include "UrlCatcher.h"

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QTest>

class TestAboutAppWidget : public QObject
{
    Q_OBJECT
private:
    static QMap<QString, QDateTime> developers()
    {
        const QDate today = QDate::currentDate();
        return { { "Acquisition", QDateTime(today.addYears(-30), QTime(8, 0)) },
            { "Interface", QDateTime(today.addYears(-30).addDays(1), QTime(8, 0)) },
            { "Record review", QDateTime(today.addYears(-30).addDays(-1), QTime(8, 0)) } };
    }
    template<typename T> static QList<T*> named(const QWidget& widget, const char* name)
    {
        return widget.findChildren<T*>(QLatin1String(name));
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }

    void rows_data()
    {
        QTest::addColumn<QString>("organisation");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<bool>("addresses");
        QTest::addColumn<int>("port");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("opened");
        const QStringList always = { "version", "os", "developers" };
        addRow("organisation only", "Halvex", "", QStringList {}, false, -1, always + QStringList { "feedback" },
            QStringList {});
        addRow("nothing to contact", "", "", QStringList {}, false, -1, always, QStringList {});
        addRow("contacts", "Halvex", "lab@example.org", QStringList { "https://example.org/halvex" }, false, -1,
            always + QStringList { "feedback" },
            QStringList { "mailto:lab@example.org", "https://example.org/halvex" });
        addRow("addresses with port", "Halvex", "", QStringList {}, true, 8080,
            always + QStringList { "feedback", "addresses" }, QStringList { "http://%1:8080" });
        addRow("addresses without port", "Halvex", "", QStringList {}, true, 1,
            always + QStringList { "feedback", "addresses" }, QStringList { "http://%1" });
    }
    void rows()
    {
        QFETCH(QString, organisation);
        QFETCH(QString, email);
        QFETCH(QStringList, links);
        QFETCH(bool, addresses);
        QFETCH(int, port);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, opened);
        AboutAppWidget::MakerEmail = email;
        AboutAppWidget widget(organisation, links, QString(), QString(), developers(), addresses, port);

        for (const char* name : { "version", "os", "developers", "feedback", "addresses" })
            QCOMPARE(widget.findChild<QWidget*>(QLatin1String(name)) != nullptr, rows.contains(QLatin1String(name)));
        // No empty paragraph or button stands for a contact that was not given.
        if (const QWidget* feedback = widget.findChild<QWidget*>(QStringLiteral("feedback"))) {
            for (const QLabel* label : feedback->findChildren<QLabel*>())
                QVERIFY2(!label->text().contains(QLatin1String("<p></p>")), qPrintable(label->text()));
        }
        QCOMPARE(named<QPushButton>(widget, "link").size(), email.isEmpty() ? 0 : 1);
        QVERIFY(
            widget.findChild<QLabel*>(QStringLiteral("version"))->text().startsWith(AppHelper::appVersion(true) + ' '));
        QVERIFY(widget.findChild<QLabel*>(QStringLiteral("os"))->text().contains(QStringLiteral("-bit")));

        QList<QPushButton*> clickable = named<QPushButton>(widget, "link") + named<QPushButton>(widget, "linkButton");
        if (addresses) {
            const QStringList found = AboutAppWidget::networkAddresses(-1);
            if (found.isEmpty())
                QSKIP("no running network interface besides loopback");
            opened = { opened.first().arg(found.first()) };
            clickable = { clickable.first() };
            QCOMPARE(clickable.first()->text(), opened.first().mid(7));
        } else if (!links.isEmpty()) {
            QCOMPARE(clickable.last()->text(), QStringLiteral("example.org/halvex"));
        }
        UrlCatcher catcher;
        for (QPushButton* button : clickable)
            QTest::mouseClick(button, Qt::LeftButton);
        QStringList urls;
        for (const QUrl& url : catcher.urls())
            urls.append(url.toString());
        QCOMPARE(urls, opened);
    }

    void balloonOnTheBirthdayOnly()
    {
        const QString text = AboutAppWidget::developersText(developers(), QDate::currentDate());
        const QString balloon = QString::fromUcs4(U"\U0001F388");
        QCOMPARE(text, balloon + " Acquisition<br/>Interface<br/>Record review<br/>");
        QCOMPARE(AboutAppWidget::developersText(developers(), QDate::currentDate().addDays(1)),
            "Acquisition<br/>" + balloon + " Interface<br/>Record review<br/>");
    }

    void changeLogPanelCoversTheContentUntilClosed()
    {
        AboutAppWidget widget("Halvex", {}, QString(), QString(), developers(), false, -1);
        widget.resize(640, 480);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        auto* open = widget.findChild<QPushButton*>(QStringLiteral("changeLogButton"));
        QVERIFY(open);
        QTest::mouseClick(open, Qt::LeftButton);

        QPointer<QWidget> panel = widget.findChild<QWidget*>(QStringLiteral("changeLogPanel"));
        QVERIFY(panel);
        QTRY_VERIFY(panel->isVisible());
        const QWidget* content = widget.findChild<QWidget*>(QStringLiteral("aboutContent"));
        QCOMPARE(panel->geometry(), content->layout()->contentsRect());
        const QString text = panel->findChild<QLabel*>(QStringLiteral("changeLogText"))->text();
        QVERIFY(text.contains(QStringLiteral("<b>1.0.3 ")) && text.contains(QStringLiteral("Montage capability")));

        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("changeLogClose")), Qt::LeftButton);
        QTRY_VERIFY(panel.isNull());
        QVERIFY(open->isVisible());
    }
};

QTEST_MAIN(TestAboutAppWidget)
#include "tst_aboutappwidget.moc"
