#include "LslMarkerOutlet.h"

#include "LslClock.h"

#if HALVEX_HAS_LSL
#include <lsl_cpp.h>

#include <QDebug>
#endif

struct LslMarkerOutlet::Stream
{
#if HALVEX_HAS_LSL
    explicit Stream(const lsl::stream_info& info)
        : outlet(info)
    { }
    lsl::stream_outlet outlet;
#endif
};

LslMarkerOutlet::LslMarkerOutlet() = default;

LslMarkerOutlet::~LslMarkerOutlet() = default;

bool LslMarkerOutlet::open(const QString& name, const QString& sourceId)
{
    close();
    m_name = name;
    m_sourceId = sourceId;
#if HALVEX_HAS_LSL
    try {
        lsl::stream_info info(name.toStdString(), StreamType.toStdString(), 1, lsl::IRREGULAR_RATE, lsl::cf_string,
            sourceId.toStdString());
        info.desc()
            .append_child("channels")
            .append_child("channel")
            .append_child_value("label", "Marker")
            .append_child_value("type", "Marker");
        info.desc()
            .append_child("acquisition")
            .append_child_value("manufacturer", "Halvex")
            .append_child_value("model", "Halvex");
        m_stream = std::make_unique<Stream>(info);
    } catch (const std::exception& error) {
        qWarning() << "LSL stream" << name << "not opened:" << error.what();
        m_stream.reset();
        return false;
    }
    return true;
#else
    return false;
#endif
}

void LslMarkerOutlet::close()
{
    m_stream.reset();
}

bool LslMarkerOutlet::isOpen() const
{
    return m_stream != nullptr;
}

void LslMarkerOutlet::push(qint64 sampleMs, const QString& marker)
{
#if HALVEX_HAS_LSL
    if (!m_stream)
        return;
    const std::string text = marker.toStdString();
    try {
        m_stream->outlet.push_sample(&text, LslClock::fromSampleMs(double(sampleMs)));
    } catch (const std::exception& error) {
        qWarning() << "LSL marker not sent:" << error.what();
    }
#else
    Q_UNUSED(sampleMs)
    Q_UNUSED(marker)
#endif
}
