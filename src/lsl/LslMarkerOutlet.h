#pragma once

#include <QString>

#include <memory>

// The marks as a Lab Streaming Layer stream of type "Markers": one string channel at an irregular rate, each marker
// pushed with the time it carries on the sample clock, translated to LSL's clock. Without liblsl nothing opens.
class LslMarkerOutlet
{
public:
    static inline const QString StreamType = QStringLiteral("Markers");
    // The marker stream of the samples' stream named name.
    static QString streamName(const QString& name) { return name + QStringLiteral("-markers"); }

    LslMarkerOutlet();
    ~LslMarkerOutlet();

    // Makes the stream anew (the one before goes); false without liblsl or when the library refuses.
    bool open(const QString& name, const QString& sourceId);
    void close();
    bool isOpen() const;
    QString name() const { return m_name; }
    QString sourceId() const { return m_sourceId; }

    void push(qint64 sampleMs, const QString& marker);

private:
    struct Stream;
    std::unique_ptr<Stream> m_stream;
    QString m_name;
    QString m_sourceId;
};
