// The update endpoint's reply, as the version check hands it over (already cut at the reply size limit).
#include "FuzzSupport.h"
#include "VersionChecker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    const QByteArray reply(reinterpret_cast<const char*>(data),
        qsizetype(std::min<size_t>(size, size_t(VersionChecker::MaximumReplyBytes))));
    VersionChecker::parseVersionInfo(reply);
    return 0;
}
