#pragma once

#include "NTSettings.h"

// The records window's settings, stored in "RecSettings.xml" in the current (data) folder.
class RecordsSettings : public NTSettings
{
    Q_OBJECT
public:
    explicit RecordsSettings(const QString& file = QStringLiteral("RecSettings.xml"), QObject* parent = nullptr);

    NT_INT_PROPERTY(ViewSeconds, 20, 1, 120, 1)
    Q_CLASSINFO("ViewSecondsDescription", "ViewSecondsDescription")
    Q_CLASSINFO("ViewSecondsSuffix", "s")
    Q_CLASSINFO("ViewSecondsIcon", ":/icons/arrow-left-right.svg")
    NT_PROPERTY(double, HPF, 0.02)
    Q_CLASSINFO("HPFDescription", "HPFDescription")
    NT_BOUNDS(HPF, 0, 10, 0.01)
    Q_CLASSINFO("HPFSuffix", "Hz")
    Q_CLASSINFO("HPFPrecision", "2")
    NT_INT_PROPERTY(Range, 100, 5, 1000, 5)
    Q_CLASSINFO("RangeDescription", "RangeDescription")
    Q_CLASSINFO("RangePrefix", "!-±")
    Q_CLASSINFO("RangeIcon", ":/icons/arrow-up-down.svg")
    NT_PROPERTY(double, Offset, 0.0)
    Q_CLASSINFO("OffsetDescription", "OffsetDescription")
    NT_BOUNDS(Offset, -10.0, 10.0, 0.1)
    Q_CLASSINFO("OffsetSuffix", "s")
    Q_CLASSINFO("OffsetPrecision", "1")
    NT_INT_PROPERTY(Channel1, 0, 0, 100, 1)
    Q_CLASSINFO("Channel1Description", "Channel1Description")
    NT_INT_PROPERTY(Channel2, 9, 0, 100, 1)
    Q_CLASSINFO("Channel2Description", "Channel2Description")
    // The light of the instrument's R and IR values, for the SNIRF export; they must match the instrument.
    NT_INT_PROPERTY(RedWavelength, 760, 300, 1100, 1)
    Q_CLASSINFO("RedWavelengthDescription", "RedWavelengthDescription")
    Q_CLASSINFO("RedWavelengthSuffix", "nm")
    NT_INT_PROPERTY(InfraredWavelength, 850, 300, 1100, 1)
    Q_CLASSINFO("InfraredWavelengthDescription", "InfraredWavelengthDescription")
    Q_CLASSINFO("InfraredWavelengthSuffix", "nm")
};
