#include "server/service_request.h"

#include "scripted_server.h"

#include <QCoreApplication>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

std::string Http(const std::string& status, const std::string& body)
{
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\n\r\n" + body;
}

ServiceRequestLimits TestLimits(int port)
{
    ServiceRequestLimits l;
    l.port = port;
    l.connectTimeout = 1500ms;
    l.totalTimeout = 1500ms;
    return l;
}

bool IsErrorText(const QString& reply)
{
    return reply.startsWith(R"({"status":"500","data":{"message":")") && reply.endsWith(R"("}})");
}

class ServiceRequest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::setlocale(LC_ALL, "C.UTF-8");
        unsetenv("http_proxy");
        unsetenv("HTTP_PROXY");
    }
};

}  // namespace

TEST_F(ServiceRequest, SendsTheExactRequestLineAndHeaderLines)
{
    ScriptedServer server([](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, Http("200 OK", "TestOK")); });
    EXPECT_EQ(SendServiceRequestWith(TestLimits(server.port), "127.0.0.1", kHealthObject, "", "0"), "TestOK");
    const std::string req = server.requests().at(0);
    EXPECT_EQ(req.rfind("GET /80417fahuo/estar/client/checkwebx.htm HTTP/1.0\r\n", 0), 0u) << req;
    const size_t accept = req.find("\r\nAccept: */*\r\n");
    const size_t type = req.find("\r\nContent-Type: application/x-www-form-urlencoded\r\n");
    EXPECT_NE(accept, std::string::npos) << req;
    EXPECT_NE(type, std::string::npos) << req;
    EXPECT_LT(accept, type);
    EXPECT_NE(req.find("\r\nUser-Agent: "), std::string::npos);
    EXPECT_EQ(req.find("Authorization"), std::string::npos);
}

TEST_F(ServiceRequest, ReplyIsTheBodyWithoutLineBreaksWhateverTheStatus)
{
    struct Case {
        const char* name;
        std::string response;
        QString expected;
    } cases[] = {
        {"plain", Http("200 OK", "TestOK"), "TestOK"},
        {"CR LF", Http("200 OK", "TestOK\r\n"), "TestOK"},
        {"LF", Http("200 OK", "TestOK\n"), "TestOK"},
        {"split word", Http("200 OK", "Test\r\nOK"), "TestOK"},
        {"empty", Http("200 OK", ""), ""},
        {"Chinese", Http("200 OK", "\xE8\xBF\x90\xE5\x8D\x95 OK"), QStringLiteral("运单 OK")},
        {"BOM", Http("200 OK", "\xEF\xBB\xBFTestOK"), QStringLiteral("\uFEFFTestOK")},
        {"404 page", Http("404 Not Found", "<h1>Not here</h1>\n"), "<h1>Not here</h1>"},
        {"trailing space", Http("200 OK", "TestOK "), "TestOK "},
    };
    for (const Case& c : cases) {
        ScriptedServer server([&](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, c.response); });
        EXPECT_EQ(SendServiceRequestWith(TestLimits(server.port), "127.0.0.1", kHealthObject, "", "0"), c.expected)
            << c.name;
    }
}

TEST_F(ServiceRequest, FailuresBecomeTheErrorTextWithinTheTimeLimit)
{
    const std::string big = Http("200 OK", std::string(2 * 1024 * 1024, 'x'));
    struct Case {
        const char* name;
        ScriptedServer::Behaviour behave;
    } cases[] = {
        {"never answers", [](int, const std::string&, int) { std::this_thread::sleep_for(2500ms); }},
        {"trickles a byte a second",
         [](int fd, const std::string&, int) {
             for (char c : Http("200 OK", "TestOK")) {
                 ScriptedServer::SendAll(fd, std::string(1, c));
                 std::this_thread::sleep_for(1000ms);
                 if (c == 'T')
                     break;
             }
         }},
        {"body over 1 MiB", [&](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, big); }},
        {"reset mid-body",
         [](int fd, const std::string&, int) {
             ScriptedServer::SendAll(fd, "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nTest");
             std::this_thread::sleep_for(100ms);
             ScriptedServer::Reset(fd);
         }},
        {"closes before answering", [](int, const std::string&, int) {}},
        {"garbage instead of HTTP",
         [](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, "\x16\x03\x01 garbage\r\n\r\nTestOK"); }},
    };
    for (const Case& c : cases) {
        ScriptedServer server(c.behave);
        const auto start = std::chrono::steady_clock::now();
        const QString reply = SendServiceRequestWith(TestLimits(server.port), "127.0.0.1", kHealthObject, "", "0");
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(IsErrorText(reply)) << c.name << ": " << reply.toStdString();
        EXPECT_LE(reply.size(), 45 + 199);
        EXPECT_LT(took, 3500ms) << c.name;  // limit 1.5 s, with room for a busy machine
    }
}

TEST_F(ServiceRequest, RefusedPortAndUnresolvableName)
{
    int port = 0;
    {
        ScriptedServer closed([](int, const std::string&, int) {});
        port = closed.port;
    }
    EXPECT_TRUE(IsErrorText(SendServiceRequestWith(TestLimits(port), "127.0.0.1", kHealthObject, "", "0")));
    const QString reply = SendServiceRequestWith(TestLimits(80), "no-such-host.invalid", kHealthObject, "", "0");
    EXPECT_TRUE(IsErrorText(reply)) << reply.toStdString();
}

TEST_F(ServiceRequest, GoesThroughTheSystemProxyAndFollowsRedirects)
{
    ScriptedServer proxy([](int fd, const std::string& request, int) {
        if (request.find(" http://first.vantor.example/") != std::string::npos)
            ScriptedServer::SendAll(fd, "HTTP/1.0 302 Found\r\nLocation: http://second.vantor.example/ok\r\n\r\n");
        else
            ScriptedServer::SendAll(fd, Http("200 OK", "TestOK"));
    });
    setenv("http_proxy", ("http://127.0.0.1:" + std::to_string(proxy.port)).c_str(), 1);
    EXPECT_EQ(SendServiceRequest("first.vantor.example", kHealthObject, "", "0"), "TestOK");
    unsetenv("http_proxy");
    const auto requests = proxy.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].rfind("GET http://first.vantor.example/80417fahuo/estar/client/checkwebx.htm HTTP/1.0\r\n", 0), 0u)
        << requests[0];
    EXPECT_EQ(requests[1].rfind("GET http://second.vantor.example/ok HTTP/1.0\r\n", 0), 0u) << requests[1];
}

TEST(ServiceErrorText, FormatAndLength)
{
    EXPECT_EQ(ServiceErrorText("Could not resolve host: x"),
              R"({"status":"500","data":{"message":"Could not resolve host: x"}})");
    EXPECT_EQ(ServiceErrorText(QString(500, 'm')).size(), QString(R"({"status":"500","data":{"message":""}})").size() + 199);
}
