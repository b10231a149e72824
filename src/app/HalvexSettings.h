#pragma once

#include "NTSettings.h"
#include "StyleHelper.h"

// The application settings, stored in "Settings.xml" in the data folder and rewritten after every change.
// The editor titles a property with the catalogue text of its name and shows the text of its "<Name>Description"
// key as tooltip, both in the context "Generic"; every shown property has both in every catalogue.
class HalvexSettings : public NTSettings
{
    Q_OBJECT
public:
    enum ViewMode { View_Table = 0, View_Graphics = 1, View_Haemoglobin = 2 };
    Q_ENUM(ViewMode)
    enum AcquisitionVariant { Acquire_VRIR = 0, Acquire_RIR = 1, Acquire_aRIR = 2 };
    Q_ENUM(AcquisitionVariant)
    enum HalvexLanguage { en_US = 0, ru_RU = 1 };
    Q_ENUM(HalvexLanguage)
    // What the virtual instrument draws: a random walk, or a model head with a pulse that answers event marks.
    enum VirtualSignalModel { RandomWalk = 0, Head = 1 };
    Q_ENUM(VirtualSignalModel)

    explicit HalvexSettings(const QString& file, QObject* parent = nullptr);

    NT_PROPERTY(HalvexLanguage, Language, HalvexLanguage::ru_RU)
    Q_CLASSINFO("LanguageDescription", "LanguageDescription")
    Q_CLASSINFO("LanguageNoDefault", "true")
    Q_CLASSINFO("LanguageIcon", ":/icons/translate.svg")
    NT_PROPERTY(StyleHelper::ColorThemeEnum, ColorTheme, StyleHelper::ColorThemeEnum::System)
    Q_CLASSINFO("ColorThemeDescription", "ColorThemeDescription")
    Q_CLASSINFO("ColorThemeIcon", ":/icons/brightness.svg")
    NT_PROPERTY(QString, LastDevice, "")
    Q_CLASSINFO("LastDeviceNotVisible", "true")
    NT_PROPERTY(bool, StartMaximized, true)
    Q_CLASSINFO("StartMaximizedDescription", "StartMaximizedDescription")
    NT_PROPERTY(bool, RememberLastDevice, true)
    Q_CLASSINFO("RememberLastDeviceDescription", "RememberLastDeviceDescription")
    NT_INT_PROPERTY(ReconnectSeconds, 300, 0, 3600, 10)
    Q_CLASSINFO("ReconnectSecondsDescription", "ReconnectSecondsDescription")
    Q_CLASSINFO("ReconnectSecondsSuffix", " s")
    NT_PROPERTY(bool, UseVirtualDevice, false)
    Q_CLASSINFO("UseVirtualDeviceDescription", "UseVirtualDeviceDescription")
    NT_INT_PROPERTY(VirtualDeviceChannels, 12, 1, 100, 1)
    Q_CLASSINFO("VirtualDeviceChannelsDescription", "VirtualDeviceChannelsDescription")
    Q_CLASSINFO("VirtualDeviceChannelsVisibleBound", "UseVirtualDevice")
    NT_PROPERTY(VirtualSignalModel, VirtualSignal, VirtualSignalModel::RandomWalk)
    Q_CLASSINFO("VirtualSignalDescription", "VirtualSignalDescription")
    Q_CLASSINFO("VirtualSignalVisibleBound", "UseVirtualDevice")
    NT_INT_PROPERTY(VirtualRate, 10, 1, 100, 1)
    Q_CLASSINFO("VirtualRateDescription", "VirtualRateDescription")
    Q_CLASSINFO("VirtualRateSuffix", " samples/s")
    Q_CLASSINFO("VirtualRateVisibleBound", "UseVirtualDevice")
    // Every n-th channel of the model head is badly coupled; 0 couples them all.
    NT_INT_PROPERTY(VirtualBadChannelEvery, 6, 0, 100, 1)
    Q_CLASSINFO("VirtualBadChannelEveryDescription", "VirtualBadChannelEveryDescription")
    Q_CLASSINFO("VirtualBadChannelEveryVisibleBound", "UseVirtualDevice")
    NT_PROPERTY(ViewMode, View, ViewMode::View_Graphics)
    Q_CLASSINFO("ViewDescription", "ViewDescription")
    Q_CLASSINFO("ViewIconView_Graphics", ":/icons/chart-line.svg")
    Q_CLASSINFO("ViewIconView_Table", ":/icons/table.svg")
    Q_CLASSINFO("ViewIconView_Haemoglobin", ":/icons/heart-rate.svg")
    NT_INT_PROPERTY(ViewSeconds, 10, 1, 120, 1)
    Q_CLASSINFO("ViewSecondsDescription", "ViewSecondsDescription")
    Q_CLASSINFO("ViewSecondsSuffix", " s")
    // The live haemoglobin starts from the mean light of this many seconds after the instrument starts or the
    // baseline is reset.
    NT_INT_PROPERTY(BaselineSeconds, 10, 1, 120, 1)
    Q_CLASSINFO("BaselineSecondsDescription", "BaselineSecondsDescription")
    Q_CLASSINFO("BaselineSecondsSuffix", " s")
    // The live signal check looks at this many last seconds, once a second.
    NT_INT_PROPERTY(QualityWindowSeconds, 10, 3, 60, 1)
    Q_CLASSINFO("QualityWindowSecondsDescription", "QualityWindowSecondsDescription")
    Q_CLASSINFO("QualityWindowSecondsSuffix", " s")
    NT_PROPERTY(AcquisitionVariant, Acquisition, AcquisitionVariant::Acquire_aRIR)
    Q_CLASSINFO("AcquisitionDescription", "AcquisitionDescription")
    NT_PROPERTY(bool, LockCommonVerticalScale, false)
    Q_CLASSINFO("LockCommonVerticalScaleDescription", "LockCommonVerticalScaleDescription")
    NT_INT_PROPERTY(RIRsmoothing, 20, 1, 100, 1)
    Q_CLASSINFO("RIRsmoothingDescription", "RIRsmoothingDescription")
    Q_CLASSINFO("RIRsmoothingSuffix", " samples")
    NT_PROPERTY(QString, SendOnStartRecord, "http://127.0.0.1:2336/startStimPack")
    Q_CLASSINFO("SendOnStartRecordDescription", "SendOnStartRecordDescription")
    Q_CLASSINFO("SendOnStartRecordSchemes", "http https")
    NT_PROPERTY(QString, SendOnEndRecord, "http://127.0.0.1:2336/stopRecord")
    Q_CLASSINFO("SendOnEndRecordDescription", "SendOnEndRecordDescription")
    Q_CLASSINFO("SendOnEndRecordSchemes", "http https")
    // The loopback port on which other programs put marks into the running record; 0 turns that off.
    NT_INT_PROPERTY(MarkPort, 2337, 0, 65535, 1)
    Q_CLASSINFO("MarkPortDescription", "MarkPortDescription")
    // Web pages allowed to put marks and read the answers, as their browser names them ("http://localhost:8000"),
    // separated by line breaks, spaces or commas; programs other than browsers need no entry.
    NT_PROPERTY(QString, MarkAllowedOrigins, "")
    Q_CLASSINFO("MarkAllowedOriginsSpecialType", "Multiline")
    Q_CLASSINFO("MarkAllowedOriginsDescription", "MarkAllowedOriginsDescription")
    NT_PROPERTY(bool, MarkRequireToken, false)
    Q_CLASSINFO("MarkRequireTokenDescription", "MarkRequireTokenDescription")
    // The Lab Streaming Layer: the samples as a stream named LslStreamName (type "NIRS") and the marks as
    // "<name>-markers" while an instrument is connected; marks of other programs' marker streams (names, or an
    // LSL query such as "type='Markers'", one per line) go into the running record. Hidden where liblsl is not
    // built in: moc sees HALVEX_HAS_LSL.
    NT_PROPERTY(bool, LslOutlet, true)
    Q_CLASSINFO("LslOutletDescription", "LslOutletDescription")
    NT_PROPERTY(QString, LslStreamName, "Halvex")
    Q_CLASSINFO("LslStreamNameDescription", "LslStreamNameDescription")
    Q_CLASSINFO("LslStreamNameVisibleBound", "LslOutlet")
    NT_PROPERTY(QString, LslMarkerStreams, "")
    Q_CLASSINFO("LslMarkerStreamsSpecialType", "Multiline")
    Q_CLASSINFO("LslMarkerStreamsDescription", "LslMarkerStreamsDescription")
#if !HALVEX_HAS_LSL
    Q_CLASSINFO("LslOutletNotVisible", "true")
    Q_CLASSINFO("LslStreamNameNotVisible", "true")
    Q_CLASSINFO("LslMarkerStreamsNotVisible", "true")
#endif
    NT_PROPERTY(bool, UseMontage, false)
    Q_CLASSINFO("UseMontageDescription", "UseMontageDescription")
    NT_PROPERTY(QString, Montage, "")
    Q_CLASSINFO("MontageSpecialType", "Multiline")
    Q_CLASSINFO("MontageDescription", "MontageDescription")
    NT_INT_PROPERTY(GraphicSpacing, 10, 0, 20, 1)
    Q_CLASSINFO("GraphicSpacingDescription", "GraphicSpacingDescription")
    Q_CLASSINFO("GraphicSpacingSuffix", " px")
};
