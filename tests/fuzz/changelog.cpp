// The change log: its entries in both languages, and their rich text for the about window.
#include "AppHelper.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& language : { QStringLiteral("en_US"), QStringLiteral("ru-RU") })
        AppHelper::renderChangeLog(AppHelper::changeLogBlocks(text, language));
    return 0;
}
