#pragma once
#include <QString>
#include <optional>
#include <string>

// The page shown in place of one that failed to load.

inline constexpr int kErrAborted = -3;

// "data:<mime>;base64,<Base64 of data, percent-escaped>": every character but
// letters, digits and -_.!~*'() is escaped, so '+', '/' and '=' are too.
std::string MakeDataUri(const std::string& data, const std::string& mimeType);

// The page's UTF-8 bytes. The address and the error text come from outside and
// are HTML-escaped before they go into the markup.
std::string BuildLoadErrorPage(const QString& failedUrl, const QString& errorText, int errorCode);

// The address to load instead of the failed page; nothing for an aborted load.
std::optional<std::string> LoadErrorPageUri(int errorCode, const QString& errorText,
                                            const QString& failedUrl);
