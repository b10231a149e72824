#include "CommandLine.h"
#include "LslLibrary.h"
#include "MainWindow.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // Answered before the application object exists: --help and --version need no display.
    CommandLine commandLine(QStringLiteral("halvex"),
        QStringLiteral("Acquires, shows and records the data of a multi-channel near-infrared (FNIR) instrument on a "
                       "serial port, and reviews the records. Settings and records live in the folder Halvex in the "
                       "user's Documents folder."));
    commandLine.acceptQtGuiOptions();
    commandLine.setVersionDetails(LslLibrary::versionLine());
    if (const std::optional<int> answered = commandLine.parse(argc, argv))
        return *answered;

    QApplication app(argc, argv);
    // Lets Wayland desktops match the window to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(HALVEX_APP_ID));
    Startup::installFonts();
    Startup::installThemes();
    const QString dataFolder = Startup::prepareDataFolder();
    Startup::installLanguage(dataFolder);

    MainWindow window(dataFolder);
    window.show();
    return QApplication::exec();
}
