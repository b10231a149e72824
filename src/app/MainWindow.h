#pragma once

#include <QMainWindow>

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(const QString& dataFolder, QWidget* parent = nullptr);

    QString dataFolder() const { return m_dataFolder; }

private:
    QString m_dataFolder;
};
