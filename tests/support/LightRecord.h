#pragma once

#include "RecordLayout.h"
#include "RecordWriter.h"

#include <QList>
#include <QString>

#include <cmath>
#include <random>

// What a channel's optodes see. Coupled: a cardiac pulse at both wavelengths; Uncoupled: noise of its own at each;
// Constant: the same value throughout; NonPositive: coupled, with zeros and negative values now and then (a
// failing detector); Clipped: coupled, with the red value at the instrument's full scale every fourth sample.
enum class Light { Coupled, Uncoupled, Constant, NonPositive, Clipped };

constexpr double FullScale = 4095;

inline double lightValue(Light light, int channel, int wavelength, qint64 time, int line, std::mt19937& noise)
{
    std::normal_distribution<double> normal;
    const double level = wavelength == 0 ? 2500 + 100 * channel : 3100 - 50 * channel;
    const double t = double(time) / 1000;
    const double pulse = std::sin(6.283185307179586 * (1.05 + 0.03 * channel) * t + channel);
    const double drift = 0.03 * std::sin(0.2 * t + wavelength);
    switch (light) {
    case Light::Constant:
        return level;
    case Light::Uncoupled:
        return level * std::exp(-(drift + 0.02 * normal(noise)));
    case Light::NonPositive:
        if (line % 37 == 5)
            return line % 2 ? 0.0 : -3.0;
        break;
    case Light::Clipped:
        if (wavelength == 0 && line % 4 == 0)
            return FullScale;
        break;
    case Light::Coupled:
        break;
    }
    return level * std::exp(-((wavelength == 0 ? 0.02 : 0.025) * pulse + drift + 0.002 * normal(noise)));
}

// A record that the record writer makes of channels that see the given light at the given elapsed times (ms); the
// VRIR variant adds a V value before each channel's pair.
inline bool writeLightRecord(const QString& csvPath, int variant, const QList<Light>& channels, const QString& montage,
    const QList<qint64>& times)
{
    RecordLayout layout;
    layout.variant = variant;
    layout.channelCount = int(channels.size());
    layout.useMontage = !montage.isEmpty();
    layout.montageText = montage;
    RecordWriter writer;
    if (!writer.open(csvPath, layout))
        return false;
    const bool withV = variant == RecordLayout::Acquire_VRIR;
    std::mt19937 noise(7);
    QList<double> values;
    for (int line = 0; line < times.size(); ++line) {
        values.clear();
        for (int channel = 0; channel < channels.size(); ++channel) {
            if (withV)
                values.append(100 + line % 50);
            for (int wavelength = 0; wavelength < 2; ++wavelength)
                values.append(lightValue(channels[channel], channel, wavelength, times[line], line, noise));
        }
        if (writer.writeRaw(times[line], values) != RecordWriter::Result::Written)
            return false;
    }
    writer.close();
    return true;
}
