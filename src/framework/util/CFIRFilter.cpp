#include "CFIRFilter.h"

#include <cmath>

namespace {
constexpr double Pi = 3.14159265358979323846;
}

CFIRFilter::CFIRFilter(int kind, float cutoff, int order, float sampleRate, int highPass, QObject* parent)
    : AbstractFilter(parent)
{
    m_name = QStringLiteral("CFIR");
    m_impulseResponse = FiniteImpulseResponse;

    float fc = cutoff;
    const float fs = sampleRate;
    if (!(fc >= 0.01f && fc < 0.5f * fs))
        return;
    const bool highPassForm = kind == 1 && highPass != 0;
    if (highPassForm)
        fc = 0.5f * fs - fc; // design the mirror low-pass, then flip it below

    m_kind = kind;
    m_order = order;
    m_highPass = highPass;
    m_cutoff = fc;

    const int sections = order / 2;
    if (sections <= 0)
        return;
    m_coefficients.resize(size_t(sections));
    m_states.assign(size_t(sections), Section {});

    const double a = std::tan(Pi * double(fc) / double(fs));
    const double a2 = a * a;
    for (int k = 0; k < sections; ++k) {
        const double r = std::sin(Pi * (2.0 * k + 1.0) / (4.0 * sections));
        const double s = 2.0 * a * r;
        const double d = a2 + s + 1.0;
        Section& c = m_coefficients[size_t(k)];
        c[0] = a2 / d;
        c[1] = 2.0 * a2 / d;
        c[2] = a2 / d;
        c[3] = -2.0 * (a2 - 1.0) / d;
        c[4] = -(a2 - s + 1.0) / d;
        if (highPassForm) {
            c[1] = -c[1];
            c[3] = -c[3];
        }
    }
}

void CFIRFilter::Reset()
{
    for (Section& state : m_states)
        state.fill(0.0);
}

float CFIRFilter::InternalProcess(float x)
{
    float v = x;
    for (size_t k = 0; k < m_coefficients.size(); ++k) {
        const Section& c = m_coefficients[k];
        Section& st = m_states[k];
        st[0] = v;
        const double y = c[0] * st[0] + c[1] * st[1] + c[2] * st[2] + c[3] * st[3] + c[4] * st[4];
        st[2] = st[1];
        st[1] = st[0];
        st[4] = st[3];
        st[3] = y;
        v = float(y);
    }
    return v;
}
