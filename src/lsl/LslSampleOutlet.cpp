#include "LslSampleOutlet.h"

#include "LslClock.h"

#if HALVEX_HAS_LSL
#include <lsl_cpp.h>

#include <QDebug>
#endif

struct LslSampleOutlet::Stream
{
#if HALVEX_HAS_LSL
    explicit Stream(const lsl::stream_info& info)
        : outlet(info)
    { }
    lsl::stream_outlet outlet;
#endif
};

bool LslSampleOutlet::Description::operator==(const Description& other) const
{
    return name == other.name && sourceId == other.sourceId && valueCount == other.valueCount
        && valuesPerChannel == other.valuesPerChannel && nominalRate == other.nominalRate && redNm == other.redNm
        && infraredNm == other.infraredNm;
}

QList<LslSampleOutlet::Channel> LslSampleOutlet::channels(const Description& description)
{
    const bool withV = description.valuesPerChannel == 3;
    const int group = withV ? 3 : 2;
    QList<Channel> result;
    for (int i = 0; i < description.valueCount; ++i) {
        const int number = i / group + 1;
        const int place = i % group - (withV ? 1 : 0); // -1 V, 0 R, 1 IR
        if (place < 0)
            result.append({ QStringLiteral("V%1").arg(number), QStringLiteral("Aux"), 0, number });
        else if (place == 0)
            result.append(
                { QStringLiteral("R%1").arg(number), QStringLiteral("Intensity"), description.redNm, number });
        else
            result.append(
                { QStringLiteral("IR%1").arg(number), QStringLiteral("Intensity"), description.infraredNm, number });
    }
    return result;
}

LslSampleOutlet::LslSampleOutlet() = default;

LslSampleOutlet::~LslSampleOutlet() = default;

bool LslSampleOutlet::open(const Description& description)
{
    close();
    m_description = description;
#if HALVEX_HAS_LSL
    if (description.valueCount <= 0)
        return false;
    try {
        lsl::stream_info info(description.name.toStdString(), StreamType.toStdString(), description.valueCount,
            description.nominalRate > 0 ? description.nominalRate : lsl::IRREGULAR_RATE, lsl::cf_float32,
            description.sourceId.toStdString());
        lsl::xml_element channelList = info.desc().append_child("channels");
        for (const Channel& channel : channels(description)) {
            lsl::xml_element entry = channelList.append_child("channel");
            entry.append_child_value("label", channel.label.toStdString());
            entry.append_child_value("type", channel.type.toStdString());
            // The instrument's own readings: no physical unit is known for them.
            entry.append_child_value("unit", "a.u.");
            if (channel.wavelengthNm > 0)
                entry.append_child_value("wavelen", std::to_string(channel.wavelengthNm));
            entry.append_child_value("channel", std::to_string(channel.number));
        }
        info.desc()
            .append_child("acquisition")
            .append_child_value("manufacturer", "Halvex")
            .append_child_value("model", "Halvex");
        m_stream = std::make_unique<Stream>(info);
    } catch (const std::exception& error) {
        qWarning() << "LSL stream" << description.name << "not opened:" << error.what();
        m_stream.reset();
        return false;
    }
    m_chunk.reserve(size_t(description.valueCount) * 64);
    m_stamps.reserve(64);
    return true;
#else
    return false;
#endif
}

void LslSampleOutlet::close()
{
    flush();
    m_stream.reset();
    m_description = {};
}

bool LslSampleOutlet::isOpen() const
{
    return m_stream != nullptr;
}

void LslSampleOutlet::push(qint64 sampleMs, const QList<double>& values)
{
#if HALVEX_HAS_LSL
    if (!m_stream || values.size() != m_description.valueCount)
        return;
    // A slow instrument's samples go at once; a fast one's wait for the chunk to span HoldMs.
    const bool slow = sampleMs - m_lastMs >= HoldMs;
    m_lastMs = sampleMs;
    if (m_stamps.empty())
        m_firstMs = sampleMs;
    for (const double value : values)
        m_chunk.push_back(float(value));
    m_stamps.push_back(LslClock::fromSampleMs(double(sampleMs)));
    if (slow || sampleMs - m_firstMs >= HoldMs)
        flush();
#else
    Q_UNUSED(sampleMs)
    Q_UNUSED(values)
#endif
}

void LslSampleOutlet::flush()
{
#if HALVEX_HAS_LSL
    if (m_stream && !m_stamps.empty()) {
        try {
            m_stream->outlet.push_chunk_multiplexed(m_chunk.data(), m_stamps.data(), m_chunk.size());
        } catch (const std::exception& error) {
            qWarning() << "LSL samples not sent:" << error.what();
        }
    }
#endif
    m_chunk.clear();
    m_stamps.clear();
}
