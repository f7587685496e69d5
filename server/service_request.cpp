#include "server/service_request.h"

#include "server/text_codec.h"

#include <QCoreApplication>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <vector>

namespace {

constexpr int kMessageLimit = 199;
const char* const kTooLarge = "The server's reply is larger than the client accepts";

void InitCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* s) const { curl_slist_free_all(s); }
};

struct Sink {
    std::string body;
    std::size_t limit;
    bool tooLarge = false;
};

size_t Collect(char* data, size_t size, size_t count, void* user)
{
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (sink->body.size() + n > sink->limit) {
        sink->tooLarge = true;
        return 0;  // makes libcurl stop with a write error
    }
    sink->body.append(data, n);
    return n;
}

QString UserAgent()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("提示") : name;
}

}  // namespace

QString ServiceErrorText(const QString& message)
{
    return QStringLiteral("{\"status\":\"%1\",\"data\":{\"message\":\"%2\"}}")
        .arg(500)
        .arg(message.left(kMessageLimit));
}

QString DecodeReplyBody(const std::string& body)
{
    std::vector<char> buffer;
    buffer.reserve(body.size() + 1);
    for (char c : body) {
        if (c == '\0')
            break;
        if (c != '\r' && c != '\n')
            buffer.push_back(c);
    }
    buffer.push_back('\0');
    Utf8ToAnsi(buffer.data(), unsigned(buffer.size()));
    return DecodeFromLocaleCharset(std::string(buffer.data()));
}

QString SendServiceRequest(const QString& host, const QString& object, const QString& body,
                           const QString& token)
{
    return SendServiceRequestWith(ServiceRequestLimits{}, host, object, body, token);
}

QString SendServiceRequestWith(const ServiceRequestLimits& limits, const QString& host,
                               const QString& object, const QString& body, const QString& /*token*/)
{
    InitCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl)
        return ServiceErrorText(QString::fromLatin1(curl_easy_strerror(CURLE_FAILED_INIT)));

    std::string url = "http://" + host.toStdString();
    if (limits.port != 80)
        url += ":" + std::to_string(limits.port);
    url += object.toStdString();
    const std::string agent = UserAgent().toStdString();
    const std::string payload = body.toStdString();

    std::unique_ptr<curl_slist, SlistDeleter> headers;
    for (const char* line : {"Accept: */*", "Content-Type: application/x-www-form-urlencoded"}) {
        curl_slist* grown = curl_slist_append(headers.get(), line);
        if (!grown)
            return ServiceErrorText(QString::fromLatin1(curl_easy_strerror(CURLE_OUT_OF_MEMORY)));
        (void)headers.release();
        headers.reset(grown);
    }

    Sink sink{{}, limits.maxReplyBytes};
    char errorBuffer[CURL_ERROR_SIZE] = {0};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0));
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    if (!payload.empty()) {
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, payload.c_str());
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE, long(payload.size()));
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "GET");
    }
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connectTimeout.count()));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(limits.totalTimeout.count()));
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.maxReplyBytes));
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);

    const CURLcode rc = curl_easy_perform(c);
    if (rc == CURLE_OK)
        return DecodeReplyBody(sink.body);
    if (sink.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
        return ServiceErrorText(QString::fromLatin1(kTooLarge));
    const char* message = errorBuffer[0] ? errorBuffer : curl_easy_strerror(rc);
    return ServiceErrorText(QString::fromUtf8(message));
}
