#pragma once
#include <QString>
#include <cstdint>

// The remembered host is stored scrambled so that the configuration file does
// not show a plain server name. The arithmetic must stay exactly as it is: files
// written by earlier clients have to keep unscrambling to the same host.
inline constexpr std::uint16_t kConfigScrambleKey = 0x2E9D;

QString ScrambleText(const QString& text, std::uint16_t key);
QString UnscrambleText(const QString& text, std::uint16_t key);
