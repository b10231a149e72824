#include "ProbeLayout.h"

#include <QSet>

std::vector<ProbeLayout::Position> ProbeLayout::positions(
    const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage, double spacing)
{
    int extraRow = 0;
    for (const RawRecord::MontageCell& cell : montage)
        extraRow = qMax(extraRow, cell.row + 1);
    int extraColumn = 0;
    QSet<QString> taken;
    std::vector<Position> positions;
    for (const RawRecord::Channel& channel : channels) {
        const auto cell = montage.constFind(channel.number);
        const int row = cell != montage.cend() ? cell->row : extraRow;
        const int column = cell != montage.cend() ? cell->column : extraColumn++;
        const QString name = cell != montage.cend() ? cell->name : QString::number(channel.number);
        QString label = name;
        for (int n = 2; taken.contains(label); ++n)
            label = name + QStringLiteral("-%1").arg(n);
        taken.insert(label);
        positions.push_back({ column * spacing, -row * spacing, label });
    }
    return positions;
}

QStringList ProbeLayout::labels(
    const std::vector<RawRecord::Channel>& channels, const QMap<int, RawRecord::MontageCell>& montage)
{
    QStringList labels;
    for (const Position& p : positions(channels, montage, 1))
        labels.append(p.label);
    return labels;
}

std::vector<ProbeLayout::Optode> ProbeLayout::optodes(const std::vector<Position>& positions, double distance)
{
    std::vector<Optode> optodes;
    for (const double side : { -0.5, 0.5 }) {
        const QString prefix = side < 0 ? QStringLiteral("S-") : QStringLiteral("D-");
        for (const Position& p : positions)
            optodes.push_back({ prefix + p.label, p.x + side * distance, p.y, 0 });
    }
    return optodes;
}
