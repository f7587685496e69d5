#pragma once
#include <QString>
#include <chrono>
#include <cstddef>
#include <string>

// One HTTP/1.0 GET to a service host, with the reply as text. Failures never
// throw: they become {"status":"500","data":{"message":"<reason>"}}, so callers
// only compare texts.

// Start-up makes at most 11 health requests with 10 pauses of 500 ms; with
// these limits a network where every host stays silent still gets its answer
// within 11 x 2.5 s + 5 s = 32.5 s.
struct ServiceRequestLimits {
    long port = 80;
    std::chrono::milliseconds connectTimeout{2000};
    std::chrono::milliseconds totalTimeout{2500};
    std::size_t maxReplyBytes = 1024 * 1024;
    long maxRedirects = 5;
};

QString SendServiceRequest(const QString& host, const QString& object, const QString& body,
                           const QString& token);
QString SendServiceRequestWith(const ServiceRequestLimits& limits, const QString& host,
                               const QString& object, const QString& body, const QString& token);

// The reply text from the body's bytes: every CR and LF byte removed, the rest
// read up to the first NUL as UTF-8 and passed through the locale's character set.
QString DecodeReplyBody(const std::string& body);

// The error text for a failed request; the message is cut to 199 characters.
QString ServiceErrorText(const QString& message);

inline constexpr const char* kHealthObject = "/80417fahuo/estar/client/checkwebx.htm";
inline constexpr const char* kHealthReply = "TestOK";
