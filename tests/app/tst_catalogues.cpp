// Every text the user meets has an entry in both catalogues: the titles, descriptions, units and enumeration keys
// of both settings objects, the Generic texts of the sources, and whatever the windows ask the translators for.
#include "AbstractMetaDescription.h"
#include "AbstractMetaDescriptor.h"
#include "ConfirmDialog.h"
#include "HalvexSettings.h"
#include "MainWindow.h"
#include "RecordsSettings.h"
#include "RecordsWindow.h"
#include "TemporaryHome.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTranslator>

namespace {

using Lookup = QPair<QString, QString>; // context, source text
const QString generic = QStringLiteral("Generic");

// Answers nothing, so every lookup goes on to the real catalogues; it only notes what was asked.
class RecordingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        asked.insert({ QString::fromUtf8(context), QString::fromUtf8(sourceText) });
        return QString();
    }
    bool isEmpty() const override { return false; }
    mutable QSet<Lookup> asked;
};

QList<Lookup> settingsLookups(NTSettings& settings)
{
    QList<Lookup> lookups;
    for (AbstractMetaDescription* description : settings.metaDescriptor()->getProperties()) {
        if (!description->editable || !description->visible)
            continue;
        // An absent description is a missing entry as well: the key itself stands for it.
        const QString help = description->extra(QStringLiteral("Description"));
        lookups << Lookup { generic, description->displayName }
                << Lookup { generic, help.isEmpty() ? description->name + QStringLiteral("Description") : help };
        // Units as the editor translates them: "!-" marks a literal, a leading space is kept outside.
        for (const QString& unit : { description->suffix, description->prefix }) {
            if (!unit.isEmpty() && !unit.startsWith(QLatin1String("!-")))
                lookups << Lookup { generic, unit.startsWith(QLatin1Char(' ')) ? unit.mid(1) : unit };
        }
        const QMetaProperty property = settings.metaObject()->property(
            settings.metaObject()->indexOfProperty(description->name.toLatin1().constData()));
        for (int i = 0; property.isEnumType() && i < property.enumerator().keyCount(); ++i) {
            const QMetaEnum keys = property.enumerator();
            lookups << Lookup { QString::fromLatin1(keys.enumName()), QString::fromLatin1(keys.key(i)) };
        }
    }
    return lookups;
}

// Every literal the sources hand to the Generic context, also those only an event shows (a lost instrument,
// a silent one, a failed hook): the call forms trGeneric("…"), generic("…") and translate("Generic", "…").
QList<Lookup> sourceLookups()
{
    // No raw strings here: moc's scanner does not follow them.
    static const QRegularExpression call(QStringLiteral(
        "(?:\\btrGeneric|\\bgeneric|translate)\\(\\s*(?:\"Generic\",\\s*)?((?:\"(?:[^\"\\\\]|\\\\.)*\"\\s*)+)\\)"));
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    QList<Lookup> lookups;
    QDirIterator files(QStringLiteral(HALVEX_SOURCE_DIR "/src"), { QStringLiteral("*.cpp") }, QDir::Files,
        QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString text = QString::fromUtf8(TemporaryHome::readFile(files.next()));
        for (const QRegularExpressionMatch& match : call.globalMatch(text)) {
            QString source;
            for (const QRegularExpressionMatch& piece : literal.globalMatch(match.captured(1)))
                source += piece.captured(1);
            lookups << Lookup { generic,
                source.replace(QLatin1String("\\n"), QLatin1String("\n")).replace(QLatin1String("\\\""), "\"") };
        }
    }
    return lookups;
}

// What the windows ask for while they are built (the settings editor with them) and used, Qt's own texts aside.
QList<Lookup> windowLookups()
{
    TemporaryHome home;
    RecordingTranslator recorder;
    QCoreApplication::installTranslator(&recorder);
    {
        MainWindow window(home.dataFolder());
        window.setDialogRunner([](ConfirmDialog&) { return 0; });
        window.show();
        window.settings()->setLanguage(HalvexSettings::ru_RU);
        QTest::qWait(50);
        RecordsWindow records;
        records.show();
        records.openPaths({ home.path() + QStringLiteral("/missing.csv") });
        QTest::qWait(50);
    }
    QCoreApplication::removeTranslator(&recorder);
    QList<Lookup> asked = recorder.asked.values();
    asked.removeIf([](const Lookup& lookup) {
        return lookup.first.size() > 1 && lookup.first.at(0) == QLatin1Char('Q') && lookup.first.at(1).isUpper();
    });
    return asked;
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT
private slots:
    void everyTextHasAnEntry()
    {
        TemporaryHome home;
        HalvexSettings halvex(home.path() + QStringLiteral("/Settings.xml"));
        RecordsSettings records(home.path() + QStringLiteral("/RecSettings.xml"));
        const QList<Lookup> settings[] = { settingsLookups(halvex), settingsLookups(records) };
        const QList<Lookup> sources = sourceLookups(), windows = windowLookups();
        QVERIFY(settings[0].size() > 12 && settings[1].size() > 12 && sources.size() > 30 && windows.size() > 20);
        QStringList missing;
        for (const QString& language : { QStringLiteral("ru_RU"), QStringLiteral("en_US") }) {
            QTranslator catalogue;
            QVERIFY(catalogue.load(QStringLiteral(":/translations/Halvex_%1.qm").arg(language)));
            for (const Lookup& lookup : settings[0] + settings[1] + sources + windows) {
                if (catalogue.translate(lookup.first.toUtf8().constData(), lookup.second.toUtf8().constData())
                        .isEmpty())
                    missing << language + QStringLiteral(": ") + lookup.first + QStringLiteral(" / ") + lookup.second;
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestCatalogues)
#include "tst_catalogues.moc"
