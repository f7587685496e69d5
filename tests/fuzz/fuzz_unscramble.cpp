// Any remembered value must unscramble without a fault, and scrambling any
// host-name-like text must come back unchanged.
#include "server/scramble.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString stored = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::uint16_t key = size >= 2 ? std::uint16_t(data[0] << 8 | data[1]) : kConfigScrambleKey;
    const QString plain = UnscrambleText(stored, key);
    if (plain.size() != stored.size() / 2)
        std::abort();

    QString latin;
    for (std::size_t i = 0; i < size; ++i)
        latin.append(QChar(char16_t(data[i])));
    const QString scrambled = ScrambleText(latin, key);
    if (scrambled.size() != 2 * latin.size() || UnscrambleText(scrambled, key) != latin)
        std::abort();
    return 0;
}
