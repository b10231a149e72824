#pragma once

#include "RecordAverage.h"

#include <QByteArray>

#include <vector>

// The averages around the marks as text, the one form halvex-analyze --average prints and the records window's
// Average page exports: fields separated by ";", numbers as %.9g in µM with "nan" for a missing value, a field that
// holds ";" or a quote quoted.
namespace AverageTable {

// "condition;time_s;n;HbO1;HbO1_se;HbR1;HbR1_se;…", one line per sample of each response with epochs; n is what the
// standard error runs over (the marks of one record, the records of a grand average). numbers are the channels'
// numbers, one per HbO/HbR pair of series.
QByteArray curves(const std::vector<EpochAverage::Response>& responses, const std::vector<int>& numbers);

// "condition;channel;label;mean_HbO;mean_HbR;n", one line per channel of each response with epochs: the mean over
// the response window from..to seconds after the mark (the activation map).
QByteArray map(const std::vector<EpochAverage::Response>& responses,
    const std::vector<RecordAverage::Channel>& channels, double from, double to);

} // namespace AverageTable
