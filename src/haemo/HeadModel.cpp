#include "HeadModel.h"

#include <algorithm>
#include <cmath>

namespace {

// Amplitudes of the rhythms in µM of oxy- and deoxy-haemoglobin, before each channel's gain. The pulse is the
// arterial inflow (both rise); breath and Mayer waves move the two apart. They are kept small beside a response,
// so that a single response stands out in the live view.
constexpr double PulseOxy = 0.15;
constexpr double PulseDeoxy = 0.03;
constexpr double BreathOxy = 0.02;
constexpr double BreathDeoxy = -0.006;
constexpr double MayerOxy = 0.03;
constexpr double MayerDeoxy = -0.01;

constexpr double TwoPi = 6.283185307179586;

double rawResponse(double t)
{
    // Gamma densities of shapes 7 and 17 with unit scale: Γ(7) = 6!, Γ(17) = 16!.
    constexpr double Gamma7 = 720.0;
    constexpr double Gamma17 = 20922789888000.0;
    return std::pow(t, 6) * std::exp(-t) / Gamma7 - std::pow(t, 16) * std::exp(-t) / (6.0 * Gamma17);
}

double responsePeak()
{
    double peak = 0;
    for (int ms = 4000; ms <= 8000; ++ms)
        peak = std::max(peak, rawResponse(ms / 1000.0));
    return peak;
}

double wholeCount(double value)
{
    return std::max(1.0, std::round(value));
}

} // namespace

HeadModel::HeadModel(const Settings& settings)
    : m_settings(settings)
    , m_law(BeerLambert::create(settings.optics).value_or(*BeerLambert::create(BeerLambert::Settings())))
    , m_random(settings.seed)
{
    m_settings.channels = std::clamp(settings.channels, 1, MaxChannels);
    m_settings.badChannelEvery = std::max(0, settings.badChannelEvery);
    m_settings.rate = settings.rate > 0 ? settings.rate : 10;
    m_settings.optics = m_law.settings();

    const auto uniform
        = [this](double low, double high) { return low + (high - low) * double(m_random() >> 11) * 0x1.0p-53; };
    m_channels.resize(size_t(m_settings.channels));
    for (int c = 0; c < m_settings.channels; ++c) {
        Channel& channel = m_channels[size_t(c)];
        channel.bad = isBadlyCoupled(c);
        // A loose optode lets less of the source's light and more of the room's reach the detector.
        const double coupling = channel.bad ? 0.25 : 1.0;
        channel.red = coupling * uniform(1500, 2500);
        channel.infrared = coupling * uniform(2500, 3500);
        channel.noise = channel.bad ? 0.02 : 0.0015;
        channel.ambient = channel.bad ? uniform(400, 700) : uniform(100, 160);
        channel.ambientNoise = channel.bad ? 12 : 2;
        channel.gain = uniform(0.8, 1.2);
    }
    m_heart = { 1.1, 0.07, 20 };
    m_breath = { 0.25, 0.02, 30 };
    m_mayer = { 0.1, 0.01, 40 };
    for (Rhythm* rhythm : { &m_heart, &m_breath, &m_mayer }) {
        rhythm->phase = uniform(0, TwoPi);
        rhythm->deviation = rhythm->spread * gaussian();
    }
}

void HeadModel::setRate(double rate)
{
    if (rate > 0)
        m_settings.rate = rate;
}

bool HeadModel::isBadlyCoupled(int channel) const
{
    return m_settings.badChannelEvery > 0 && (channel + 1) % m_settings.badChannelEvery == 0;
}

bool HeadModel::isStimulated(int channel) const
{
    return channel < (m_settings.channels + 1) / 2;
}

double HeadModel::response(double seconds)
{
    static const double peak = responsePeak();
    return seconds > 0 && seconds < ResponseSeconds ? rawResponse(seconds) / peak : 0.0;
}

void HeadModel::stimulate(double time)
{
    if (int(m_responses.size()) >= MaxResponses)
        m_responses.erase(m_responses.begin());
    m_responses.push_back(time);
}

double HeadModel::gaussian()
{
    // Box–Muller on the generator's own bits: the same numbers from every standard library.
    const double u1 = (double(m_random() >> 11) + 0.5) * 0x1.0p-53;
    const double u2 = double(m_random() >> 11) * 0x1.0p-53;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(TwoPi * u2);
}

void HeadModel::advance(Rhythm& rhythm, double step)
{
    // The frequency wanders as an Ornstein–Uhlenbeck process around its centre.
    const double decay = std::exp(-step / rhythm.correlationSeconds);
    rhythm.deviation = rhythm.deviation * decay + rhythm.spread * std::sqrt(1.0 - decay * decay) * gaussian();
    rhythm.phase = std::fmod(rhythm.phase + TwoPi * (rhythm.frequency + rhythm.deviation) * step, TwoPi);
}

void HeadModel::next(double* values, int valuesPerChannel)
{
    // A pulse wave rather than a sine: a second harmonic gives it the dicrotic shoulder.
    const double pulse = std::sin(m_heart.phase) + 0.3 * std::sin(2.0 * m_heart.phase + 0.6);
    const double breath = std::sin(m_breath.phase);
    const double mayer = std::sin(m_mayer.phase);
    double evoked = 0;
    for (const double start : m_responses)
        evoked += response(m_time - start);

    double* out = values;
    for (int c = 0; c < m_settings.channels; ++c) {
        const Channel& channel = m_channels[size_t(c)];
        double oxy = channel.gain * (BreathOxy * breath + MayerOxy * mayer);
        double deoxy = channel.gain * (BreathDeoxy * breath + MayerDeoxy * mayer);
        if (!channel.bad) {
            oxy += channel.gain * PulseOxy * pulse;
            deoxy += channel.gain * PulseDeoxy * pulse;
        }
        if (isStimulated(c)) {
            oxy += ResponseOxy * evoked;
            deoxy += ResponseDeoxy * evoked;
        }
        const BeerLambert::OpticalDensities od = m_law.opticalDensities(oxy, deoxy);
        if (valuesPerChannel >= 3)
            *out++ = wholeCount(channel.ambient + channel.ambientNoise * gaussian());
        *out++ = wholeCount(channel.red * (std::exp(-od.red) + channel.noise * gaussian()));
        *out++ = wholeCount(channel.infrared * (std::exp(-od.infrared) + channel.noise * gaussian()));
    }

    const double step = 1.0 / m_settings.rate;
    for (Rhythm* rhythm : { &m_heart, &m_breath, &m_mayer })
        advance(*rhythm, step);
    m_time += step;
    m_responses.erase(std::remove_if(m_responses.begin(), m_responses.end(),
                          [this](double start) { return m_time - start >= ResponseSeconds; }),
        m_responses.end());
}
