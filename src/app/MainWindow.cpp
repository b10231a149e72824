#include "MainWindow.h"

#include "AppHelper.h"

MainWindow::MainWindow(const QString& dataFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_dataFolder(dataFolder)
{
    setWindowTitle(QStringLiteral("Halvex ") + AppHelper::appVersion(true));
    resize(1200, 800);
}
