#pragma once

#include "EpochAverage.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QWidget;

// What the Average page writes: its curves as the CSV halvex-analyze --average prints, and the view as a picture.
class AverageExport
{
public:
    // "condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;…" (µM, %.9g) as halvex-analyze --average prints it, one line per
    // sample of each response with epochs; n is what the standard error runs over (the marks of one record, the
    // records of a grand average); numbers are the channels' (one per HbO/HbR pair of series).
    static QByteArray csv(const std::vector<EpochAverage::Response>& responses, const std::vector<int>& numbers);

    // The widget as drawn, into an SVG (vector curves) or a PNG file; false with the reason in *error.
    static bool writeSvg(QWidget* view, const QString& path, const QString& title, QString* error);
    static bool writePng(QWidget* view, const QString& path, QString* error);
    // Writes through a temporary file so that a failed write leaves an older file whole.
    static bool writeFile(const QString& path, const QByteArray& bytes, QString* error);
};
