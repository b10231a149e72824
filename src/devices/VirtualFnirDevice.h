#pragma once

#include "AbstractFnirDevice.h"
#include "BeerLambert.h"

#include <QList>

#include <memory>

class HeadModel;
class QTimer;

// A simulated instrument. By default it sends random-walk samples at a jittered pace of about five per second: the
// first value of every group walks freely, the other values of the group stay within 10 of it.
// With the Head signal it sends the light of a HeadModel instead, at a steady rate: R and IR per channel (V, R and
// IR with three values per channel), and every mark() starts a haemodynamic response in it. A head's sample is
// stamped with the time it fell due on the sample clock, so the stamps are as steady as the rate; a head that
// fell more than a second behind (a suspended computer) leaves the missed samples out rather than sending them in
// a burst.
class VirtualFnirDevice : public AbstractFnirDevice
{
    Q_OBJECT
public:
    enum class Signal { RandomWalk, Head };

    explicit VirtualFnirDevice(QObject* parent = nullptr);
    ~VirtualFnirDevice() override;

    // count values per sample, rounded up to whole groups (whole channels of the head); reseeds the walk or makes
    // a new head.
    void setChannelCount(int count) override;

    // Each takes effect at once, also while the instrument runs. A new signal, bad-channel spacing, optics or
    // number of values per channel makes a new head; a new rate goes on with the same one.
    void setSignal(Signal signal);
    Signal signal() const { return m_signal; }
    void setRate(double samplesPerSecond);
    // The head's rate; the random walk's pace jitters.
    double nominalRate() const override { return m_signal == Signal::Head ? m_rate : 0; }
    void setBadChannelEvery(int every);
    void setOptics(const BeerLambert::Settings& optics);
    // The head's values per channel: 2 for R and IR, 3 for V, R and IR.
    void setValuesPerChannel(int values);
    int valuesPerChannel() const { return m_valuesPerChannel; }

    // An event mark made at timestamp (ms on the sample clock): the head answers with a response. The random walk
    // ignores it.
    void mark(qint64 timestamp);
    // The head that the samples come from; null while the random walk runs.
    const HeadModel* head() const { return m_head.get(); }

    QString deviceName() const override;
    bool connectDevice() override;
    bool disconnectDevice() override;

private:
    void tick();
    void restartTimer();
    void tickHead();
    void makeHead();
    // The samples from now on fall due at the head's rate from its current time.
    void anchorHead();
    void restartIfRunning();

    int m_minimumInterval = 150;
    int m_maximumInterval = 250;
    int m_groupSize = 2;
    QList<double> m_values;
    QTimer* m_timer = nullptr;

    Signal m_signal = Signal::RandomWalk;
    double m_rate = 10;
    int m_badChannelEvery = 6;
    BeerLambert::Settings m_optics;
    int m_valuesPerChannel = 2;
    bool m_running = false;
    std::unique_ptr<HeadModel> m_head;
    // The head's sample k after the anchor falls due at m_anchorMs + k · 1000 / rate, its time m_anchorTime + k / rate.
    qint64 m_anchorMs = 0;
    double m_anchorTime = 0;
    qint64 m_sentSinceAnchor = 0;
};
