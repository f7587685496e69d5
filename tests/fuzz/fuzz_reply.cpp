// Any reply body decodes to text without a fault; CR and LF never survive, and
// the in-place conversion never writes past its buffer.
#include "server/service_request.h"
#include "server/text_codec.h"

#include <clocale>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool locale = [] { return std::setlocale(LC_ALL, "C.UTF-8") != nullptr; }();
    (void)locale;
    const std::string body(reinterpret_cast<const char*>(data), size);
    const QString reply = DecodeReplyBody(body);
    if (reply.contains(QLatin1Char('\r')) || reply.contains(QLatin1Char('\n')))
        std::abort();

    // Exactly sized buffer, so that any overrun is caught by the sanitizer.
    std::vector<char> buffer(body.begin(), body.end());
    buffer.push_back('\0');
    const unsigned stated = size > 0 ? unsigned(data[0]) % unsigned(buffer.size() + 1) : 1;
    Utf8ToAnsi(buffer.data(), std::min<unsigned>(stated, unsigned(buffer.size())));
    Utf8ToAnsi(buffer.data(), unsigned(buffer.size()));
    if (std::strlen(buffer.data()) >= buffer.size())
        std::abort();
    return 0;
}
