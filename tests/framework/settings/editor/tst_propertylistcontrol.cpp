#include "../../DataRow.h"
#include "AbstractMetaDescriptor.h"
#include "BasePropertyView.h"
#include "HalvexSettings.h"
#include "IconWidget.h"
#include "LanguageContext.h"
#include "NTSettings.h"
#include "PathPropertyView.h"
#include "PropertyListControl.h"
#include "RecordsSettings.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTranslator>

// Properties the application settings do not have: a read-only one, and a condition on a property that does not
// exist.
class OddSettings : public NTSettings
{
    Q_OBJECT
public:
    explicit OddSettings(const QString& file)
        : NTSettings(file, true, nullptr)
    { }

    NT_PROPERTY(int, Fixed, 3)
    Q_CLASSINFO("FixedReadOnly", "true")
    NT_PROPERTY(bool, Orphan, false)
    Q_CLASSINFO("OrphanVisibleBound", "Nowhere")
    NT_PROPERTY(QString, Folder, "")
    Q_CLASSINFO("FolderSpecialType", "PickFolder")
};

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

BasePropertyView* viewOf(const PropertyListControl& control, const QString& name)
{
    return qobject_cast<BasePropertyView*>(control.getWidgetInfo(name).view.data());
}

template<typename T> T* editorOf(const PropertyListControl& control, const QString& name)
{
    auto* view = viewOf(control, name);
    return view ? qobject_cast<T*>(view->getEditor()) : nullptr;
}

QPushButton* defaultButtonOf(const PropertyListControl& control, const QString& name)
{
    auto* view = viewOf(control, name);
    return view ? view->defaultButton() : nullptr;
}

void toggle(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

} // namespace

