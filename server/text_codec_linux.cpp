// The locale's character set through iconv: the Linux counterpart of the
// Windows ANSI code page.
#include "server/text_codec.h"

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <strings.h>

namespace {

const char* LocaleCharset()
{
    const char* cs = nl_langinfo(CODESET);
    return (cs && *cs) ? cs : "ANSI_X3.4-1968";
}

bool LocaleIsUtf8()
{
    const char* cs = LocaleCharset();
    return strcasecmp(cs, "UTF-8") == 0 || strcasecmp(cs, "utf8") == 0;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts one whole input; false when any byte of it could not be converted.
    bool convert(const std::string& in, std::string& out)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buf[64];
        out.clear();
        while (srcLeft > 0) {
            char* dst = buf;
            size_t dstLeft = sizeof buf;
            const size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf, size_t(dst - buf));
            if (r == size_t(-1) && errno != E2BIG)
                return false;
        }
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buf, size_t(dst - buf));
        return true;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::string EncodeToLocaleCharset(const QString& text)
{
    if (LocaleIsUtf8())
        return text.toStdString();
    Iconv cd(LocaleCharset(), "UTF-8");
    std::string out;
    std::string piece;
    // One character at a time, so that a character the character set lacks
    // becomes '?' and the rest still converts.
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const std::string utf8 = text.mid(i, len).toStdString();
        i += len - 1;
        if (cd.ok() && cd.convert(utf8, piece))
            out += piece;
        else
            out += '?';
    }
    return out;
}

QString DecodeFromLocaleCharset(const std::string& bytes)
{
    if (LocaleIsUtf8())
        return Utf8Text(bytes.data(), qsizetype(bytes.size()));
    Iconv cd("UTF-8", LocaleCharset());
    std::string utf8;
    if (cd.ok() && cd.convert(bytes, utf8))
        return Utf8Text(utf8.data(), qsizetype(utf8.size()));
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}
