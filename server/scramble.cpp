#include "server/scramble.h"

namespace {
std::uint16_t NextKey(std::uint16_t k, unsigned b)
{
    return static_cast<std::uint16_t>(22719u - (b + k) * 12691u);
}
}  // namespace

QString ScrambleText(const QString& text, std::uint16_t key)
{
    QString out;
    out.reserve(text.size() * 2);
    std::uint16_t k = key;
    for (QChar ch : text) {
        const std::uint16_t e = ch.unicode() ^ (k >> 8);
        const unsigned b = e % 256;
        k = NextKey(k, b);
        out.append(QChar(char16_t(65 + b / 26)));
        out.append(QChar(char16_t(65 + b % 26)));
    }
    return out;
}

QString UnscrambleText(const QString& text, std::uint16_t key)
{
    QString out;
    out.reserve(text.size() / 2);
    std::uint16_t k = key;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const unsigned p = text[i].unicode() % 256;
        const unsigned q = text[i + 1].unicode() % 256;
        const std::uint16_t e = static_cast<std::uint16_t>(p * 26 + q - 1755);
        const unsigned b = e % 256;
        out.append(QChar(char16_t(b ^ (k >> 8))));
        k = NextKey(k, b);
    }
    return out;
}
