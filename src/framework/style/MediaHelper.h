#pragma once

#include <QIcon>
#include <QImage>
#include <QMap>
#include <QString>

// Icons from the resources, and recoloured forms of the SVG icons. Every icon is drawn in #303030 so that a theme
// can swap that one colour; the results are cached for the life of the process.
class MediaHelper
{
public:
    static QIcon icon(const QString& path);
    // The SVG text with every old colour (key; empty means #303030) replaced by its new colour (value); the first
    // entry's new colour also becomes the fill of the <svg> element. Empty when the file cannot be read.
    static QString recolorSVG(const QString& path, const QMap<QString, QString>& colors);
    static QImage svgColored(const QString& path, const QMap<QString, QString>& colors);
    static QIcon iconColored(
        const QString& path, const QString& newColor, const QString& oldColor = QStringLiteral("#303030"));
    static QIcon iconColored(const QString& path, const QMap<QString, QString>& colors);

    // Forgets every cached icon; the caches are rebuilt on demand.
    static void clearCaches();

    // The path as a file name: "qrc:/..." becomes ":/...".
    static QString localPath(const QString& path);
};
