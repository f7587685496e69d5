#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Whether the machine has a network at all, decided the way the client always
// has: an ordinary local address is enough; otherwise the connection flags.

enum ConnectionFlag : unsigned {
    kConnectionModem = 0x01,
    kConnectionLan = 0x02,
    kConnectionProxy = 0x04,
};

struct NetworkInterface {
    std::string name;
    bool up = false;
    bool running = false;
    bool loopback = false;
    bool pointToPoint = false;
    bool hasIpv4 = false;
    std::array<std::uint8_t, 4> ipv4{};
};

// Pure decisions over plain data.
QString FormatLocalAddresses(const std::vector<std::array<std::uint8_t, 4>>& addresses);
std::vector<std::array<std::uint8_t, 4>> LocalAddresses(const std::vector<NetworkInterface>& interfaces);
unsigned ConnectionFlagsFrom(const std::vector<NetworkInterface>& interfaces, bool proxyConfigured);
QString ConnectionTypeWord(unsigned flags);
int DecideNetworkAvailable(const QString& localIp, const std::function<QString()>& connectionType);

// What the system says now (network_status_linux.cpp).
std::vector<NetworkInterface> ReadNetworkInterfaces();
bool ProxyConfigured();

QString GetLocalIP();
QString GetConnectionType();
int IsNetworkAvailable();
