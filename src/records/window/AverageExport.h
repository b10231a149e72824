#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

// What the Average page writes besides its curves (AverageTable): the view as a picture.
class AverageExport
{
public:
    // The widget as drawn, into an SVG (vector curves) or a PNG file; false with the reason in *error.
    static bool writeSvg(QWidget* view, const QString& path, const QString& title, QString* error);
    static bool writePng(QWidget* view, const QString& path, QString* error);
    // Writes through a temporary file so that a failed write leaves an older file whole.
    static bool writeFile(const QString& path, const QByteArray& bytes, QString* error);
};
