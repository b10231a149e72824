#pragma once

#include "NTSettings.h"

// The records window's settings, stored in "RecSettings.xml" in the current (data) folder.
class RecordsSettings : public NTSettings
{
    Q_OBJECT
public:
    explicit RecordsSettings(const QString& file = QStringLiteral("RecSettings.xml"), QObject* parent = nullptr);

    // For the command-line tools, which run in any folder: the file in the data folder (Documents/Halvex), as the
    // records window keeps it, when there is one; else the defaults stay. Nothing is created or written.
    void readDataFolderFile();

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
    // What turns the instrument's light into haemoglobin and quality: the live view, this window, halvex-export and
    // halvex-analyze read one file, so that they all give the same numbers. The wavelengths of the R and IR values
    // must match the instrument; the extinction table covers them up to 1000 nm.
    NT_INT_PROPERTY(RedWavelength, 760, 300, 1000, 1)
    Q_CLASSINFO("RedWavelengthDescription", "RedWavelengthDescription")
    Q_CLASSINFO("RedWavelengthSuffix", "nm")
    NT_INT_PROPERTY(InfraredWavelength, 850, 300, 1000, 1)
    Q_CLASSINFO("InfraredWavelengthDescription", "InfraredWavelengthDescription")
    Q_CLASSINFO("InfraredWavelengthSuffix", "nm")
    NT_PROPERTY(double, PartialPathlengthFactor, 6.0)
    Q_CLASSINFO("PartialPathlengthFactorDescription", "PartialPathlengthFactorDescription")
    NT_BOUNDS(PartialPathlengthFactor, 0.1, 50.0, 0.1)
    Q_CLASSINFO("PartialPathlengthFactorPrecision", "1")
    NT_INT_PROPERTY(SourceDetectorDistance, 30, 1, 100, 1)
    Q_CLASSINFO("SourceDetectorDistanceDescription", "SourceDetectorDistanceDescription")
    Q_CLASSINFO("SourceDetectorDistanceSuffix", "mm")
    // A channel whose scalp coupling index reaches this sees the scalp.
    NT_PROPERTY(double, GoodCoupling, 0.75)
    Q_CLASSINFO("GoodCouplingDescription", "GoodCouplingDescription")
    NT_BOUNDS(GoodCoupling, 0.0, 1.0, 0.05)
    Q_CLASSINFO("GoodCouplingPrecision", "2")
    // Raw values from this level up count as saturated; 0 takes 2 % below the largest value seen.
    NT_PROPERTY(double, SaturationLevel, 0.0)
    Q_CLASSINFO("SaturationLevelDescription", "SaturationLevelDescription")
    NT_BOUNDS(SaturationLevel, 0.0, 1000000000.0, 1.0)
    Q_CLASSINFO("SaturationLevelPrecision", "0")
    // A channel whose mean intensity stays below this is dark.
    NT_PROPERTY(double, DarkLevel, 1.0)
    Q_CLASSINFO("DarkLevelDescription", "DarkLevelDescription")
    NT_BOUNDS(DarkLevel, 0.0, 1000000000.0, 1.0)
    Q_CLASSINFO("DarkLevelPrecision", "0")
    // Averages around the marks (the records window's Average view, halvex-analyze --average): the epoch from
    // AverageFrom to AverageTo seconds around each mark, less its mean from BaselineFrom to BaselineTo; before that,
    // when AverageBand is on, a zero-phase band-pass from AverageBandLow to AverageBandHigh. The activation map shows
    // the mean response from ResponseFrom to ResponseTo.
    NT_PROPERTY(double, AverageFrom, -5.0)
    Q_CLASSINFO("AverageFromDescription", "AverageFromDescription")
    NT_BOUNDS(AverageFrom, -120.0, 120.0, 0.5)
    Q_CLASSINFO("AverageFromSuffix", "s")
    Q_CLASSINFO("AverageFromPrecision", "1")
    NT_PROPERTY(double, AverageTo, 20.0)
    Q_CLASSINFO("AverageToDescription", "AverageToDescription")
    NT_BOUNDS(AverageTo, -120.0, 120.0, 0.5)
    Q_CLASSINFO("AverageToSuffix", "s")
    Q_CLASSINFO("AverageToPrecision", "1")
    NT_PROPERTY(double, BaselineFrom, -5.0)
    Q_CLASSINFO("BaselineFromDescription", "BaselineFromDescription")
    NT_BOUNDS(BaselineFrom, -120.0, 120.0, 0.5)
    Q_CLASSINFO("BaselineFromSuffix", "s")
    Q_CLASSINFO("BaselineFromPrecision", "1")
    NT_PROPERTY(double, BaselineTo, 0.0)
    Q_CLASSINFO("BaselineToDescription", "BaselineToDescription")
    NT_BOUNDS(BaselineTo, -120.0, 120.0, 0.5)
    Q_CLASSINFO("BaselineToSuffix", "s")
    Q_CLASSINFO("BaselineToPrecision", "1")
    NT_PROPERTY(bool, AverageBand, true)
    Q_CLASSINFO("AverageBandDescription", "AverageBandDescription")
    NT_PROPERTY(double, AverageBandLow, 0.01)
    Q_CLASSINFO("AverageBandLowDescription", "AverageBandLowDescription")
    NT_BOUNDS(AverageBandLow, 0.001, 100.0, 0.01)
    Q_CLASSINFO("AverageBandLowSuffix", "Hz")
    Q_CLASSINFO("AverageBandLowPrecision", "3")
    NT_PROPERTY(double, AverageBandHigh, 0.5)
    Q_CLASSINFO("AverageBandHighDescription", "AverageBandHighDescription")
    NT_BOUNDS(AverageBandHigh, 0.001, 100.0, 0.01)
    Q_CLASSINFO("AverageBandHighSuffix", "Hz")
    Q_CLASSINFO("AverageBandHighPrecision", "3")
    NT_PROPERTY(double, ResponseFrom, 5.0)
    Q_CLASSINFO("ResponseFromDescription", "ResponseFromDescription")
    NT_BOUNDS(ResponseFrom, -120.0, 120.0, 0.5)
    Q_CLASSINFO("ResponseFromSuffix", "s")
    Q_CLASSINFO("ResponseFromPrecision", "1")
    NT_PROPERTY(double, ResponseTo, 15.0)
    Q_CLASSINFO("ResponseToDescription", "ResponseToDescription")
    NT_BOUNDS(ResponseTo, -120.0, 120.0, 0.5)
    Q_CLASSINFO("ResponseToSuffix", "s")
    Q_CLASSINFO("ResponseToPrecision", "1")
    // What a BIDS dataset's recording side files say of the place and the instrument: the mains frequency (50 or
    // 60 Hz) and the instrument's maker (empty: not known).
    NT_INT_PROPERTY(PowerLineFrequency, 50, 50, 60, 10)
    Q_CLASSINFO("PowerLineFrequencyDescription", "PowerLineFrequencyDescription")
    Q_CLASSINFO("PowerLineFrequencySuffix", "Hz")
    NT_PROPERTY(QString, Manufacturer, "")
    Q_CLASSINFO("ManufacturerDescription", "ManufacturerDescription")
    // The BIDS export dialog's last entries.
    NT_PROPERTY(QString, BidsDataset, "")
    Q_CLASSINFO("BidsDatasetNotVisible", "true")
    NT_PROPERTY(QString, BidsSubject, "")
    Q_CLASSINFO("BidsSubjectNotVisible", "true")
    NT_PROPERTY(QString, BidsSession, "")
    Q_CLASSINFO("BidsSessionNotVisible", "true")
    NT_PROPERTY(QString, BidsTask, "")
    Q_CLASSINFO("BidsTaskNotVisible", "true")
    NT_INT_PROPERTY(BidsRun, 0, 0, 9999, 1)
    Q_CLASSINFO("BidsRunNotVisible", "true")
};
