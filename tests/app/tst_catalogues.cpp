// Every text the user meets has an entry in every catalogue: the titles, descriptions, units and enumeration keys
// of both settings objects, and whatever the windows ask the installed translators for while they are shown.
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
#include <QFile>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTranslator>

#include <memory>

namespace {

using Lookup = QPair<QString, QString>; // context, source text

// Answers nothing, so every lookup goes on to the real catalogues; it only notes what was asked.
class RecordingTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        m_asked.insert({ QString::fromUtf8(context), QString::fromUtf8(sourceText) });
        return QString();
    }
    bool isEmpty() const override { return false; }
    QSet<Lookup> asked() const { return m_asked; }

private:
    mutable QSet<Lookup> m_asked;
};

// A unit or prefix as the editor translates it: "!-" marks a literal, a leading space is kept outside.
QString unitSource(const QString& text)
{
    if (text.isEmpty() || text.startsWith(QLatin1String("!-")))
        return QString();
    return text.startsWith(QLatin1Char(' ')) ? text.mid(1) : text;
}

QList<Lookup> settingsLookups(NTSettings& settings)
{
    QList<Lookup> lookups;
    const QString generic = QStringLiteral("Generic");
    for (AbstractMetaDescription* description : settings.metaDescriptor()->getProperties()) {
        if (!description->editable || !description->visible)
            continue;
        lookups << Lookup { generic, description->displayName };
        // An absent description is a missing entry as well: the key itself stands for it.
        const QString help = description->extra(QStringLiteral("Description"));
        lookups << Lookup { generic, help.isEmpty() ? description->name + QStringLiteral("Description") : help };
        for (const QString& unit : { unitSource(description->suffix), unitSource(description->prefix) }) {
            if (!unit.isEmpty())
                lookups << Lookup { generic, unit };
        }
        const QMetaProperty property = settings.metaObject()->property(
            settings.metaObject()->indexOfProperty(description->name.toLatin1().constData()));
        if (property.isEnumType()) {
            const QMetaEnum keys = property.enumerator();
            for (int i = 0; i < keys.keyCount(); ++i)
                lookups << Lookup { QString::fromLatin1(keys.enumName()), QString::fromLatin1(keys.key(i)) };
        }
    }
    return lookups;
}

} // namespace

class TestCatalogues : public QObject
{
    Q_OBJECT
private:
    std::map<QString, std::unique_ptr<QTranslator>> m_catalogues;

    void verifyAll(const QList<Lookup>& lookups)
    {
        QStringList missing;
        for (const auto& [language, catalogue] : m_catalogues) {
            for (const Lookup& lookup : lookups) {
                if (catalogue->translate(lookup.first.toUtf8().constData(), lookup.second.toUtf8().constData())
                        .isEmpty())
                    missing << language + QStringLiteral(": ") + lookup.first + QStringLiteral(" / ") + lookup.second;
            }
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    }

private slots:
    void initTestCase()
    {
        for (const QString& language : { QStringLiteral("ru_RU"), QStringLiteral("en_US") }) {
            auto catalogue = std::make_unique<QTranslator>();
            QVERIFY(catalogue->load(QStringLiteral(":/translations/Halvex_%1.qm").arg(language)));
            m_catalogues[language] = std::move(catalogue);
        }
    }

    void settingsTexts()
    {
        TemporaryHome home;
        HalvexSettings halvex(home.path() + QStringLiteral("/Settings.xml"));
        RecordsSettings records(home.path() + QStringLiteral("/RecSettings.xml"));
        for (NTSettings* settings : std::initializer_list<NTSettings*> { &halvex, &records }) {
            const QList<Lookup> lookups = settingsLookups(*settings);
            QVERIFY(lookups.size() > 12);
            verifyAll(lookups);
        }
    }

    // Every literal the sources hand to the Generic context, also those only an event shows (a lost instrument,
    // a silent one, a failed hook): the call forms trGeneric("…"), generic("…") and translate("Generic", "…").
    void sourceTexts()
    {
        const QDir sources(QStringLiteral(HALVEX_SOURCE_DIR "/src"));
        // No raw strings here: moc's scanner does not follow them.
        static const QRegularExpression call(QStringLiteral(
            "(?:\\btrGeneric|\\bgeneric|translate)\\(\\s*(?:\"Generic\",\\s*)?((?:\"(?:[^\"\\\\]|\\\\.)*\"\\s*)+)\\)"));
        static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
        QList<Lookup> lookups;
        QDirIterator files(sources.path(), { QStringLiteral("*.cpp") }, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString text = QString::fromUtf8(TemporaryHome::readFile(files.next()));
            for (const QRegularExpressionMatch& match : call.globalMatch(text)) {
                QString source;
                for (const QRegularExpressionMatch& piece : literal.globalMatch(match.captured(1)))
                    source += piece.captured(1);
                source.replace(QLatin1String("\\n"), QLatin1String("\n"))
                    .replace(QLatin1String("\\\""), QLatin1String("\""));
                lookups << Lookup { QStringLiteral("Generic"), source };
            }
        }
        QVERIFY(lookups.size() > 30);
        verifyAll(lookups);
    }

    // What the windows ask for while they are built (the settings editor with them) and used; texts made only on
    // an event are asked for by driving the window into that event.
    void windowTexts()
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
        QList<Lookup> asked = recorder.asked().values();
        // Qt's own texts come with Qt's catalogues.
        asked.removeIf([](const Lookup& lookup) {
            const QString& context = lookup.first;
            return context.size() > 1 && context.at(0) == QLatin1Char('Q') && context.at(1).isUpper();
        });
        QVERIFY(asked.size() > 20);
        verifyAll(asked);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TestCatalogues test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_catalogues.moc"
