#include "server/network_status.h"

QString FormatLocalAddresses(const std::vector<std::array<std::uint8_t, 4>>& addresses)
{
    // Addresses are joined with nothing between them: that is the established
    // format of this text, and only its emptiness and two fixed values matter.
    QString text;
    for (const auto& address : addresses) {
        for (size_t i = 0; i < address.size(); ++i) {
            if (i > 0)
                text += QLatin1Char('.');
            text += QString::number(unsigned(address[i]));
        }
    }
    return text;
}

std::vector<std::array<std::uint8_t, 4>> LocalAddresses(const std::vector<NetworkInterface>& interfaces)
{
    std::vector<std::array<std::uint8_t, 4>> out;
    for (const NetworkInterface& i : interfaces) {
        if (i.up && !i.loopback && i.hasIpv4)
            out.push_back(i.ipv4);
    }
    return out;
}

unsigned ConnectionFlagsFrom(const std::vector<NetworkInterface>& interfaces, bool proxyConfigured)
{
    unsigned flags = 0;
    for (const NetworkInterface& i : interfaces) {
        if (!i.up || i.loopback)
            continue;
        if (i.pointToPoint)
            flags |= kConnectionModem;
        else if (i.running)
            flags |= kConnectionLan;
    }
    if (proxyConfigured)
        flags |= kConnectionProxy;
    return flags;
}

QString ConnectionTypeWord(unsigned flags)
{
    if (flags & kConnectionModem)
        return QStringLiteral("MODEM");
    if (flags & kConnectionLan)
        return QStringLiteral("LAN");
    if (flags & kConnectionProxy)
        return QStringLiteral("PROXY");
    return QStringLiteral("NOTCONN");
}

int DecideNetworkAvailable(const QString& localIp, const std::function<QString()>& connectionType)
{
    if (!localIp.isEmpty() && localIp != QLatin1String("0.0.0.0") && localIp != QLatin1String("127.0.0.1"))
        return 1;
    const QString word = connectionType();
    return (!word.isEmpty() && word != QLatin1String("NOTCONN")) ? 1 : 0;
}

QString GetLocalIP()
{
    const QString text = FormatLocalAddresses(LocalAddresses(ReadNetworkInterfaces()));
    return text.isEmpty() ? QStringLiteral("127.0.0.1") : text;
}

QString GetConnectionType()
{
    return ConnectionTypeWord(ConnectionFlagsFrom(ReadNetworkInterfaces(), ProxyConfigured()));
}

int IsNetworkAvailable()
{
    return DecideNetworkAvailable(GetLocalIP(), [] { return GetConnectionType(); });
}
