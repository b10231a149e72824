#pragma once

#include "ToolRun.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

using Series = std::vector<double>;

// A gap: the sample has no value.
const double Gap = std::numeric_limits<double>::quiet_NaN();

// One request to MNE: series of light at two wavelengths per channel and how to read them.
struct HaemoCase
{
    QByteArray name;
    double rate = 10;
    double redWavelength = 760;
    double infraredWavelength = 850;
    double distanceMm = 30;
    double ppf = 6;
    std::vector<Series> red;
    std::vector<Series> infrared;
    bool filter = false; // ask for MNE's band-pass coefficients at the rate
    Series extinction; // wavelengths to look up in the extinction table
    // scipy's Butterworth band-pass {low, high} at the rate and its filtfilt of each series, run by run between gaps.
    Series band;
    std::vector<Series> toFilter;
    // MNE's epochs of the haemoglobin series (HbO and HbR of each channel in turn; sample 0 at window[4] s) around
    // the marks (times in s, one condition word each) for window = {from, to, baselineFrom, baselineTo, start}.
    std::vector<Series> hb;
    Series window;
    Series markTimes;
    QList<QByteArray> markConditions;
};

// The case of that name, which cases must hold.
inline const HaemoCase& caseNamed(const QList<HaemoCase>& cases, const QByteArray& name)
{
    return *std::find_if(cases.begin(), cases.end(), [&](const HaemoCase& c) { return c.name == name; });
}

// Runs tests/haemo/mne_reference.py once on many cases (MNE takes seconds to load) and keeps its answers.
class MneReference
{
public:
    // Empty on success or when Debian's python3-mne cannot be loaded (then skip() says why), else what went wrong.
    QString start(const QList<HaemoCase>& cases)
    {
        m_skip = mneMissing();
        if (!m_skip.isEmpty())
            return {};
        QProcess python;
        QTemporaryDir folder;
        QFile request(folder.filePath(QStringLiteral("request.txt")));
        if (!request.open(QIODevice::WriteOnly))
            return request.errorString();
        const auto numbers = [](const char* key, const Series& values) -> QByteArray {
            QByteArray line(key);
            for (const double v : values)
                line += ' ' + QByteArray::number(v, 'g', 17);
            return line + '\n';
        };
        for (const HaemoCase& c : cases) {
            request.write("case " + key(c.name) + '\n' + numbers("rate", { c.rate })
                + numbers("wavelengths", { c.redWavelength, c.infraredWavelength })
                + numbers("distance_mm", { c.distanceMm }) + numbers("ppf", { c.ppf }) + (c.filter ? "filter\n" : "")
                + (c.extinction.empty() ? QByteArray() : numbers("extinction", c.extinction)));
            for (size_t k = 0; k < c.red.size(); ++k)
                request.write(numbers("red", c.red[k]) + numbers("infrared", c.infrared[k]));
            if (!c.band.empty())
                request.write(numbers("band", c.band));
            for (const Series& s : c.toFilter)
                request.write(numbers("to_filter", s));
            if (!c.hb.empty()) {
                request.write(numbers("window", c.window) + numbers("marks", c.markTimes) + "conditions "
                    + c.markConditions.join(' ') + '\n');
            }
            for (const Series& s : c.hb)
                request.write(numbers("hb", s));
        }
        request.close();
        python.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral(MNE_REFERENCE), request.fileName() });
        if (!python.waitForFinished(110000) || python.exitCode() != 0)
            return QString::fromUtf8(python.readAllStandardError());
        for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() >= 2)
                m_answers[fields[0] + ' ' + fields[1]].append(fields.mid(2));
        }
        return {};
    }
    const QString& skip() const { return m_skip; }

    // The numbers of an answer line after its key, the line whose first number is index ("oxy" of channel 0:
    // values("case", "oxy", 0)); empty when MNE gave none.
    Series values(const QByteArray& name, const QByteArray& key, double index) const
    {
        for (const QList<QByteArray>& fields : m_answers.value(MneReference::key(name) + ' ' + key)) {
            if (!fields.isEmpty() && fields[0].toDouble() == index) {
                Series out;
                for (qsizetype i = 1; i < fields.size(); ++i)
                    out.push_back(fields[i] == "nan" ? std::nan("") : fields[i].toDouble());
                return out;
            }
        }
        return {};
    }

private:
    // Case names travel as one word.
    static QByteArray key(QByteArray name) { return name.replace(' ', '_'); }

    QHash<QByteArray, QList<QList<QByteArray>>> m_answers;
    QString m_skip;
};

// Light as the instrument sees it: a level, a cardiac pulse near 1.1 Hz (shared by both wavelengths of a channel
// that touches the scalp: give both the same pulseSeed), a slow drift, and noise of its own.
inline Series light(
    int count, double rate, double level, double pulse, double noise, unsigned pulseSeed, unsigned noiseSeed)
{
    std::mt19937 pulseRandom(pulseSeed);
    std::mt19937 noiseRandom(noiseSeed);
    std::normal_distribution<double> normal;
    const double heartRate = 1.0 + 0.2 * std::uniform_real_distribution<double>()(pulseRandom);
    const double phase = 6.28 * std::uniform_real_distribution<double>()(pulseRandom);
    Series out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = i / rate;
        const double od = pulse * std::sin(6.283185307179586 * heartRate * t + phase) + 0.02 * std::sin(0.6 * t)
            + noise * normal(noiseRandom);
        out[size_t(i)] = level * std::exp(-od);
    }
    return out;
}

// The largest |a − b| over the samples, relative to the largest |b| or to least, whichever is larger (a series of
// zeros and rounding noise has no scale of its own); NaN must meet NaN (else the result is 1e300).
inline double relativeDifference(const Series& a, const Series& b, double least = 0)
{
    if (a.size() != b.size())
        return 1e300;
    double largest = 0;
    double difference = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::isnan(a[i]) != std::isnan(b[i]))
            return 1e300;
        if (std::isnan(b[i]))
            continue;
        largest = std::max(largest, std::abs(b[i]));
        difference = std::max(difference, std::abs(a[i] - b[i]));
    }
    largest = std::max(largest, least);
    return largest == 0 ? difference : difference / largest;
}
