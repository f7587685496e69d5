// Linux has no volume serial numbers; the root file system's id (f_fsid from
// statvfs) is the stable 32-bit number that serves the same purpose.
#include "server/machine_key.h"

#include <cstring>
#include <sys/statvfs.h>

std::optional<std::uint32_t> RootVolumeSerial()
{
    struct statvfs st;
    if (statvfs("/", &st) != 0)
        return std::nullopt;
    return static_cast<std::uint32_t>(st.f_fsid & 0xFFFFFFFFu);
}
