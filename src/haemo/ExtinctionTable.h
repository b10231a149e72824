#pragma once

// Molar extinction coefficients of oxy- and deoxy-haemoglobin (cm⁻¹/M) by wavelength (nm), as tabulated by S. Prahl,
// "Optical absorption of hemoglobin" (https://omlc.org/spectra/hemoglobin/summary.html), in the copy MNE-Python 1.3
// uses (mne/data/extinction_coef.mat). ExtinctionTableData.cpp holds the rows and is generated from that file by
// scripts/make-extinction-table. The table runs from 250 to 1000 nm in 2 nm steps; between rows the coefficients are
// interpolated linearly with the arithmetic of scipy's interp1d(kind='linear'), which MNE's beer_lambert_law calls,
// and outside the table there is no value (interp1d raises there).
namespace ExtinctionTable {

struct Row
{
    double wavelength; // nm
    double oxy; // HbO₂, cm⁻¹/M
    double deoxy; // Hb, cm⁻¹/M
};

extern const Row Rows[];
extern const int RowCount;

double minWavelength();
double maxWavelength();
bool covers(double wavelength);
// The interpolated row at a wavelength the table covers; NaN coefficients elsewhere.
Row at(double wavelength);

} // namespace ExtinctionTable
