#include "LslLibrary.h"

#if HALVEX_HAS_LSL
#include <lsl_c.h>
#endif

QString LslLibrary::versionLine()
{
#if HALVEX_HAS_LSL
    // lsl_library_version() is major * 100 + minor. The protocol version would load the library's config, which
    // logs the network interfaces: not for a --version.
    const int version = lsl_library_version();
    return QStringLiteral("Lab Streaming Layer: liblsl %1.%2").arg(version / 100).arg(version % 100);
#else
    return QStringLiteral("Lab Streaming Layer: not built in (liblsl was not found when this program was built)");
#endif
}
