#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

// The instrument's samples as one Lab Streaming Layer stream of type "NIRS": one float32 channel per value the
// instrument sends, in its order (R and IR per channel, V, R and IR with three values per channel), described as the
// field's NIRS streams are (channels/channel with label, type, unit, wavelength and channel number; acquisition with
// manufacturer and model). Every sample goes out with its own time on the sample clock translated to LSL's clock, so
// that the stream carries when the sample arrived, not when it was pushed. Without liblsl nothing opens.
class LslSampleOutlet
{
public:
    static inline const QString StreamType = QStringLiteral("NIRS");

    struct Description
    {
        QString name;
        // Names the instrument across restarts: LabRecorder picks up a stream of the same source again.
        QString sourceId;
        int valueCount = 0;
        int valuesPerChannel = 2; // 3: V, R and IR
        double nominalRate = 0; // samples per second; 0 for an instrument without a steady rate
        int redNm = 0;
        int infraredNm = 0;

        bool operator==(const Description& other) const;
        bool operator!=(const Description& other) const { return !(*this == other); }
    };

    // One channel of the stream's description.
    struct Channel
    {
        QString label; // "R1", "IR1", "V1": the names of the ".raw" header
        QString type; // "Intensity" for R and IR, "Aux" for V
        int wavelengthNm = 0; // 0 for V
        int number = 0; // the instrument channel, from 1
    };
    static QList<Channel> channels(const Description& description);

    LslSampleOutlet();
    ~LslSampleOutlet();

    // Makes the stream anew (the one before goes); false without liblsl or when the library refuses.
    bool open(const Description& description);
    // Closes the stream and forgets its description.
    void close();
    bool isOpen() const;
    // Of the last open(), also when the library refused it.
    const Description& description() const { return m_description; }

    // Samples of a fast instrument are sent together, at most this many milliseconds (on the sample clock) after
    // the first of them: one transfer per sample would cost more than everything else done with it.
    static constexpr qint64 HoldMs = 20;

    // values must hold description().valueCount values; sampleMs is the sample's time on the sample clock. A sample
    // that follows the one before within HoldMs may be held (pending()) until a later one or flush() sends it.
    void push(qint64 sampleMs, const QList<double>& values);
    bool pending() const { return !m_stamps.empty(); }
    // Sends the held samples; close() does too.
    void flush();

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    Description m_description;
    std::vector<float> m_chunk; // the held samples' values, one after the other
    std::vector<double> m_stamps; // their times on LSL's clock
    qint64 m_firstMs = 0; // of the first held sample
    qint64 m_lastMs = 0; // of the sample pushed last
};
