#pragma once

#include "NTSettings.h"
#include "StyleHelper.h"

// The application settings, stored in "Settings.xml" in the data folder and rewritten after every change.
class HalvexSettings : public NTSettings
{
    Q_OBJECT
public:
    enum ViewMode { View_Table = 0, View_Graphics = 1 };
    Q_ENUM(ViewMode)
    enum AcquisitionVariant { Acquire_VRIR = 0, Acquire_RIR = 1, Acquire_aRIR = 2 };
    Q_ENUM(AcquisitionVariant)
    enum HalvexLanguage { en_US = 0, ru_RU = 1 };
    Q_ENUM(HalvexLanguage)

    explicit HalvexSettings(const QString& file, QObject* parent = nullptr);

    NT_PROPERTY(HalvexLanguage, Language, HalvexLanguage::ru_RU)
    Q_CLASSINFO("LanguageNoDefault", "true")
    Q_CLASSINFO("LanguageIcon", ":/icons/translate.svg")
    NT_PROPERTY(StyleHelper::ColorThemeEnum, ColorTheme, StyleHelper::ColorThemeEnum::System)
    Q_CLASSINFO("ColorThemeIcon", ":/icons/brightness.svg")
    NT_PROPERTY(QString, LastDevice, "")
    Q_CLASSINFO("LastDeviceNotVisible", "true")
    NT_PROPERTY(bool, StartMaximized, true)
    NT_PROPERTY(bool, RememberLastDevice, true)
    NT_PROPERTY(bool, UseVirtualDevice, false)
    NT_INT_PROPERTY(VirtualDeviceChannels, 12, 1, 100, 1)
    Q_CLASSINFO("VirtualDeviceChannelsVisibleBound", "UseVirtualDevice")
    NT_PROPERTY(ViewMode, View, ViewMode::View_Graphics)
    Q_CLASSINFO("ViewIconView_Graphics", ":/icons/chart-line.svg")
    Q_CLASSINFO("ViewIconView_Table", ":/icons/table.svg")
    NT_INT_PROPERTY(ViewSeconds, 10, 1, 120, 1)
    Q_CLASSINFO("ViewSecondsSuffix", " s")
    NT_PROPERTY(AcquisitionVariant, Acquisition, AcquisitionVariant::Acquire_aRIR)
    NT_PROPERTY(bool, LockCommonVerticalScale, false)
    NT_INT_PROPERTY(RIRsmoothing, 20, 1, 100, 1)
    NT_PROPERTY(QString, SendOnStartRecord, "http://127.0.0.1:2336/startStimPack")
    NT_PROPERTY(QString, SendOnEndRecord, "http://127.0.0.1:2336/stopRecord")
    NT_PROPERTY(bool, UseMontage, false)
    NT_PROPERTY(QString, Montage, "")
    Q_CLASSINFO("MontageSpecialType", "Multiline")
    Q_CLASSINFO("MontageDescription", "MontageDescription")
    NT_INT_PROPERTY(GraphicSpacing, 10, 0, 20, 1)
};
