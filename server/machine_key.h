#pragma once
#include <QString>
#include <cstdint>
#include <optional>

// A short text that tells machines apart: the last 8 characters of the root
// volume's 32-bit serial number written as a signed decimal number.
QString FormatMachineKey(std::uint32_t serial);
QString GetMachineKey();

// The 32-bit serial of the root file system, when the system gives one.
std::optional<std::uint32_t> RootVolumeSerial();

// Key used when no serial can be read.
inline constexpr const char* kFallbackMachineKey = "0";
