#include "HalvexSettings.h"

HalvexSettings::HalvexSettings(const QString& file, QObject* parent)
    : NTSettings(file, true, parent, NTSettingsFormat::XML)
{
    // Values are converted by type name elsewhere (the editor, the theme engine), which knows the unqualified names.
    qRegisterMetaType<HalvexSettings::ViewMode>("ViewMode");
    qRegisterMetaType<HalvexSettings::AcquisitionVariant>("AcquisitionVariant");
    qRegisterMetaType<HalvexSettings::HalvexLanguage>("HalvexLanguage");
    qRegisterMetaType<StyleHelper::ColorThemeEnum>("ColorThemeEnum");
}
