#pragma once

#include <QObject>

// The process-wide theme engine. (Its theme files, style template and colour look-ups arrive with the look and
// language work; the enumeration is here already because the application settings store it.)
class StyleHelper : public QObject
{
    Q_OBJECT
public:
    enum ColorThemeEnum { System = 0, Light = 1, Dark = 2 };
    Q_ENUM(ColorThemeEnum)

    static StyleHelper* Instance();

signals:
    void changed();

private:
    explicit StyleHelper(QObject* parent = nullptr);
};
