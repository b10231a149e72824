#include "AboutAppWidget.h"
#include "ConfirmDialog.h"
#include "DataRow.h"
#include "FrameRateCounter.h"
#include "HttpTestServer.h"
#include "LanguageContext.h"
#include "MenuButton.h"
#include "NewVersionButton.h"
#include "UrlCatcher.h"
#include "VersionChecker.h"

#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QVBoxLayout>

// The shared widgets: the about window with its update offer, dialogs, panels and the frame rate counter.
class TestWidgets : public QObject
{
    Q_OBJECT
private:
    static QMap<QString, QDateTime> developers()
    {
        const QDateTime born(QDate::currentDate().addYears(-30), QTime(8, 0));
        return { { "Acquisition", born }, { "Interface", born.addDays(1) }, { "Record review", born.addDays(-1) } };
    }

private slots:
    void initTestCase() { QVERIFY(!LanguageContext::setLanguage(QStringLiteral("en-US")).isEmpty()); }

    void rows_data()
    {
        // port: 0: no addresses row
        addColumns<QString, QString, int, QStringList>({ "organisation", "email", "port", "opened" });
        addRow("nothing to contact", "", "", 0, QStringList {});
        addRow("contacts", "Halvex", "lab@example.org", 0,
            QStringList { "mailto:lab@example.org", "https://example.org/halvex" });
        addRow("addresses with port", "Halvex", "", 8080, QStringList { "http://%1:8080" });
        addRow("addresses without port", "Halvex", "", 1, QStringList { "http://%1" });
    }
    void rows()
    {
        QFETCH(QString, organisation);
        QFETCH(QString, email);
        QFETCH(int, port);
        QFETCH(QStringList, opened);
        AboutAppWidget::MakerEmail = email;
        const QStringList links = email.isEmpty() ? QStringList() : QStringList { "https://example.org/halvex" };
        AboutAppWidget widget(organisation, links, QString(), QString(), developers(), port > 0, port);

        QCOMPARE(widget.findChild<QWidget*>(QStringLiteral("feedback")) != nullptr, !organisation.isEmpty());
        QCOMPARE(widget.findChild<QWidget*>(QStringLiteral("addresses")) != nullptr, port > 0);
        for (const QLabel* label : widget.findChildren<QLabel*>())
            QVERIFY2(!label->text().contains(QLatin1String("<p></p>")), qPrintable(label->text()));

        QList<QPushButton*> clickable = widget.findChildren<QPushButton*>(QStringLiteral("link"))
            + widget.findChildren<QPushButton*>(QStringLiteral("linkButton"));
        if (port > 0) {
            const QStringList found = AboutAppWidget::networkAddresses(-1);
            if (found.isEmpty())
                QSKIP("no running network interface besides loopback");
            opened = { opened.first().arg(found.first()) };
            clickable = { clickable.first() };
        }
        UrlCatcher catcher;
        for (QPushButton* button : clickable)
            QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(QUrl::toStringList(catcher.urls()), opened);
    }

    void balloonOnTheBirthdayOnly()
    {
        const QString balloon = QString::fromUcs4(U"\U0001F388");
        QCOMPARE(AboutAppWidget::developersText(developers(), QDate::currentDate()),
            balloon + " Acquisition<br/>Interface<br/>Record review<br/>");
        QCOMPARE(AboutAppWidget::developersText(developers(), QDate::currentDate().addMonths(1)),
            "Acquisition<br/>Interface<br/>Record review<br/>");
    }

