// Any file contents: reading never faults, and after writing the entry it reads
// back as written while the other sections keep their values.
#include "server/profile_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString otherBefore = ProfileLookup(contents, "Other", "key", "<none>");
    ProfileLookup(contents, "System", "loginurl", QString());

    const QByteArray updated = ProfileUpdate(contents, "System", "loginurl", "DBCXJKGM");
    if (ProfileLookup(updated, "System", "loginurl", QString()) != QLatin1String("DBCXJKGM"))
        std::abort();
    if (ProfileLookup(updated, "Other", "key", "<none>") != otherBefore)
        std::abort();
    return 0;
}