class TestPropertyListControl : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<TemporaryHome>();
        QVERIFY(m_home->isValid());
        m_file = m_home->dataFolder() + QStringLiteral("/Settings.xml");
        m_settings = std::make_unique<HalvexSettings>(m_file);
        QVERIFY(m_settings->reload());
    }

    void cleanup()
    {
        m_settings.reset();
        m_home.reset();
    }

    void applicationRows()
    {
        PropertyListControl control(m_settings.get());
        const QStringList expected { "Language", "ColorTheme", "StartMaximized", "RememberLastDevice",
            "ReconnectSeconds", "UseVirtualDevice", "VirtualDeviceChannels", "View", "ViewSeconds", "Acquisition",
            "LockCommonVerticalScale", "RIRsmoothing", "SendOnStartRecord", "SendOnEndRecord", "MarkPort", "UseMontage",
            "Montage", "GraphicSpacing" };
        QStringList names;
        for (int i = 0; i < control.rowCount(); ++i)
            names.append(control.getWidgetInfo(i).name);
        QCOMPARE(names, expected);
        QVERIFY(!control.getWidgetInfo(18).isValid());
        QVERIFY(!control.getWidgetInfo(QStringLiteral("LastDevice")).isValid());
        QCOMPARE(control.getWidgetInfo(QStringLiteral("viewseconds")).name, QStringLiteral("ViewSeconds"));

        QVERIFY(!defaultButtonOf(control, QStringLiteral("Language")));
        QVERIFY(defaultButtonOf(control, QStringLiteral("ColorTheme")));
        // No categories: no category titles, only the property titles.
        QVERIFY(control.findChildren<QLabel*>(QStringLiteral("propertyCategoryLabel")).isEmpty());
        QCOMPARE(control.findChildren<QLabel*>(QStringLiteral("propertyHeaderLabel")).size(), 18);
        QVERIFY(control.getWidgetInfo(QStringLiteral("Montage")).view->toolTip().contains(QLatin1String("Montage")));
    }

    void readOnlyAndUnknownCondition()
    {
        OddSettings settings(m_home->dataFolder() + QStringLiteral("/Odd.xml"));
        settings.reload();
        QTest::ignoreMessage(QtDebugMsg, "Property not found \"Nowhere\"");
        PropertyListControl control(&settings);
        QCOMPARE(control.rowCount(), 3);
        QVERIFY(!control.getWidgetInfo(QStringLiteral("Fixed")).view->isEnabled());
        QVERIFY(!defaultButtonOf(control, QStringLiteral("Fixed")));
        QVERIFY(!control.getWidgetInfo(QStringLiteral("Orphan")).view->isHidden());
        QCOMPARE(control.visibleProperties(), 3);
    }

    void pathViewEditsAndFollows()
    {
        OddSettings settings(m_home->dataFolder() + QStringLiteral("/Odd.xml"));
        settings.reload();
        QTest::ignoreMessage(QtDebugMsg, "Property not found \"Nowhere\"");
        PropertyListControl control(&settings);
        QVERIFY(qobject_cast<PathPropertyView*>(viewOf(control, QStringLiteral("Folder"))));
        QVERIFY(control.findChild<QToolButton*>(QStringLiteral("propertyBrowseButton")));
        auto* edit = editorOf<QLineEdit>(control, QStringLiteral("Folder"));
        QVERIFY(edit);
        QTest::keyClicks(edit, QStringLiteral("/data/x"));
        QTRY_COMPARE(settings.getFolder(), QStringLiteral("/data/x"));
        settings.setFolder(QStringLiteral("/elsewhere"));
        QTRY_COMPARE(edit->text(), QStringLiteral("/elsewhere"));
    }

    void editWrites_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("element");
        addRow("int", "ViewSeconds", "<ViewSeconds>37</ViewSeconds>");
        addRow("bool", "UseMontage", "<UseMontage>true</UseMontage>");
        addRow("enum", "View", "<View>View_Table</View>");
        addRow("string", "SendOnEndRecord", "<SendOnEndRecord>http://h/x</SendOnEndRecord>");
        addRow("multiline", "Montage", "<Montage>2\n1;4</Montage>");
    }

    void editWrites()
    {
        QFETCH(QString, property);
        QFETCH(QString, element);
        PropertyListControl control(m_settings.get());
        if (auto* spin = editorOf<QSpinBox>(control, property)) {
            spin->setValue(37);
        } else if (auto* box = editorOf<QCheckBox>(control, property)) {
            toggle(box);
        } else if (auto* combo = editorOf<QComboBox>(control, property)) {
            QCOMPARE(combo->itemText(0), QStringLiteral("View_Table"));
            combo->setCurrentIndex(0);
        } else if (auto* line = editorOf<QLineEdit>(control, property)) {
            line->selectAll();
            QTest::keyClicks(line, QStringLiteral("http://h/x"));
        } else if (auto* text = editorOf<QPlainTextEdit>(control, property)) {
            QTest::keyClicks(text, QStringLiteral("2"));
            QTest::keyClick(text, Qt::Key_Return);
            QTest::keyClicks(text, QStringLiteral("1;4"));
        } else {
            QFAIL("no editor of a known kind");
        }
        QTRY_VERIFY(QString::fromUtf8(readAll(m_file)).contains(element));
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
        QCoreApplication::processEvents();
        QTest::keyClick(editor, Qt::Key_7);
        QTest::keyClick(editor, Qt::Key_8);
        QCoreApplication::processEvents();
        QTest::keyClick(editor, Qt::Key_9);
        QTRY_COMPARE(m_settings->getValue(property, QVariant()).toString(), QStringLiteral("1;256789"));
        QTest::qWait(20);
        QCOMPARE(m_settings->getValue(property, QVariant()).toString(), QStringLiteral("1;256789"));
    }

    void russianTexts()
    {
        QTranslator translator;
        const QStringList catalogues = LanguageContext::Instance()->catalogueFiles(QStringLiteral("ru-RU"));
        QVERIFY(!catalogues.isEmpty() && translator.load(catalogues.constFirst()));
        QCoreApplication::installTranslator(&translator);
        const auto removeTranslator = qScopeGuard([&translator] { QCoreApplication::removeTranslator(&translator); });
        PropertyListControl control(m_settings.get());
        auto* title = qobject_cast<QLabel*>(control.getWidgetInfo(QStringLiteral("ViewSeconds")).header.data());
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Гор. масштаб"));
        QCOMPARE(editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"))->suffix(), QStringLiteral(" с"));
        QCOMPARE(editorOf<QComboBox>(control, QStringLiteral("View"))->itemText(0), QStringLiteral("Таблица"));
    }

    void changeElsewhereIsShownNotEchoed()
    {
        PropertyListControl control(m_settings.get());
        QSignalSpy seconds(m_settings.get(), &HalvexSettings::changedViewSeconds);
        QSignalSpy montage(m_settings.get(), &HalvexSettings::changedMontage);
        m_settings->setViewSeconds(55);
        m_settings->setMontage(QStringLiteral("1;2"));
        QTRY_COMPARE(editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"))->value(), 55);
        QTRY_COMPARE(
            editorOf<QPlainTextEdit>(control, QStringLiteral("Montage"))->toPlainText(), QStringLiteral("1;2"));
        QTest::qWait(20);
        QCOMPARE(seconds.size(), 1);
        QCOMPARE(montage.size(), 1);
    }

    void defaultButton()
    {
        PropertyListControl control(m_settings.get());
        QPushButton* button = defaultButtonOf(control, QStringLiteral("ViewSeconds"));
        QVERIFY(button);
        QVERIFY(!button->isChecked());
        QVERIFY(button->toolTip().contains(QLatin1String("'10 s'")));
        m_settings->setViewSeconds(11);
        QTRY_VERIFY(button->isChecked());
        m_settings->setViewSeconds(10);
        QTRY_VERIFY(!button->isChecked());

        editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"))->setValue(90);
        QTRY_VERIFY(button->isChecked());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_settings->getViewSeconds(), 10);
        QTRY_VERIFY(!button->isChecked());
        QTRY_COMPARE(editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"))->value(), 10);
        QVERIFY(readAll(m_file).contains("<ViewSeconds>10</ViewSeconds>"));
    }

    void virtualDeviceRow()
    {
        PropertyListControl control(m_settings.get());
        const PropertyWidgetInfo row = control.getWidgetInfo(QStringLiteral("VirtualDeviceChannels"));
        QVERIFY(row.view->isHidden());
        QVERIFY(row.header->isHidden());
        QCOMPARE(control.visibleProperties(), 17);

        QSignalSpy visibility(&control, &PropertyListControl::propertyVisibilityChanged);
        auto* box = editorOf<QCheckBox>(control, QStringLiteral("UseVirtualDevice"));
        toggle(box);
        QVERIFY(m_settings->getUseVirtualDevice());
        QVERIFY(!row.view->isHidden());
        QVERIFY(!row.header->isHidden());
        toggle(box);
        QVERIFY(row.view->isHidden());
        QCOMPARE(visibility.size(), 2);
        QCOMPARE(visibility.at(0).at(0).toInt(), 18);
        QCOMPARE(visibility.at(1).at(0).toInt(), 17);
    }

    void keyboard()
    {
        PropertyListControl control(m_settings.get());
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        QVERIFY(control.setFocusAt(QStringLiteral("ViewSeconds")));
        auto* spin = editorOf<QSpinBox>(control, QStringLiteral("ViewSeconds"));
        QTRY_COMPARE(QApplication::focusWidget(), spin);
        QTest::keyClick(spin, Qt::Key_Up);
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(m_settings->getViewSeconds(), 12);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QPushButton* button = defaultButtonOf(control, QStringLiteral("ViewSeconds"));
        QCOMPARE(QApplication::focusWidget(), button);
        QTest::keyClick(button, Qt::Key_Space);
        QCOMPARE(m_settings->getViewSeconds(), 10);
        QTest::keyClick(button, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editorOf<QComboBox>(control, QStringLiteral("Acquisition")));
    }

    void conditionMatches_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("required");
        QTest::addColumn<bool>("holds");
        addRow("equal", "true", "true", true);
        addRow("different", "false", "true", false);
        addRow("negated", "false", "!true", true);
        addRow("any: second", "b", "a|b", true);
        addRow("any: none", "c", "a|b", false);
        addRow("all: neither", "c", "!a&&!b", true);
        addRow("all: one fails", "a", "!a&&!b", false);
        addRow("leading bar is not any", "a", "|a&&!a", false);
        addRow("empty text", "", "''", true);
        addRow("not empty", "x", "!''", true);
    }

    void conditionMatches()
    {
        QFETCH(QString, value);
        QFETCH(QString, required);
        QTEST(BasePropertyListWidget::conditionMatches(value, required), "holds");
    }

    void affixes_data()
    {
        QTest::addColumn<QString>("affix");
        QTest::addColumn<QString>("shown");
        addRow("empty", "", "");
        addRow("untranslated marker", "!-±", "±");
        addRow("leading space kept", " s", " s");
        addRow("whole", "Hz", "Hz");
    }

    void affixes()
    {
        QFETCH(QString, affix);
        QTEST(BasePropertyView::translatedSuffixOrPrefix(affix), "shown");
    }

    void singlePropertyWithIconHeader()
    {
        RecordsSettings records(m_home->dataFolder() + QStringLiteral("/RecSettings.xml"));
        records.reload();
        PropertyListControl control(&records, QStringLiteral("hpf"), PropertyListControl::ViewSingleProperty);
        QCOMPARE(control.rowCount(), 1);
        const QPointer<QWidget> oldHeader = control.getWidgetInfo(0).header;
        auto* icon = new IconWidget(QStringLiteral(":/icons/arrow-up-down.svg"), Qt::white, QSize(16, 16));
        control.substituteHeader(QStringLiteral("HPF"), icon, Qt::AlignCenter);
        QCOMPARE(control.getWidgetInfo(QStringLiteral("HPF")).header.data(), icon);
        QTRY_VERIFY(!oldHeader);

        auto* spin = editorOf<QDoubleSpinBox>(control, QStringLiteral("HPF"));
        QVERIFY(spin);
        QCOMPARE(spin->decimals(), 2);
        QCOMPARE(spin->suffix(), QStringLiteral("Hz"));
        QTest::keyClick(spin, Qt::Key_Up);
        QCOMPARE(records.getHPF(), 0.03);
        QTRY_VERIFY(readAll(records.getFilepath()).contains("<HPF>0.03</HPF>"));
        QTRY_VERIFY(defaultButtonOf(control, QStringLiteral("HPF"))->isChecked());
    }

private:
    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<HalvexSettings> m_settings;
    QString m_file;
};

QTEST_MAIN(TestPropertyListControl)
#include "tst_propertylistcontrol.moc"
