#include "server/profile_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void WriteAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}
}  // namespace

TEST(ProfileFile, LookupFollowsTheProfileRules)
{
    const QByteArray file =
        "; comment line\r\n"
        "[Other]\r\n"
        "loginurl=WRONG\r\n"
        "  [ system ]  \r\n"
        "name = value with spaces   \r\n"
        "LoginURL =  ABCD  \r\n"
        "[Next]\r\n"
        "loginurl=LATER\r\n";
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"System", "loginurl", "ABCD"},        // names case-insensitive and trimmed
        {"SYSTEM", "LOGINURL", "ABCD"},
        {"System", "name", "value with spaces"},
        {"Other", "loginurl", "WRONG"},
        {"Next", "loginurl", "LATER"},
        {"System", "missing", "(default)"},    // missing key
        {"Missing", "loginurl", "(default)"},  // missing section
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileLookup(file, QString::fromLatin1(c.section), QString::fromLatin1(c.key),
                                QStringLiteral("(default)")),
                  QString::fromLatin1(c.expected))
            << c.section << "/" << c.key;

    // LF-only files read the same; reads are cut at 259 characters.
    EXPECT_EQ(ProfileLookup("[System]\nloginurl=XY\n", "System", "loginurl", ""), "XY");
    const QByteArray longValue = "[System]\nloginurl=" + QByteArray(400, 'Q') + "\n";
    EXPECT_EQ(ProfileLookup(longValue, "System", "loginurl", "").size(), 259);
}

TEST(ProfileFile, UpdateChangesOnlyItsKeyAndKeepsEveryOtherByte)
{
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    } cases[] = {
        {"new file", "", "[System]\r\nloginurl=NEW\r\n"},
        {"replace, CRLF kept",
         "; keep me\r\n[System]\r\nfoo = bar \r\nLOGINURL = OLD\r\n\r\n[Other]\r\nx=1\r\n",
         "; keep me\r\n[System]\r\nfoo = bar \r\nloginurl=NEW\r\n\r\n[Other]\r\nx=1\r\n"},
        {"replace, LF kept", "[system]\nloginurl=OLD\n", "[system]\nloginurl=NEW\n"},
        {"key added after the section's last line", "[System]\nfoo=1\n\n[Other]\nx=1\n",
         "[System]\nfoo=1\nloginurl=NEW\n\n[Other]\nx=1\n"},
        {"section appended", "[Other]\r\nx=1", "[Other]\r\nx=1\r\n[System]\r\nloginurl=NEW\r\n"},
        {"last line without line break", "[System]\nfoo=1", "[System]\nfoo=1\nloginurl=NEW\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileUpdate(c.before, "System", "loginurl", "NEW"), c.after) << c.name;
}

TEST(ProfileFile, WriteCreatesReplacesAtomicallyAndKeepsPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("qzcfg.dat");
    EXPECT_EQ(ReadProfileString(path, "System", "loginurl", ""), "");
    ASSERT_TRUE(WriteProfileString(path, "System", "loginurl", "ABCD"));
    EXPECT_EQ(ReadAll(path), QByteArray("[System]\r\nloginurl=ABCD\r\n"));

    ASSERT_EQ(chmod(path.toLocal8Bit().constData(), 0640), 0);
    ASSERT_TRUE(WriteProfileString(path, "System", "loginurl", "EFGH"));
    EXPECT_EQ(ReadProfileString(path, "system", "LOGINURL", ""), "EFGH");
    struct stat st;
    ASSERT_EQ(stat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"qzcfg.dat"});
}

TEST(ProfileFile, WriteFailsCleanlyInAFolderThatCannotBeWritten)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes everywhere; the selection test covers an unwritable path";
    QTemporaryDir dir;
    const QString path = dir.filePath("qzcfg.dat");
    WriteAll(path, "[System]\nloginurl=OLD\n");
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0500), 0);
    EXPECT_FALSE(WriteProfileString(path, "System", "loginurl", "NEW"));
    EXPECT_EQ(ReadAll(path), QByteArray("[System]\nloginurl=OLD\n"));
    chmod(dir.path().toLocal8Bit().constData(), 0700);
}
