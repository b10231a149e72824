#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

// One row of a generated property editor. The widgets belong to the editor; a copy handed out goes null with them.
struct PropertyWidgetInfo
{
    QString name;
    QPointer<QWidget> header;
    QPointer<QWidget> view;
    int row = -1;

    bool isValid() const { return row >= 0; }
};
