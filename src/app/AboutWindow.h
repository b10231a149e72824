#pragma once

#include <QDateTime>
#include <QDialog>
#include <QMap>
#include <QString>

class AboutAppWidget;

// The about window of this program: its version, the system it runs on, its change log and its makers.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

    AboutAppWidget* content() const { return m_content; }
    // The program's three areas and the day each was first released.
    static QMap<QString, QDateTime> developers();

private:
    AboutAppWidget* m_content = nullptr;
};
