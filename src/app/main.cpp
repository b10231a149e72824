#include "MainWindow.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Startup::installFonts();
    Startup::installThemes();
    const QString dataFolder = Startup::prepareDataFolder();
    Startup::installLanguage(dataFolder);

    MainWindow window(dataFolder);
    window.show();
    return QApplication::exec();
}
