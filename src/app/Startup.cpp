#include "Startup.h"

#include "FileUtilities.h"
#include "LanguageContext.h"
#include "StyleHelper.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStandardPaths>

namespace Startup {

void installFonts()
{
    static const char* const files[] = {
        ":/fres/fonts/OpenSans/OpenSans_SemiCondensed-Regular.ttf",
        ":/fres/fonts/OpenSans/OpenSans_SemiCondensed-Italic.ttf",
        ":/fres/fonts/OpenSans/OpenSans_SemiCondensed-Bold.ttf",
        ":/fres/fonts/OpenSans/OpenSans_SemiCondensed-BoldItalic.ttf",
    };
    QString embeddedFamily;
    for (const char* file : files) {
        const int id = QFontDatabase::addApplicationFont(QLatin1String(file));
        if (id >= 0 && embeddedFamily.isEmpty())
            embeddedFamily = QFontDatabase::applicationFontFamilies(id).value(0);
    }

    const QString family = QStringLiteral("Open Sans SemiCondensed");
    // The embedded files may carry the plain family name ("Open Sans"); the substitution makes the name the
    // interface asks for resolve to them.
    if (!embeddedFamily.isEmpty() && embeddedFamily != family)
        QFont::insertSubstitution(family, embeddedFamily);

    QFont font = QApplication::font();
    font.setFamily(family);
    font.setPixelSize(14);
    QApplication::setFont(font);
}

void installThemes()
{
    StyleHelper* style = StyleHelper::Instance();
    style->addStyleFile(QStringLiteral(":/themes/nt.theme.css"));
    style->addThemeFile(QStringLiteral(":/themes/light.css"), QStringLiteral("light"));
    style->addThemeFile(QStringLiteral(":/themes/dark.css"), QStringLiteral("dark"));
}

QString prepareDataFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder = FileUtilities::FolderSlash(documents) + QStringLiteral("Halvex");
    if (!FileUtilities::createIfNotExists(folder) || !QDir::setCurrent(folder)) {
        qDebug() << "Data folder not available:" << folder;
        return {};
    }
    return folder;
}

QString installLanguage(const QString& dataFolder)
{
    // Without a data folder the start directory stays current, and the name resolves there.
    const QString settingsPath = dataFolder.isEmpty()
        ? QStringLiteral("Settings.xml")
        : FileUtilities::FolderSlash(dataFolder) + QStringLiteral("Settings.xml");
    QString code = LanguageContext::AutoDetectLanguage(settingsPath);
    code.replace(QLatin1Char('_'), QLatin1Char('-'));
    return LanguageContext::setLanguage(code);
}

} // namespace Startup