    void russianInterface()
    {
        QVERIFY(!LanguageContext::setLanguage(QStringLiteral("ru-RU")).isEmpty());
        const auto english = qScopeGuard([] { LanguageContext::setLanguage(QStringLiteral("en-US")); });
        AboutAppWidget widget("Halvex", {}, QString(), QString(), developers(), false, -1);
        QStringList texts;
        for (const QLabel* label : widget.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY2(texts.contains(QStringLiteral("Версия")), qPrintable(texts.join('|')));
    }

    void offerMarkedNotValidShowsNoStar()
    {
        HttpTestServer endpoint;
        QVERIFY(endpoint.listen());
        endpoint.setReply(200, "{\"valid\": false, \"version\": \"1.0.4\", \"link\": \"https://example.org/1.0.4\"}");
        VersionChecker::baseUrl = endpoint.url(QStringLiteral("/version"));
        const auto restore = qScopeGuard([] { VersionChecker::baseUrl.clear(); });
        QSignalSpy found(VersionChecker::Instance(), &VersionChecker::versionFound);
        NewVersionButton star;
        star.show();
        QVERIFY(found.wait());
        QCoreApplication::processEvents(); // the button hears of it through a queued connection
        QVERIFY(!star.button()->isVisible());
    }

    void changeLogPanelCoversTheContentUntilClosed()
    {
        AboutAppWidget widget("Halvex", {}, QString(), QString(), developers(), false, -1);
        widget.resize(640, 480);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTest::mouseClick(widget.findChild<QPushButton*>(QStringLiteral("changeLogButton")), Qt::LeftButton);
        QPointer<QWidget> panel = widget.findChild<QWidget*>(QStringLiteral("changeLogPanel"));
        QVERIFY(panel);
        QTRY_VERIFY(panel->isVisible());
        const QWidget* content = widget.findChild<QWidget*>(QStringLiteral("aboutContent"));
        QCOMPARE(panel->geometry(), content->layout()->contentsRect());
        const QString text = panel->findChild<QLabel*>(QStringLiteral("changeLogText"))->text();
        QVERIFY(text.contains(QStringLiteral("<b>1.0.3 ")) && text.contains(QStringLiteral("Montage capability")));
        QTest::mouseClick(panel->findChild<QPushButton*>(QStringLiteral("changeLogClose")), Qt::LeftButton);
        QTRY_VERIFY(panel.isNull());
    }

    void answers_data()
    {
        // button: positive, cancel, decline; -1 is Escape
        // signalCounts: accepted, canceled, declined, closed
        addColumns<int, int, QList<int>>({ "button", "result", "signalCounts" });
        addRow("positive", 0, 1, QList<int> { 2, 0, 0, 1 });
        addRow("cancel", 1, 0, QList<int> { 0, 1, 0, 1 });
        addRow("decline", 2, int(ConfirmDialog::Declined), QList<int> { 0, 0, 1, 1 });
        addRow("escape", -1, 0, QList<int> { 0, 0, 0, 1 });
    }
    void answers()
    {
        QFETCH(int, button);
        ConfirmDialog dialog(nullptr, "OK", "Cancel", "Not now");
        QSignalSpy accepted(&dialog, qOverload<bool&>(&ConfirmDialog::accepted));
        QSignalSpy canceled(&dialog, &ConfirmDialog::canceled);
        QSignalSpy declined(&dialog, &ConfirmDialog::declined);
        QSignalSpy closed(&dialog, &ConfirmDialog::closed);
        // A receiver that refuses (an input still missing) keeps the dialog open.
        bool refuse = true;
        connect(&dialog, qOverload<bool&>(&ConfirmDialog::accepted), &dialog,
            [&refuse](bool& accept) { accept = !refuse; });
        dialog.show();
        if (button == 0) {
            QTest::mouseClick(dialog.positiveButton(), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            refuse = false;
        }
        const QList<QPushButton*> buttons { dialog.positiveButton(), dialog.cancelButton(), dialog.declineButton() };
        if (button >= 0)
            QTest::mouseClick(buttons.at(button), Qt::LeftButton);
        else
            QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QTEST(dialog.result(), "result");
        QTEST((QList<int> { int(accepted.count()), int(canceled.count()), int(declined.count()), int(closed.count()) }),
            "signalCounts");
    }

    void rate_data()
    {
        // accumulator: set before the last event
        addColumns<int, QList<qint64>, double>({ "accumulator", "timestamps", "expected" });
        addRow("window of ten intervals", 10,
            QList<qint64> { 0, 1000, 1010, 1020, 1030, 1040, 1050, 1060, 1070, 1080, 1090, 1100 }, 100.0);
        addRow("a smaller accumulator drops every surplus", 1, QList<qint64> { 0, 10, 20, 1020, 1030 }, 100.0);
    }
    void rate()
    {
        QFETCH(int, accumulator);
        QFETCH(QList<qint64>, timestamps);
        FrameRateCounter counter;
        QSignalSpy changed(&counter, &FrameRateCounter::frameRateChanged);
        for (qint64 timestamp : timestamps.first(timestamps.size() - 1))
            counter.nextFrame(timestamp);
        counter.setAccumulator(accumulator);
        counter.nextFrame(timestamps.last());
        QTEST(counter.getFrameRate(), "expected");
        QTEST(changed.last().at(0).toDouble(), "expected");
    }

    void persistentPanelOutlivesTheWindowItCovers()
    {
        QWidget home;
        auto* button = new MenuButton(QIcon(), QStringLiteral("menu"), &home);
        button->addWidgetToMenu(new QLabel(QStringLiteral("first")));
        home.show();
        auto covered = std::make_unique<QWidget>();
        covered->show();
        covered->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(covered.get()));
        button->showPersistentPanel();
        const QPointer<QWidget> panel = button->menuPanel();
        covered.reset();
        QVERIFY(!panel.isNull());
        QTRY_VERIFY(!button->isPersistentPanelShown());
        button->addWidgetToMenu(new QLabel(QStringLiteral("second")));
        QCOMPARE(button->menuLayout()->count(), 2);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
