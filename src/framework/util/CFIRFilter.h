#pragma once

#include "AbstractFilter.h"

#include <array>
#include <vector>

// Butterworth low-pass or high-pass as a cascade of second-order sections (bilinear transform). A cutoff outside
// [0.01 Hz, half the sample rate) leaves the filter without sections: it then passes samples through.
class CFIRFilter : public AbstractFilter
{
    Q_OBJECT
public:
    CFIRFilter(int kind, float cutoff, int order, float sampleRate, int highPass, QObject* parent = nullptr);

    void Reset() override;
    float InternalProcess(float x) override;

    int kind() const { return m_kind; }
    int order() const { return m_order; }
    int highPassFlag() const { return m_highPass; }
    float cutoff() const { return m_cutoff; }
    int sectionCount() const { return int(m_coefficients.size()); }

private:
    using Section = std::array<double, 5>;

    int m_kind = 0;
    int m_order = 2;
    int m_highPass = 1;
    float m_cutoff = 0.0f;
    std::vector<Section> m_coefficients; // c0 … c4
    std::vector<Section> m_states; // x0, x1, x2, y1, y2
};
