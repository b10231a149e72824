#pragma once

#include <QString>

#include <optional>
#include <vector>

// The modified Beer–Lambert law: changes of oxy- and deoxy-haemoglobin from the optical densities at two
// wavelengths, as MNE-Python 1.3's beer_lambert_law computes them:
//     [HbO, HbR] = pinv(A · d · ppf) · [OD_red, OD_infrared] · 1e-3 mol/L,
//     A = [[ε_HbO(λ_red), ε_HbR(λ_red)], [ε_HbO(λ_ir), ε_HbR(λ_ir)]] · 0.2303,
// with ε the molar extinction coefficients of ExtinctionTable (cm⁻¹/M), d the source–detector distance in metres and
// ppf the partial pathlength factor (Delpy et al. 1988; Kocsis et al. 2006). The result is given in µM. The matrix is
// invertible for any two different wavelengths of the table, so pinv is its inverse here, and opticalDensities()
// runs the law forwards, OD = A · d · ppf · c, for light made from known concentrations (the virtual head).
class BeerLambert
{
public:
    struct Settings
    {
        double redWavelength = 760; // nm
        double infraredWavelength = 850; // nm
        double distanceMm = 30;
        double partialPathlengthFactor = 6;
    };
    struct Haemoglobin
    {
        double oxy; // µM
        double deoxy; // µM
    };
    struct OpticalDensities
    {
        double red;
        double infrared;
    };

    // Nothing, with the reason in *reason, for settings that give no concentrations: a wavelength outside the
    // extinction table, two wavelengths that cannot tell the haemoglobins apart, a distance or factor not above 0.
    static std::optional<BeerLambert> create(const Settings& settings, QString* reason = nullptr);

    const Settings& settings() const { return m_settings; }

    Haemoglobin operator()(double odRed, double odInfrared) const
    {
        return { (m_inverse[0][0] * odRed + m_inverse[0][1] * odInfrared) * MicromolarPerUnit,
            (m_inverse[1][0] * odRed + m_inverse[1][1] * odInfrared) * MicromolarPerUnit };
    }
    // The optical densities that changes of oxy- and deoxy-haemoglobin (µM) give; operator() takes them back.
    OpticalDensities opticalDensities(double oxy, double deoxy) const
    {
        return { (m_forward[0][0] * oxy + m_forward[0][1] * deoxy) / MicromolarPerUnit,
            (m_forward[1][0] * oxy + m_forward[1][1] * deoxy) / MicromolarPerUnit };
    }
    // Series of equal length; a NaN optical density gives NaN concentrations at that sample only.
    void convert(const std::vector<double>& odRed, const std::vector<double>& odInfrared, std::vector<double>& oxy,
        std::vector<double>& deoxy) const;

private:
    // MNE's 1e-3 (giving mol/L) times 1e6 µM per mol/L.
    static constexpr double MicromolarPerUnit = 1e-3 * 1e6;

    BeerLambert() = default;

    Settings m_settings;
    double m_forward[2][2] {}; // A · d · ppf
    double m_inverse[2][2] {};
};
