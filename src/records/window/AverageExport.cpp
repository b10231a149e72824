#include "AverageExport.h"

#include "LanguageContext.h"
#include "RecordText.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

#include <cmath>

namespace {

// As halvex-analyze --average prints them: %.9g, and one word "nan" for a missing value.
void appendNumber(QByteArray& line, double value)
{
    line += ';';
    if (std::isnan(value)) {
        line += "nan";
        return;
    }
    char digits[RecordText::MaxSignificantSize];
    line.append(digits, RecordText::formatSignificant(value, digits) - digits);
}

// A condition that holds the separator or a quote is quoted, as CSV readers expect.
QByteArray field(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(';') && !bytes.contains('"'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

QString failed(const QString& path, const QString& reason)
{
    return trGeneric("Could not write %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

QByteArray AverageExport::csv(const std::vector<EpochAverage::Response>& responses, const std::vector<int>& numbers)
{
    QByteArray text = "condition;time_s;n";
    for (const int number : numbers) {
        const QByteArray n = QByteArray::number(number);
        text += ";HbO" + n + ";HbO" + n + "_se;HbR" + n + ";HbR" + n + "_se";
    }
    text += '\n';
    for (const EpochAverage::Response& response : responses) {
        if (response.empty() || response.mean.empty())
            continue;
        const QByteArray condition = field(response.condition);
        // The n the standard error runs over: the marks of one record, the records of a grand average.
        const QByteArray n = QByteArray::number(response.records > 1 ? response.records : response.marks);
        for (std::size_t i = 0; i < response.mean.front().size(); ++i) {
            QByteArray line = condition;
            appendNumber(line, response.time(i));
            line += ';' + n;
            for (std::size_t c = 0; c < numbers.size(); ++c) {
                for (const std::size_t series : { 2 * c, 2 * c + 1 }) {
                    const bool has = series < response.mean.size();
                    appendNumber(line, has ? response.mean[series][i] : std::nan(""));
                    appendNumber(line,
                        has && series < response.standardError.size() ? response.standardError[series][i]
                                                                      : std::nan(""));
                }
            }
            text += line + '\n';
        }
    }
    return text;
}

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
