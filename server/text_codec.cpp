#include "server/text_codec.h"

#include <cstring>

char* Utf8ToAnsi(char* text, unsigned size)
{
    if (text == nullptr)
        return text;
    const QString wide = QString::fromUtf8(text, qsizetype(std::strlen(text)));
    const qsizetype units = wide.size() + 1;
    if (qsizetype(size) < units)
        return text;
    const std::string ansi = EncodeToLocaleCharset(wide);
    if (ansi.size() + 1 > size)
        return text;
    std::memcpy(text, ansi.c_str(), ansi.size() + 1);
    return text;
}
