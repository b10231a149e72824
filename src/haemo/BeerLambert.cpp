#include "BeerLambert.h"

#include "ExtinctionTable.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

// Absorption per molar extinction: ln(10) rounded, as MNE and the tables of the field have it.
constexpr double AbsorptionPerExtinction = 0.2303;

void refuse(QString* reason, const QString& text)
{
    if (reason)
        *reason = text;
}

} // namespace

std::optional<BeerLambert> BeerLambert::create(const Settings& settings, QString* reason)
{
    for (const double wavelength : { settings.redWavelength, settings.infraredWavelength }) {
        if (!ExtinctionTable::covers(wavelength)) {
            refuse(reason,
                QCoreApplication::translate("Generic",
                    "The wavelength %1 nm lies outside the table of haemoglobin extinction coefficients (%2 to %3 nm).")
                    .arg(wavelength)
                    .arg(ExtinctionTable::minWavelength())
                    .arg(ExtinctionTable::maxWavelength()));
            return std::nullopt;
        }
    }
    if (!(settings.distanceMm > 0) || !std::isfinite(settings.distanceMm)) {
        refuse(reason,
            QCoreApplication::translate("Generic", "The source–detector distance must be above 0 mm, not %1.")
                .arg(settings.distanceMm));
        return std::nullopt;
    }
    if (!(settings.partialPathlengthFactor > 0) || !std::isfinite(settings.partialPathlengthFactor)) {
        refuse(reason,
            QCoreApplication::translate("Generic", "The partial pathlength factor must be above 0, not %1.")
                .arg(settings.partialPathlengthFactor));
        return std::nullopt;
    }

    // A · d · ppf in MNE's order of operations: extinction × 0.2303, then × distance (m), then × ppf.
    const double distance = settings.distanceMm / 1000.0;
    double a[2][2];
    const double wavelengths[2] = { settings.redWavelength, settings.infraredWavelength };
    for (int row = 0; row < 2; ++row) {
        const ExtinctionTable::Row coefficients = ExtinctionTable::at(wavelengths[row]);
        a[row][0] = coefficients.oxy * AbsorptionPerExtinction * distance * settings.partialPathlengthFactor;
        a[row][1] = coefficients.deoxy * AbsorptionPerExtinction * distance * settings.partialPathlengthFactor;
    }
    const double determinant = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const double scale = a[0][0] * a[0][0] + a[0][1] * a[0][1] + a[1][0] * a[1][0] + a[1][1] * a[1][1];
    // Equal wavelengths give equal rows: pinv would then spread one optical density over both haemoglobins.
    if (!(std::abs(determinant) > 1e-9 * scale)) {
        refuse(reason,
            QCoreApplication::translate("Generic",
                "The wavelengths %1 and %2 nm cannot tell oxy- from deoxy-haemoglobin: choose two different ones.")
                .arg(settings.redWavelength)
                .arg(settings.infraredWavelength));
        return std::nullopt;
    }

    BeerLambert law;
    law.m_settings = settings;
    std::copy(&a[0][0], &a[0][0] + 4, &law.m_forward[0][0]);
    law.m_inverse[0][0] = a[1][1] / determinant;
    law.m_inverse[0][1] = -a[0][1] / determinant;
    law.m_inverse[1][0] = -a[1][0] / determinant;
    law.m_inverse[1][1] = a[0][0] / determinant;
    return law;
}

void BeerLambert::convert(const std::vector<double>& odRed, const std::vector<double>& odInfrared,
    std::vector<double>& oxy, std::vector<double>& deoxy) const
{
    const size_t n = std::min(odRed.size(), odInfrared.size());
    oxy.resize(n);
    deoxy.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const Haemoglobin value = (*this)(odRed[i], odInfrared[i]);
        oxy[i] = value.oxy;
        deoxy[i] = value.deoxy;
    }
}
