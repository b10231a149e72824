#pragma once

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

class QTranslator;

// The interface language: finds the catalogues (".qm" files in the resources and beside the executable), installs
// the chosen language once at start-up and translates single texts into another language without installing it.
// Codes are the five characters before ".qm" ("ru_RU"); every lookup also accepts the hyphen form ("ru-RU").
class LanguageContext : public QObject
{
    Q_OBJECT
public:
    static LanguageContext* Instance();

    // "ru_RU" or "en_US": the Language element of the settings file when it names one of those, else by the
    // system locale.
    static QString AutoDetectLanguage(const QString& settingsPath);
    static QString detectLanguage(const QString& settingsPath, const QString& systemLocaleName);
    // Chooses a language (the code, else the system locale's, else the first available), installs its catalogues
    // and returns the current language afterwards.
    static QString setLanguage(const QString& code);
    static QString currentLanguage();
    static bool hasLanguage(const QString& code);
    static QStringList availableLanguages();
    static QString translate(const QString& context, const QString& sourceText, const QString& language);

    // The code setLanguage() would load, given the system locale's name; empty when there are no catalogues.
    QString chooseLanguage(const QString& code, const QString& systemLocaleName) const;
    QStringList catalogueFiles(const QString& code) const;

    static bool UseFilesInRootDir;

private:
    explicit LanguageContext(QObject* parent = nullptr);
    void scan(const QString& root);
    // The stored form of the code ("ru-RU" finds "ru_RU"), or empty when it has no catalogues.
    QString findCode(const QString& code) const;
    QString load(const QString& code, const QString& systemLocaleName);
    void loadTranslators();

    QMap<QString, QStringList> m_catalogues;
    QString m_current;
    QMap<QString, QList<QTranslator*>> m_translators;
    bool m_translatorsLoaded = false;
};

// A text of the interface in the translation context shared by the program's windows.
inline QString trGeneric(const char* text)
{
    return QCoreApplication::translate("Generic", text);
}
