#include "server/scramble.h"

#include <gtest/gtest.h>

TEST(Scramble, FixedVectorsWorkedOutFromTheArithmetic)
{
    // 'a' = 0x61; first running key 0x2E9D, so e = 0x61 ^ 0x2E = 79 = 3 * 26 + 1 -> "DB".
    const std::pair<const char*, const char*> cases[] = {
        {"a", "DB"},
        {"ab", "DBDL"},
        {"10.0.0.1", "BFHAJMEGAQAHJOES"},
        {"app1.vantor-cargo.example", "DBCXJKGMEHGWJNCPESHFEEJTCYHTJLESIJGQGNEBDCDKFPBBBY"},
        {"", ""},
    };
    for (const auto& [plain, scrambled] : cases) {
        EXPECT_EQ(ScrambleText(QString::fromLatin1(plain), kConfigScrambleKey), QLatin1String(scrambled)) << plain;
        EXPECT_EQ(UnscrambleText(QLatin1String(scrambled), kConfigScrambleKey), QLatin1String(plain)) << plain;
    }
}

TEST(Scramble, RoundTripGivesTwoCapitalsPerCharacterWithLeadingLetterAtMostJ)
{
    const char* hosts[] = {"www.vantor-freight.example", "app2.vantor-cargo.example", "127.0.0.1",
                           "x", "host-with-a-very-long-name.sub.domain.example"};
    for (const char* h : hosts) {
        const QString host = QString::fromLatin1(h);
        for (std::uint16_t key : {kConfigScrambleKey, std::uint16_t(0), std::uint16_t(0xFFFF)}) {
            const QString s = ScrambleText(host, key);
            ASSERT_EQ(s.size(), 2 * host.size());
            for (qsizetype i = 0; i < s.size(); ++i) {
                const char16_t c = s[i].unicode();
                EXPECT_TRUE(c >= u'A' && c <= (i % 2 == 0 ? u'J' : u'Z')) << h << " at " << i;
            }
            EXPECT_EQ(UnscrambleText(s, key), host);
        }
    }
}

TEST(Scramble, OddLastLetterIsIgnoredAndDamagedTextStillUnscrambles)
{
    EXPECT_EQ(UnscrambleText(QStringLiteral("DBD"), kConfigScrambleKey), QStringLiteral("a"));
    EXPECT_EQ(UnscrambleText(QStringLiteral("D"), kConfigScrambleKey), QString());
    // Lower-case letters, digits and non-Latin characters give some text, never a crash.
    for (const QString& damaged : {QStringLiteral("dbdl"), QStringLiteral("12"), QStringLiteral("运单号码"),
                                   QString(10000, QLatin1Char('Z'))}) {
        EXPECT_EQ(UnscrambleText(damaged, kConfigScrambleKey).size(), damaged.size() / 2);
    }
}
