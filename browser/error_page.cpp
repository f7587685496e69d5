#include "browser/error_page.h"

#include <QByteArray>

namespace {
std::string EscapeHtml(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QLatin1String("&#39;")).toStdString();
}
}  // namespace

std::string MakeDataUri(const std::string& data, const std::string& mimeType)
{
    const QByteArray encoded = QByteArray(data.data(), qsizetype(data.size())).toBase64();
    const QByteArray escaped = encoded.toPercentEncoding("!*'()");
    return "data:" + mimeType + ";base64," + escaped.toStdString();
}

std::string BuildLoadErrorPage(const QString& failedUrl, const QString& errorText, int errorCode)
{
    return "<html><body bgcolor=\"white\"><h2>Failed to load URL " + EscapeHtml(failedUrl) +
           " with error " + EscapeHtml(errorText) + " (" + std::to_string(errorCode) +
           ").</h2></body></html>";
}

std::optional<std::string> LoadErrorPageUri(int errorCode, const QString& errorText,
                                            const QString& failedUrl)
{
    if (errorCode == kErrAborted)
        return std::nullopt;
    return MakeDataUri(BuildLoadErrorPage(failedUrl, errorText, errorCode), "text/html");
}
