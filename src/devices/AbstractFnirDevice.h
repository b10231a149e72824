#pragma once

#include <QList>
#include <QObject>
#include <QString>

// The one interface through which the application talks to an instrument, real or simulated. An instrument emits
// one newData per sample: the reception time in milliseconds since the epoch and the values in the order sent.
class AbstractFnirDevice : public QObject
{
    Q_OBJECT
public:
    explicit AbstractFnirDevice(QObject* parent = nullptr);
    ~AbstractFnirDevice() override;

    // The serial instrument follows the field count of the lines it reads; the virtual one sizes its sample by it.
    virtual void setChannelCount(int count);
    // Why the instrument last failed to open or was lost (the port's own words), empty when it did not.
    QString errorString() const { return m_errorString; }
    // The samples per second the instrument keeps to; 0 when it keeps no known rate (the serial line tells none).
    virtual double nominalRate() const { return 0; }

signals:
    void connected();
    void disconnected();
    void newData(qint64 ts, QList<double> data);

public slots:
    virtual int channelCount() const;
    virtual QString deviceName() const = 0;
    virtual bool connectDevice() = 0;
    virtual bool disconnectDevice() = 0;

protected:
    void setErrorString(const QString& text) { m_errorString = text; }

private:
    int m_channelCount = 0;
    QString m_errorString;
};
