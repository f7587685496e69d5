#include "app/vantor_app.h"
#include "server/profile_file.h"
#include "server/scramble.h"
#include "server/service_request.h"
#include "vantor_config.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <stdexcept>

namespace {

struct ProcessEnded {};

// A world for the selection: which hosts answer, what happened, no waiting.
struct FakeWorld {
    std::set<QString> up;
    std::map<QString, QString> replies;  // a host's reply other than TestOK
    bool network = true;
    bool throwOnRequest = false;
    std::vector<QString> probed;
    std::vector<int> sleeps;
    std::vector<QString> warnings;
    std::vector<unsigned> seeds;
    std::mt19937 rng{12345};

    void Install(CVantorApp& app)
    {
        SelectionServices& s = app.m_services;
        s.request = [this](const QString& host, const QString& object, const QString& body, const QString& token) {
            EXPECT_EQ(object, QLatin1String(kHealthObject));
            EXPECT_TRUE(body.isEmpty());
            EXPECT_EQ(token, "0");
            probed.push_back(host);
            if (throwOnRequest)
                throw std::runtime_error("boom");
            if (replies.count(host))
                return replies[host];
            return up.count(host) ? QStringLiteral("TestOK") : ServiceErrorText("Couldn't connect to server");
        };
        s.networkAvailable = [this] { return network ? 1 : 0; };
        s.now = [] { return std::time_t(1700000000); };
        s.seed = [this](unsigned seed) { seeds.push_back(seed); };
        s.random = [this] { return int(rng() & 0x7FFF); };
        s.sleep = [this](int ms) { sleeps.push_back(ms); };
        s.warn = [this](const QString& text) { warnings.push_back(text); };
        s.endProcess = [] { throw ProcessEnded{}; };
    }
};

QString Host(int i) { return QString::fromUtf8(vantor_config::kHosts[i]); }

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Selection : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.m_strConfigPath = dir.filePath("qzcfg.dat");
        world.Install(app);
    }
    void Remember(const QString& host)
    {
        ASSERT_TRUE(WriteProfileString(app.m_strConfigPath, "System", "loginurl",
                                       ScrambleText(host, kConfigScrambleKey)));
    }
    QTemporaryDir dir;
    CVantorApp app;
    FakeWorld world;
};

}  // namespace

TEST_F(Selection, NoFileAndAWorkingDrawWritesTheScrambledHost)
{
    world.up = {Host(0), Host(1), Host(2)};
    EXPECT_EQ(app.SelectServer(), 1);
    ASSERT_EQ(world.probed.size(), 1u);
    EXPECT_EQ(app.m_strHost, world.probed[0]);
    const QString stored = ReadProfileString(app.m_strConfigPath, "System", "loginurl", "");
    EXPECT_EQ(stored.size(), 2 * app.m_strHost.size());
    EXPECT_EQ(UnscrambleText(stored, kConfigScrambleKey), app.m_strHost);
    EXPECT_TRUE(world.sleeps.empty());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(app.m_strHosts[size_t(i)], Host(i));
}

