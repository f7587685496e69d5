#include "server/machine_key.h"
#include "server/network_status.h"
#include "server/text_codec.h"

#include <clocale>
#include <cstring>
#include <gtest/gtest.h>

namespace {
NetworkInterface Iface(const char* name, bool up, bool running, bool loopback, bool ptp,
                       std::array<std::uint8_t, 4> ip, bool hasIp = true)
{
    NetworkInterface i;
    i.name = name;
    i.up = up;
    i.running = running;
    i.loopback = loopback;
    i.pointToPoint = ptp;
    i.ipv4 = ip;
    i.hasIpv4 = hasIp;
    return i;
}
}  // namespace

TEST(NetworkStatus, AddressesAreFormattedAndConcatenated)
{
    EXPECT_EQ(FormatLocalAddresses({}), "");
    EXPECT_EQ(FormatLocalAddresses({{192, 168, 1, 5}}), "192.168.1.5");
    EXPECT_EQ(FormatLocalAddresses({{192, 168, 1, 5}, {10, 0, 0, 2}}), "192.168.1.510.0.0.2");
    EXPECT_EQ(FormatLocalAddresses({{0, 0, 0, 0}, {255, 255, 255, 255}}), "0.0.0.0255.255.255.255");

    const std::vector<NetworkInterface> ifaces = {
        Iface("lo", true, true, true, false, {127, 0, 0, 1}),
        Iface("eth0", true, true, false, false, {192, 168, 1, 5}),
        Iface("eth1", false, false, false, false, {10, 9, 9, 9}),  // down: not listed
        Iface("wlan0", true, true, false, false, {10, 0, 0, 2}),
        Iface("eth2", true, true, false, false, {}, false),        // no IPv4
    };
    EXPECT_EQ(FormatLocalAddresses(LocalAddresses(ifaces)), "192.168.1.510.0.0.2");
}

TEST(NetworkStatus, ConnectionWordAndAvailabilityDecision)
{
    EXPECT_EQ(ConnectionTypeWord(0), "NOTCONN");
    EXPECT_EQ(ConnectionTypeWord(kConnectionModem | kConnectionLan), "MODEM");
    EXPECT_EQ(ConnectionTypeWord(kConnectionLan | kConnectionProxy), "LAN");
    EXPECT_EQ(ConnectionTypeWord(kConnectionProxy), "PROXY");

    struct Case {
        const char* localIp;
        const char* word;
        int expected;
        bool wordAsked;
    } cases[] = {
        {"127.0.0.1", "MODEM", 1, true},   {"127.0.0.1", "LAN", 1, true},
        {"127.0.0.1", "PROXY", 1, true},   {"127.0.0.1", "NOTCONN", 0, true},
        {"", "NOTCONN", 0, true},          {"", "LAN", 1, true},
        {"0.0.0.0", "NOTCONN", 0, true},   {"0.0.0.0", "", 0, true},
        {"192.168.1.5", "NOTCONN", 1, false},
        {"192.168.1.510.0.0.2", "NOTCONN", 1, false},
    };
    for (const Case& c : cases) {
        bool asked = false;
        const int got = DecideNetworkAvailable(QString::fromLatin1(c.localIp), [&] {
            asked = true;
            return QString::fromLatin1(c.word);
        });
        EXPECT_EQ(got, c.expected) << c.localIp << " " << c.word;
        EXPECT_EQ(asked, c.wordAsked) << c.localIp;
    }
}

TEST(NetworkStatus, FlagsFromInterfacesAndProxy)
{
    const auto lo = Iface("lo", true, true, true, false, {127, 0, 0, 1});
    const auto ppp = Iface("ppp0", true, true, false, true, {10, 64, 0, 1});
    const auto eth = Iface("eth0", true, true, false, false, {192, 168, 1, 5});
    const auto ethNoCarrier = Iface("eth0", true, false, false, false, {192, 168, 1, 5});
    EXPECT_EQ(ConnectionFlagsFrom({lo}, false), 0u);
    EXPECT_EQ(ConnectionFlagsFrom({lo}, true), unsigned(kConnectionProxy));
    EXPECT_EQ(ConnectionFlagsFrom({lo, ethNoCarrier}, false), 0u);
    EXPECT_EQ(ConnectionTypeWord(ConnectionFlagsFrom({lo, eth, ppp}, true)), "MODEM");
    EXPECT_EQ(ConnectionTypeWord(ConnectionFlagsFrom({lo, eth}, true)), "LAN");
}

TEST(MachineKey, SignedDecimalLastEightCharacters)
{
    EXPECT_EQ(FormatMachineKey(0), "0");
    EXPECT_EQ(FormatMachineKey(123456789), "23456789");
    EXPECT_EQ(FormatMachineKey(4294967295u), "-1");
    EXPECT_EQ(FormatMachineKey(2147483648u), "47483648");
    EXPECT_EQ(FormatMachineKey(12345678), "12345678");
    EXPECT_EQ(FormatMachineKey(uint32_t(-1234567)), "-1234567");
    EXPECT_LE(GetMachineKey().size(), 8);
    EXPECT_FALSE(GetMachineKey().isEmpty());
}

TEST(Utf8ToAnsi, SizeRuleAndConversion)
{
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    char ascii[] = "TestOK";
    EXPECT_EQ(Utf8ToAnsi(ascii, 6), ascii);  // size equals length: too small, unchanged
    EXPECT_STREQ(ascii, "TestOK");
    EXPECT_STREQ(Utf8ToAnsi(ascii, 7), "TestOK");

    // Two Chinese characters, 6 UTF-8 bytes, decode to 3 UTF-16 units with the terminator.
    char chinese[] = "\xE8\xBF\x90\xE5\x8D\x95";
    EXPECT_STREQ(Utf8ToAnsi(chinese, 6), "\xE8\xBF\x90\xE5\x8D\x95");

    // In an ASCII locale they cannot be represented and become '?'.
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    char chinese2[] = "A\xE8\xBF\x90\xE5\x8D\x95Z";
    EXPECT_STREQ(Utf8ToAnsi(chinese2, sizeof chinese2), "A??Z");

    // Invalid UTF-8 whose replacement would not fit the buffer in a UTF-8 locale stays unchanged.
    ASSERT_NE(std::setlocale(LC_ALL, "C.UTF-8"), nullptr);
    char invalid[] = "\xFF";
    EXPECT_STREQ(Utf8ToAnsi(invalid, 2), "\xFF");
    char roomy[8] = "\xFF";
    EXPECT_STREQ(Utf8ToAnsi(roomy, sizeof roomy), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToAnsi(nullptr, 10), nullptr);
}
