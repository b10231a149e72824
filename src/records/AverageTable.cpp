#include "AverageTable.h"

#include "RecordText.h"

#include <cmath>

namespace {

void appendNumber(QByteArray& line, double value)
{
    line += ';';
    // printf writes "-nan" for a NaN whose sign bit is set: one word for every missing value.
    if (std::isnan(value)) {
        line += "nan";
        return;
    }
    char digits[RecordText::MaxSignificantSize];
    line.append(digits, RecordText::formatSignificant(value, digits) - digits);
}

QByteArray field(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(';') && !bytes.contains('"'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

QByteArray count(const EpochAverage::Response& response)
{
    return QByteArray::number(response.records > 1 ? response.records : response.marks);
}

} // namespace

QByteArray AverageTable::curves(const std::vector<EpochAverage::Response>& responses, const std::vector<int>& numbers)
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
        const QByteArray n = count(response);
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

QByteArray AverageTable::map(const std::vector<EpochAverage::Response>& responses,
    const std::vector<RecordAverage::Channel>& channels, double from, double to)
{
    QByteArray text = "condition;channel;label;mean_HbO;mean_HbR;n\n";
    for (const EpochAverage::Response& response : responses) {
        if (response.empty())
            continue;
        const std::vector<RecordAverage::Activation> activation = RecordAverage::activation(response, from, to);
        for (std::size_t c = 0; c < activation.size() && c < channels.size(); ++c) {
            QByteArray line = field(response.condition) + ';' + QByteArray::number(channels[c].number) + ';'
                + field(channels[c].label);
            appendNumber(line, activation[c].oxy);
            appendNumber(line, activation[c].deoxy);
            text += line + ';' + count(response) + '\n';
        }
    }
    return text;
}
