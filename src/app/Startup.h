#pragma once

#include <QString>

// The steps of start-up that main() runs before the main window exists.
namespace Startup {
// Registers the embedded Open Sans files and makes "Open Sans SemiCondensed" at 14 px the application font.
void installFonts();
// Hands the style template and the light and dark themes to the theme engine; the main window picks one.
void installThemes();
// Documents/Halvex/, created when missing and made the current directory; empty when it cannot be created,
// in which case the start directory stays current.
QString prepareDataFolder();
// Installs the interface language that the settings file in the data folder (or else the system locale) asks
// for; returns the language installed, empty when no catalogue exists.
QString installLanguage(const QString& dataFolder);
} // namespace Startup