TEST_F(Selection, RememberedHostThatAnswersIsProbedOnceAndTheFileStaysByteForByte)
{
    QFile f(app.m_strConfigPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("; site file\n[System]\nloginurl=" + ScrambleText("backup.vantor.example", kConfigScrambleKey).toLatin1() +
            "\n[Other]\nkey=1\n");
    f.close();
    const QByteArray before = ReadAll(app.m_strConfigPath);
    world.up = {"backup.vantor.example"};
    EXPECT_EQ(app.SelectServer(), 1);
    EXPECT_EQ(world.probed, std::vector<QString>{"backup.vantor.example"});
    EXPECT_EQ(app.m_strHost, "backup.vantor.example");
    EXPECT_EQ(ReadAll(app.m_strConfigPath), before);
}

TEST_F(Selection, RememberedHostThatFailsIsReplacedWithoutAPauseBeforeTheDraws)
{
    Remember("gone.vantor.example");
    world.up = {Host(2)};
    EXPECT_EQ(app.SelectServer(), 1);
    EXPECT_EQ(world.probed.front(), "gone.vantor.example");
    EXPECT_EQ(app.m_strHost, Host(2));
    // One pause per failed random try, none after the remembered host.
    EXPECT_EQ(world.sleeps.size(), world.probed.size() - 2);
    EXPECT_EQ(UnscrambleText(ReadProfileString(app.m_strConfigPath, "System", "loginurl", ""), kConfigScrambleKey),
              Host(2));
}

TEST_F(Selection, AllHostsDownGivesTenProbesTenPausesAndLeavesTheFileAlone)
{
    for (bool remembered : {false, true}) {
        world.probed.clear();
        world.sleeps.clear();
        if (remembered)
            Remember("old.vantor.example");
        const QByteArray before = ReadAll(app.m_strConfigPath);
        EXPECT_EQ(app.SelectServer(), 0);
        EXPECT_EQ(world.probed.size(), remembered ? 11u : 10u);
        EXPECT_EQ(world.sleeps, std::vector<int>(10, 500));
        EXPECT_EQ(app.m_strHost, world.probed.back());
        EXPECT_EQ(ReadAll(app.m_strConfigPath), before);
    }
}

TEST_F(Selection, EveryRoundOfThreeTriesCoversTheThreeHosts)
{
    for (std::uint32_t seed : {1u, 2u, 3u, 99u, 4242u}) {
        world.probed.clear();
        world.rng.seed(seed);
        EXPECT_EQ(app.SelectServer(), 0);
        ASSERT_EQ(world.probed.size(), 10u);
        for (size_t round = 0; round < 9; round += 3) {
            const std::set<QString> hosts(world.probed.begin() + long(round), world.probed.begin() + long(round) + 3);
            EXPECT_EQ(hosts.size(), 3u) << "seed " << seed << " round " << round / 3;
        }
    }
    // Seeded once per selection, from the clock.
    EXPECT_EQ(world.seeds, std::vector<unsigned>(5, 1700000000u));
}

TEST_F(Selection, OnlyTheExactTextTestOKIsAccepted)
{
    const QString refused[] = {"TestOK ", "testok", "Error", QStringLiteral("\uFEFFTestOK"), "TESTOK", ""};
    for (const QString& reply : refused) {
        world.probed.clear();
        for (int i = 0; i < 3; ++i)
            world.replies[Host(i)] = reply;
        EXPECT_EQ(app.SelectServer(), 0) << reply.toStdString();
    }
    world.replies.clear();
    world.throwOnRequest = true;  // an exception in the request counts as "Error"
    EXPECT_EQ(app.SelectServer(), 0);
}

TEST_F(Selection, NoNetworkTellsTheUserAndEndsBeforeAnyRequest)
{
    world.network = false;
    world.up = {Host(0), Host(1), Host(2)};
    EXPECT_THROW(app.SelectServer(), ProcessEnded);
    EXPECT_TRUE(world.probed.empty());
    EXPECT_EQ(world.warnings, std::vector<QString>{QStringLiteral("无法连接服务器,请检查网络连接!")});
}

TEST_F(Selection, AFailedWriteIsIgnored)
{
    app.m_strConfigPath = dir.filePath("no-such-folder/qzcfg.dat");
    world.up = {Host(0), Host(1), Host(2)};
    EXPECT_EQ(app.SelectServer(), 1);
    EXPECT_FALSE(QFile::exists(app.m_strConfigPath));
}

TEST_F(Selection, DamagedEntriesLeadToRandomTries)
{
    world.up = {Host(1)};
    const QByteArray damaged[] = {"ABC", "dbdl", QByteArray("\x01\x02\xff\xfe", 4), QByteArray(10000, 'Z')};
    for (const QByteArray& value : damaged) {
        QFile f(app.m_strConfigPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[System]\r\nloginurl=" + value + "\r\n");
        f.close();
        world.probed.clear();
        EXPECT_EQ(app.SelectServer(), 1);
        EXPECT_EQ(app.m_strHost, Host(1));
        EXPECT_GE(world.probed.size(), 2u);
    }
}
