#include "AverageExport.h"

#include "LanguageContext.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

#include <cmath>

namespace {

QString failed(const QString& path, const QString& reason)
{
    return trGeneric("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

bool AverageExport::writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = failed(path, file.errorString());
        return false;
    }
    return true;
}

bool AverageExport::writeSvg(QWidget* view, const QString& path, const QString& title, QString* error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(view->size());
    generator.setViewBox(QRect(QPoint(0, 0), view->size()));
    generator.setTitle(title);
    generator.setDescription(QStringLiteral("Halvex"));
    {
        QPainter painter(&generator);
        view->render(&painter);
    }
    return writeFile(path, buffer.data(), error);
}

bool AverageExport::writePng(QWidget* view, const QString& path, QString* error)
{
    QImage image(view->size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        view->render(&painter);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        if (error)
            *error = failed(path, trGeneric("the picture could not be encoded"));
        return false;
    }
    return writeFile(path, buffer.data(), error);
}
