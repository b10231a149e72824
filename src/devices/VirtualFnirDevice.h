#pragma once

#include "AbstractFnirDevice.h"

#include <QList>

class QTimer;

// A simulated instrument: random-walk samples at a jittered pace of about five per second. The first value of
// every group walks freely; the other values of the group stay within 10 of it.
class VirtualFnirDevice : public AbstractFnirDevice
{
    Q_OBJECT
public:
    explicit VirtualFnirDevice(QObject* parent = nullptr);
    ~VirtualFnirDevice() override;

    // count values per sample, rounded up to whole groups; reseeds the walk.
    void setChannelCount(int count) override;

    QString deviceName() const override;
    bool connectDevice() override;
    bool disconnectDevice() override;

private:
    void tick();
    void restartTimer();

    int m_minimumInterval = 150;
    int m_maximumInterval = 250;
    int m_groupSize = 2;
    QList<double> m_values;
    QTimer* m_timer = nullptr;
};
