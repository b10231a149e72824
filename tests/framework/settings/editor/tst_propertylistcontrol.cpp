#include "BasePropertyView.h"
#include "DataRow.h"
#include "HalvexSettings.h"
#include "IconWidget.h"
#include "LanguageContext.h"
#include "PropertyListControl.h"
#include "RecordsSettings.h"
#include "SuggestionDoubleSpinBox.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>

namespace {

BasePropertyView* viewOf(const PropertyListControl& control, const QString& name)
{
    return qobject_cast<BasePropertyView*>(control.getWidgetInfo(name).view.data());
}

template<typename T> T* editorOf(const PropertyListControl& control, const QString& name)
{
    auto* view = viewOf(control, name);
    return view ? qobject_cast<T*>(view->getEditor()) : nullptr;
}

} // namespace

class TestPropertyListControl : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_settings.reset();
        m_home = std::make_unique<TemporaryHome>();
        m_file = m_home->dataFolder() + QStringLiteral("/Settings.xml");
        m_settings = std::make_unique<HalvexSettings>(m_file);
        QVERIFY(m_settings->reload());
    }

    void rows()
    {
        PropertyListControl control(m_settings.get());
        // The three Lab Streaming Layer settings are shown only where liblsl is built in.
        const int rows = 25 + (HALVEX_HAS_LSL ? 3 : 0);
        QCOMPARE(control.rowCount(), rows);
        QCOMPARE(control.getWidgetInfo(QStringLiteral("viewseconds")).name, QStringLiteral("ViewSeconds"));
        QVERIFY(!viewOf(control, QStringLiteral("Language"))->defaultButton());

        const PropertyWidgetInfo row = control.getWidgetInfo(QStringLiteral("VirtualDeviceChannels"));
        QVERIFY(row.view->isHidden() && row.header->isHidden());
        QSignalSpy visibility(&control, &PropertyListControl::propertyVisibilityChanged);
        auto* box = editorOf<QCheckBox>(control, QStringLiteral("UseVirtualDevice"));
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QVERIFY(!row.view->isHidden() && !row.header->isHidden());
        QTRY_VERIFY(TemporaryHome::readFile(m_file).contains("<UseVirtualDevice>true</UseVirtualDevice>"));
        QCOMPARE(visibility.constLast().at(0).toInt(), rows);
    }

    // Keys that land while an earlier write is still on its way or its echo has not come back yet.
    void typingBetweenWrites_data()
    {
        QTest::addColumn<QString>("property");
        addRow("multiline", "Montage");
        addRow("line", "SendOnEndRecord");
    }
    void typingBetweenWrites()
    {
        QFETCH(QString, property);
        m_settings->setValue(property, QStringLiteral("1;2"));
        PropertyListControl control(m_settings.get());
        QWidget* editor = viewOf(control, property)->getEditor();
        QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_5);
        QCoreApplication::processEvents();
        QTest::keyClick(editor, Qt::Key_6);
        QTest::keyClick(editor, Qt::Key_7);
        QCoreApplication::processEvents();
        QTest::keyClick(editor, Qt::Key_8);
        QTRY_COMPARE(m_settings->getValue(property, QVariant()).toString(), QStringLiteral("1;25678"));
        QTest::qWait(20);
        QCOMPARE(m_settings->getValue(property, QVariant()).toString(), QStringLiteral("1;25678"));
    }

    void russianTexts()
    {
        QCOMPARE(LanguageContext::setLanguage("ru-RU"), "ru_RU");
        const auto english = qScopeGuard([] { LanguageContext::setLanguage("en-US"); });
        PropertyListControl control(m_settings.get());
        auto* title = qobject_cast<QLabel*>(control.getWidgetInfo(QStringLiteral("ViewSeconds")).header.data());
        QCOMPARE(title->text(), QStringLiteral("Гор. масштаб"));
        QCOMPARE(editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"))->suffix(), QStringLiteral(" с"));
        auto* view = editorOf<QComboBox>(control, QStringLiteral("View"));
        QCOMPARE(view->itemText(0), QStringLiteral("Таблица"));
        view->setCurrentIndex(0);
        QTRY_VERIFY(TemporaryHome::readFile(m_file).contains("<View>View_Table</View>"));
        QCOMPARE(BasePropertyView::translatedSuffixOrPrefix("!-±"), QStringLiteral("±"));
    }

    // A change made elsewhere is shown once and not written back. The default button follows the value, Tab
    // reaches it after its editor, and it restores the default.
    void defaultButtonAndChangesElsewhere()
    {
        PropertyListControl control(m_settings.get());
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QSignalSpy seconds(m_settings.get(), &HalvexSettings::changedViewSeconds);
        QSignalSpy montage(m_settings.get(), &HalvexSettings::changedMontage);
        QPushButton* button = viewOf(control, QStringLiteral("ViewSeconds"))->defaultButton();
        QVERIFY(!button->isChecked());
        m_settings->setViewSeconds(55);
        m_settings->setMontage(QStringLiteral("1;2"));
        auto* spin = editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"));
        QTRY_COMPARE(spin->value(), 55);
        QTRY_COMPARE(editorOf<QPlainTextEdit>(control, "Montage")->toPlainText(), "1;2");
        QTRY_VERIFY(button->isChecked());
        QTest::qWait(20);
        QCOMPARE(seconds.size(), 1);
        QCOMPARE(montage.size(), 1);

        QVERIFY(control.setFocusAt(QStringLiteral("ViewSeconds")));
        QTRY_COMPARE(QApplication::focusWidget(), spin);
        QTest::keyClick(spin, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(m_settings->getViewSeconds(), 10);
        QTRY_VERIFY(!button->isChecked());
        QTRY_COMPARE(spin->value(), 10);
        QTest::keyClick(button, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QSpinBox>(control, QStringLiteral("BaselineSeconds")));
    }

    // A hook address the program will not ask is marked and says why, typed or found in the file; the text stays.
    void hookAddresses_data()
    {
        addColumns<QString, bool>({ "text", "valid" });
        addRow("http", "http://127.0.0.1:2336/startStimPack", true);
        addRow("https", "https://lab.example/start", true);
        addRow("empty turns the hook off", "", true);
        addRow("file", "file:///etc/hostname", false);
        addRow("no scheme", "127.0.0.1:2336/startStimPack", false);
        addRow("no host", "http:startStimPack", false);
    }
    void hookAddresses()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        m_settings->setSendOnEndRecord(text);
        PropertyListControl control(m_settings.get());
        auto* typed = editorOf<QLineEdit>(control, QStringLiteral("SendOnStartRecord"));
        typed->clear();
        QTest::keyClicks(typed, text);
        QTRY_COMPARE(m_settings->getSendOnStartRecord(), text);
        for (QLineEdit* edit : { typed, editorOf<QLineEdit>(control, QStringLiteral("SendOnEndRecord")) }) {
            QCOMPARE(edit->text(), text);
            QCOMPARE(edit->property("invalid").toBool(), !valid);
            QCOMPARE(edit->toolTip().contains(QLatin1String("http, https")), !valid);
        }
    }

    void conditionMatches()
    {
        const auto holds = &BasePropertyListWidget::conditionMatches;
        QVERIFY(holds("true", "true") && holds("false", "!true") && holds("b", "a|b") && holds("", "''"));
        QVERIFY(!holds("c", "a|b") && !holds("a", "!a&&!b"));
        QVERIFY(!holds("a", "|a&&!a")); // a leading bar does not make "any"
    }

    void singlePropertyWithIconHeader()
    {
        RecordsSettings records(m_home->dataFolder() + QStringLiteral("/RecSettings.xml"));
        records.reload();
        PropertyListControl control(&records, QStringLiteral("hpf"), PropertyListControl::ViewSingleProperty);
        QCOMPARE(control.rowCount(), 1);
        auto* icon = new IconWidget(QStringLiteral(":/icons/arrow-up-down.svg"), Qt::white, QSize(16, 16));
        control.substituteHeader(QStringLiteral("HPF"), icon, Qt::AlignCenter);
        QCOMPARE(control.getWidgetInfo(QStringLiteral("HPF")).header.data(), icon);
        QVERIFY(!icon->toolTip().isEmpty());
        auto* spin = editorOf<QDoubleSpinBox>(control, QStringLiteral("HPF"));
        QTest::keyClick(spin, Qt::Key_Up);
        QTRY_VERIFY(TemporaryHome::readFile(records.getFilepath()).contains("<HPF>0.03</HPF>"));
    }

    // Preferred values 1, 2, 5, 10 in a range 0..20 with a single step of 0.5.
    void suggestionStep_data()
    {
        addColumns<double, int, double>({ "start", "steps", "expected" });
        addRow("up from between", 3.0, 1, 5.0);
        addRow("down from between", 3.0, -1, 2.0);
        addRow("below first: never past it", 0.8, 1, 1.0);
        addRow("at last: single step", 10.0, 1, 10.5);
        addRow("above last down: back to it", 10.2, -1, 10.0);
        addRow("shown as preferred counts as it", 4.999, 1, 10.0);
    }
    void suggestionStep()
    {
        QFETCH(double, start);
        QFETCH(int, steps);
        SuggestionDoubleSpinBox box;
        box.setRange(0, 20);
        box.setSingleStep(0.5);
        box.setSuggestions({ 10, 1, 5, 2, 5 });
        box.setValue(start);
        box.stepBy(steps);
        QTEST(box.value(), "expected");
    }

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<HalvexSettings> m_settings;
    QString m_file;
};

QTEST_MAIN(TestPropertyListControl)
#include "tst_propertylistcontrol.moc"
