#include "server/text_codec.h"

#include <QStringDecoder>
#include <cstring>

QString Utf8Text(const char* data, qsizetype size)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(data, size));
}

char* Utf8ToAnsi(char* text, unsigned size)
{
    if (text == nullptr)
        return text;
    const QString wide = Utf8Text(text, qsizetype(std::strlen(text)));
    const qsizetype units = wide.size() + 1;
    if (qsizetype(size) < units)
        return text;
    const std::string ansi = EncodeToLocaleCharset(wide);
    if (ansi.size() + 1 > size)
        return text;
    std::memcpy(text, ansi.c_str(), ansi.size() + 1);
    return text;
}
