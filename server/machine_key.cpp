#include "server/machine_key.h"

QString FormatMachineKey(std::uint32_t serial)
{
    return QString::number(static_cast<std::int32_t>(serial)).right(8);
}

QString GetMachineKey()
{
    const std::optional<std::uint32_t> serial = RootVolumeSerial();
    return serial ? FormatMachineKey(*serial) : QString::fromLatin1(kFallbackMachineKey);
}
