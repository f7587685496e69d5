#include "browser/error_page.h"

#include <QByteArray>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
// Undo MakeDataUri: strip the prefix, percent-decode, Base64-decode.
std::string DecodeDataUri(const std::string& uri, const std::string& prefix)
{
    EXPECT_EQ(uri.rfind(prefix, 0), 0u) << uri;
    const QByteArray escaped = QByteArray::fromStdString(uri.substr(prefix.size()));
    return QByteArray::fromBase64(QByteArray::fromPercentEncoding(escaped)).toStdString();
}
}  // namespace

TEST(ErrorPage, PageBytesForEachKindOfFailure)
{
    struct Case {
        int code;
        QString url;
        QString text;
        std::string expected;
    } cases[] = {
        {-105, "http://no.such.host/", "net::ERR_NAME_NOT_RESOLVED",
         "<html><body bgcolor=\"white\"><h2>Failed to load URL http://no.such.host/ with error "
         "net::ERR_NAME_NOT_RESOLVED (-105).</h2></body></html>"},
        {7, "http://a/", "x", "<html><body bgcolor=\"white\"><h2>Failed to load URL http://a/ with error x (7).</h2></body></html>"},
        {-2, "http://a/", "", "<html><body bgcolor=\"white\"><h2>Failed to load URL http://a/ with error  (-2).</h2></body></html>"},
        {-300, "http://a/?x=<b>&y='1'\"", "<script>alert(1)</script>",
         "<html><body bgcolor=\"white\"><h2>Failed to load URL http://a/?x=&lt;b&gt;&amp;y=&#39;1&#39;&quot; with error "
         "&lt;script&gt;alert(1)&lt;/script&gt; (-300).</h2></body></html>"},
        {-106, QStringLiteral("http://货运.example/运单"), QStringLiteral("网络已断开"),
         "<html><body bgcolor=\"white\"><h2>Failed to load URL http://\xE8\xB4\xA7\xE8\xBF\x90.example/"
         "\xE8\xBF\x90\xE5\x8D\x95 with error \xE7\xBD\x91\xE7\xBB\x9C\xE5\xB7\xB2\xE6\x96\xAD\xE5\xBC\x80 (-106)."
         "</h2></body></html>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildLoadErrorPage(c.url, c.text, c.code), c.expected);
        const auto uri = LoadErrorPageUri(c.code, c.text, c.url);
        ASSERT_TRUE(uri.has_value());
        EXPECT_EQ(DecodeDataUri(*uri, "data:text/html;base64,"), c.expected);
        // Only letters, digits and -_.!~*'() and the escapes themselves appear after the comma.
        for (char ch : uri->substr(22))
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(ch)) || std::strchr("-_.!~*'()%", ch)) << ch;
    }
    EXPECT_FALSE(LoadErrorPageUri(-3, "net::ERR_ABORTED", "http://a/").has_value());
}

TEST(ErrorPage, DataUriEscapesBase64PunctuationAndLoadsAsAValidUrl)
{
    // "\xFB\xFF" is "+/8=" in Base64: all three punctuation characters escaped.
    EXPECT_EQ(MakeDataUri("\xFB\xFF", "text/html"), "data:text/html;base64,%2B%2F8%3D");
    EXPECT_EQ(MakeDataUri("", "text/plain"), "data:text/plain;base64,");
    EXPECT_TRUE(QUrl(QString::fromStdString(MakeDataUri("<p>x</p>", "text/html"))).isValid());
}
