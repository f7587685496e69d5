#include "app/paths.h"

#include <gtest/gtest.h>

TEST(Paths, ConfigFileSitsBesideTheExecutable)
{
    EXPECT_EQ(ConfigPathFor("/opt/vantor/bin/vantor"), "/opt/vantor/bin/qzcfg.dat");
    EXPECT_EQ(ConfigPathFor("/vantor"), "/qzcfg.dat");
    EXPECT_TRUE(ExecutablePath().endsWith("vantor_unit_tests"));
}

TEST(Paths, CacheFolderIsMyCacheInTheUsersDataFolderNeverRootOrRelative)
{
    struct Case {
        CacheFolderInputs in;
        const char* expected;
    } cases[] = {
        {{"/home/u/.data", "/home/u", "/home/u", "/tmp", 1000}, "/home/u/.data/MyCache"},
        {{"", "/home/u", "/home/p", "/tmp", 1000}, "/home/u/.local/share/MyCache"},
        {{"relative/data", "/home/u/", "", "/tmp", 1000}, "/home/u/.local/share/MyCache"},
        {{"", "", "/home/p", "/tmp", 1000}, "/home/p/.local/share/MyCache"},
        {{"", "/", "/", "/var/tmp", 1000}, "/var/tmp/vantor-1000/MyCache"},
        {{"/", "", "", "", 7}, "/tmp/vantor-7/MyCache"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CacheFolderFor(c.in), QString::fromLatin1(c.expected)) << c.expected;
}
