#include "LanguageContext.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QTranslator>
#include <QXmlStreamReader>

bool LanguageContext::UseFilesInRootDir = true;

LanguageContext::LanguageContext(QObject* parent)
    : QObject(parent)
{
    scan(QStringLiteral(":"));
    if (UseFilesInRootDir && QCoreApplication::instance())
        scan(QCoreApplication::applicationDirPath());
}

LanguageContext* LanguageContext::Instance()
{
    static LanguageContext* instance = new LanguageContext;
    return instance;
}

void LanguageContext::scan(const QString& root)
{
    QDirIterator files(root, { QStringLiteral("*.qm") }, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        // "Halvex_ru_RU.qm": the code is the five characters before the extension.
        if (path.size() < 8)
            continue;
        m_catalogues[path.right(8).left(5)].append(path);
    }
}

QString LanguageContext::findCode(const QString& code) const
{
    if (code.isEmpty())
        return {};
    if (m_catalogues.contains(code))
        return code;
    if (code.contains(QLatin1Char('-'))) {
        QString underscored = code;
        underscored.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (m_catalogues.contains(underscored))
            return underscored;
    }
    return {};
}

QString LanguageContext::AutoDetectLanguage(const QString& settingsPath)
{
    return detectLanguage(settingsPath, QLocale::system().name());
}

QString LanguageContext::detectLanguage(const QString& settingsPath, const QString& systemLocaleName)
{
    QString result
        = systemLocaleName.startsWith(QLatin1String("ru")) ? QStringLiteral("ru_RU") : QStringLiteral("en_US");
    QFile file(settingsPath);
    if (settingsPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return result;

    // The settings store reads every element by its name at any depth and the later one wins; so does this.
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != QLatin1String("Language"))
            continue;
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        if (text == QLatin1String("en_US") || text == QLatin1String("ru_RU"))
            result = text;
    }
    return result;
}

QString LanguageContext::chooseLanguage(const QString& code, const QString& systemLocaleName) const
{
    QString chosen = findCode(code);
    if (chosen.isEmpty())
        chosen = findCode(systemLocaleName);
    if (chosen.isEmpty())
        chosen = findCode(QStringLiteral("en-EN"));
    if (chosen.isEmpty() && !m_catalogues.isEmpty())
        chosen = m_catalogues.firstKey();
    return chosen;
}

QString LanguageContext::load(const QString& code, const QString& systemLocaleName)
{
    const QString chosen = chooseLanguage(code, systemLocaleName);
    if (chosen.isEmpty())
        return m_current;
    for (const QString& path : m_catalogues.value(chosen)) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(path))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
    m_current = chosen;
    return m_current;
}

QString LanguageContext::setLanguage(const QString& code)
{
    return Instance()->load(code, QLocale::system().name());
}

QString LanguageContext::currentLanguage()
{
    return Instance()->m_current;
}

bool LanguageContext::hasLanguage(const QString& code)
{
    return !Instance()->findCode(code).isEmpty();
}

QStringList LanguageContext::availableLanguages()
{
    return Instance()->m_catalogues.keys();
}

QStringList LanguageContext::catalogueFiles(const QString& code) const
{
    return m_catalogues.value(findCode(code));
}

void LanguageContext::loadTranslators()
{
    if (m_translatorsLoaded)
        return;
    m_translatorsLoaded = true;
    for (auto it = m_catalogues.cbegin(); it != m_catalogues.cend(); ++it) {
        for (const QString& path : it.value()) {
            auto* translator = new QTranslator(this);
            if (translator->load(path))
                m_translators[it.key()].append(translator);
            else
                delete translator;
        }
    }
}

QString LanguageContext::translate(const QString& context, const QString& sourceText, const QString& language)
{
    LanguageContext* self = Instance();
    self->loadTranslators();
    QList<QTranslator*> translators = self->m_translators.value(language);
    if (translators.isEmpty() && language.contains(QLatin1Char('-'))) {
        QString underscored = language;
        underscored.replace(QLatin1Char('-'), QLatin1Char('_'));
        translators = self->m_translators.value(underscored);
    }
    // Catalogue sources are UTF-8 (some are Cyrillic), whatever the system's 8-bit code page is.
    const QByteArray contextBytes = context.toUtf8();
    const QByteArray sourceBytes = sourceText.toUtf8();
    for (const QTranslator* translator : std::as_const(translators)) {
        const QString translated = translator->translate(contextBytes.constData(), sourceBytes.constData());
        if (!translated.isEmpty())
            return translated;
    }
    return sourceText;
}
