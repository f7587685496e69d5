// Bad servers and a crowded configuration file: the client keeps working and
// every case ends in a clear result within the request's time limit.
#include "app/vantor_app.h"
#include "server/profile_file.h"
#include "server/scramble.h"
#include "server/service_request.h"

#include "scripted_server.h"

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <clocale>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>

using namespace std::chrono_literals;

namespace {
std::string Http(const std::string& body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n" + body;
}
}  // namespace

TEST(HostileServers, EveryProbeEndsInAClearResultWithinTheTimeLimit)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    const std::string hundredMiB(100 * 1024 * 1024, 'x');
    struct Case {
        const char* name;
        ScriptedServer::Behaviour behave;
        int accepted;
    } cases[] = {
        {"accepts and never answers", [](int, const std::string&, int) { std::this_thread::sleep_for(4s); }, 0},
        {"trickles one byte a second",
         [](int fd, const std::string&, int) {
             const std::string r = Http("TestOK");
             for (size_t i = 0; i < r.size() && i < 7; ++i) {
                 ScriptedServer::SendAll(fd, r.substr(i, 1));
                 std::this_thread::sleep_for(1s);
             }
         },
         0},
        {"sends 100 MiB", [&](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, Http(hundredMiB)); }, 0},
        {"garbage instead of HTTP", [](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, "SSH-2.0-x\r\n\x01\x02TestOK"); }, 0},
        {"resets mid-body",
         [](int fd, const std::string&, int) {
             ScriptedServer::SendAll(fd, "HTTP/1.0 200 OK\r\nContent-Length: 6\r\n\r\nTes");
             std::this_thread::sleep_for(50ms);
             ScriptedServer::Reset(fd);
         },
         0},
        {"TestOK after a redirect",
         [](int fd, const std::string& request, int) {
             if (request.find("/moved") == std::string::npos)
                 ScriptedServer::SendAll(fd, "HTTP/1.0 301 Moved\r\nLocation: /moved\r\n\r\n");
             else
                 ScriptedServer::SendAll(fd, Http("TestOK"));
         },
         1},
        {"TestOK with a trailing space", [](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, Http("TestOK ")); }, 0},
        {"testok", [](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, Http("testok")); }, 0},
        {"BOM before TestOK", [](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, Http("\xEF\xBB\xBFTestOK")); }, 0},
        {"TestOK CR LF", [](int fd, const std::string&, int) { ScriptedServer::SendAll(fd, Http("TestOK\r\n")); }, 1},
    };
    for (const Case& c : cases) {
        ScriptedServer server(c.behave);
        CVantorApp app;
        app.m_services.networkAvailable = [] { return 1; };
        const int port = server.port;
        app.m_services.request = [port](const QString& host, const QString& object, const QString& body,
                                        const QString& token) {
            ServiceRequestLimits limits;  // the product's time limits, on the test's port
            limits.port = port;
            return SendServiceRequestWith(limits, host, object, body, token);
        };
        app.m_strHost = "127.0.0.1";
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(app.ProbeServer(), c.accepted) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5000ms) << c.name;  // limit 2.5 s
    }
}

TEST(ConfigurationStress, TwentyWritersAtOnceLeaveAFileThatParses)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("qzcfg.dat");
    ASSERT_TRUE(WriteProfileString(path, "Other", "keep", "yes"));
    std::vector<QString> written;
    for (int i = 0; i < 20; ++i)
        written.push_back(ScrambleText(QStringLiteral("host%1.vantor.example").arg(i), kConfigScrambleKey));

    std::vector<pid_t> children;
    for (int i = 0; i < 20; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int round = 0; round < 20; ++round)
                WriteProfileString(path, "System", "loginurl", written[size_t(i)]);
            _exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QString value = ReadProfileString(path, "System", "loginurl", "");
    EXPECT_NE(std::find(written.begin(), written.end(), value), written.end()) << value.toStdString();
    // The file's other entry is never lost: a writer only changes its own key.
    EXPECT_EQ(ReadProfileString(path, "Other", "keep", ""), "yes");
}

TEST(ConfigurationStress, AWriterKilledMidWriteLeavesTheOldOrTheNewFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("qzcfg.dat");
    const QString oldValue(200, QLatin1Char('A'));
    const QString newValue(200, QLatin1Char('B'));
    ASSERT_TRUE(WriteProfileString(path, "System", "loginurl", oldValue));
    for (int attempt = 0; attempt < 30; ++attempt) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (;;) {
                WriteProfileString(path, "System", "loginurl", newValue);
                WriteProfileString(path, "System", "loginurl", oldValue);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200 + attempt * 137));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray contents = f.readAll();
        const QString value = ProfileLookup(contents, "System", "loginurl", "");
        EXPECT_TRUE(value == oldValue || value == newValue) << contents.toStdString();
        EXPECT_TRUE(contents.endsWith("\r\n"));
    }
}
