#pragma once

#include <QByteArray>
#include <QList>

// A record as the RIR variant writes it: the header of `channels` channels, then the lines, each ending in CR LF.
inline QByteArray rirRecord(int channels, const QList<QByteArray>& lines = {})
{
    QByteArray data;
    for (int c = 1; c <= channels; ++c)
        data += ";V" + QByteArray::number(c) + ";R" + QByteArray::number(c) + ";IR" + QByteArray::number(c);
    data += "\r\n";
    for (const QByteArray& line : lines)
        data += line + "\r\n";
    return data;
}
