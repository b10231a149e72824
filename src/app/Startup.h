#pragma once

#include <QString>

// The steps of start-up that main() runs before the main window exists.
namespace Startup {
// Registers the embedded Open Sans files and makes "Open Sans SemiCondensed" at 14 px the application font.
void installFonts();
// Documents/Halvex/, created when missing and made the current directory; empty when it cannot be created,
// in which case the start directory stays current.
QString prepareDataFolder();
}
