#include "ExtinctionTable.h"

#include <algorithm>
#include <limits>

double ExtinctionTable::minWavelength()
{
    return Rows[0].wavelength;
}

double ExtinctionTable::maxWavelength()
{
    return Rows[RowCount - 1].wavelength;
}

bool ExtinctionTable::covers(double wavelength)
{
    return wavelength >= minWavelength() && wavelength <= maxWavelength();
}

ExtinctionTable::Row ExtinctionTable::at(double wavelength)
{
    if (!covers(wavelength)) {
        const double none = std::numeric_limits<double>::quiet_NaN();
        return { wavelength, none, none };
    }
    // interp1d: the first row at or above the wavelength (searchsorted, left side), kept within 1..n-1, and the line
    // through it and the row before, evaluated as slope·(x − x_lo) + y_lo.
    const Row* end = Rows + RowCount;
    const Row* hi
        = std::lower_bound(Rows, end, wavelength, [](const Row& row, double value) { return row.wavelength < value; });
    hi = std::clamp(hi, Rows + 1, end - 1);
    const Row& lo = *(hi - 1);
    const double run = hi->wavelength - lo.wavelength;
    return { wavelength, (hi->oxy - lo.oxy) / run * (wavelength - lo.wavelength) + lo.oxy,
        (hi->deoxy - lo.deoxy) / run * (wavelength - lo.wavelength) + lo.deoxy };
}
