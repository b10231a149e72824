#pragma once

#include "BeerLambert.h"

#include <QtGlobal>

#include <random>
#include <vector>

// A model head behind an instrument, for the virtual instrument and the emulator: per channel an ambient level V
// and the light at the red and infrared wavelengths, as positive whole counts at a steady rate.
//
// The light carries what an optode sees through the scalp, as changes of oxy- and deoxy-haemoglobin: a cardiac
// pulse near 1.1 Hz whose rate drifts slowly, respiration near 0.25 Hz and Mayer waves near 0.1 Hz (one heart and
// one breath for the whole head), and the haemodynamic responses that stimulate() starts. They become light through
// the modified Beer–Lambert law run forwards with the given optics, I = I₀ · e^−OD with OD = A · d · ppf · Δc
// (BeerLambert::opticalDensities), so that optical density and BeerLambert on the light give the concentrations
// back. Each wavelength then gets sensor noise of its own. A badly coupled channel (every badChannelEvery-th,
// counted from 1) gets less light, no pulse and much more noise: its scalp coupling index stays low, a good
// channel's high.
//
// A response is the canonical double-gamma haemodynamic response (shapes 7 and 17, undershoot 1/6, so that it
// peaks 6 s after its start), +0.5 µM of oxy- and −0.15 µM of deoxy-haemoglobin at the peak, on the channels of one
// half of the head: the first half of the channels.
//
// A seed gives the same samples every time.
class HeadModel
{
public:
    struct Settings
    {
        int channels = 12;
        double rate = 10; // samples per second
        int badChannelEvery = 6; // 0: every channel is coupled well
        // Wavelengths no haemoglobin can be told apart at make the light with the default optics.
        BeerLambert::Settings optics;
        quint64 seed = 1;
    };

    static constexpr double ResponseOxy = 0.5; // µM at the peak
    static constexpr double ResponseDeoxy = -0.15; // µM at the peak
    static constexpr double ResponsePeakSeconds = 6;
    // A response is over this long after its start (its undershoot has faded).
    static constexpr double ResponseSeconds = 32;
    // Responses running at once; a further one replaces the oldest, so that a flood of marks costs no more.
    static constexpr int MaxResponses = 64;
    static constexpr int MaxChannels = 1000;

    explicit HeadModel(const Settings& settings);

    int channels() const { return m_settings.channels; }
    double rate() const { return m_settings.rate; }
    // The samples from the next on come at this rate; the time goes on.
    void setRate(double rate);
    const BeerLambert& law() const { return m_law; }
    bool isBadlyCoupled(int channel) const;
    bool isStimulated(int channel) const;

    // The time of the next sample, in seconds from the first.
    double time() const { return m_time; }
    // Writes the next sample into values: valuesPerChannel 3 gives V, R, IR per channel, 2 gives R, IR.
    void next(double* values, int valuesPerChannel);

    // Starts a response at time (seconds on the clock of time()).
    void stimulate(double time);
    // The start times of the responses still running.
    const std::vector<double>& responses() const { return m_responses; }

    // The response's shape, 1 at its peak, at seconds after its start; 0 before the start.
    static double response(double seconds);

private:
    struct Rhythm
    {
        double frequency = 0; // Hz, the centre
        double spread = 0; // Hz, standard deviation of the slow drift around it
        double correlationSeconds = 1; // how slowly it drifts
        double deviation = 0;
        double phase = 0;
    };
    struct Channel
    {
        double ambient = 0; // counts
        double ambientNoise = 0;
        double red = 0; // I₀, counts
        double infrared = 0;
        double noise = 0; // standard deviation, a fraction of I₀
        double gain = 1; // how strongly the physiology shows
        bool bad = false;
    };

    double gaussian();
    void advance(Rhythm& rhythm, double step);

    Settings m_settings;
    BeerLambert m_law;
    std::mt19937_64 m_random;
    std::vector<Channel> m_channels;
    Rhythm m_heart;
    Rhythm m_breath;
    Rhythm m_mayer;
    std::vector<double> m_responses;
    double m_time = 0;
};
