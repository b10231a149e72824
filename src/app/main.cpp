#include "MainWindow.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Startup::installFonts();
    const QString dataFolder = Startup::prepareDataFolder();

    MainWindow window(dataFolder);
    window.show();
    return QApplication::exec();
}
