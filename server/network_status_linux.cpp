// Interfaces and proxy settings as Linux reports them.
#include "server/network_status.h"

#include <cstdlib>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

std::vector<NetworkInterface> ReadNetworkInterfaces()
{
    std::vector<NetworkInterface> out;
    struct ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return out;
    for (struct ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        NetworkInterface i;
        i.name = a->ifa_name ? a->ifa_name : "";
        i.up = a->ifa_flags & IFF_UP;
        i.running = a->ifa_flags & IFF_RUNNING;
        i.loopback = a->ifa_flags & IFF_LOOPBACK;
        i.pointToPoint = a->ifa_flags & IFF_POINTOPOINT;
        if (a->ifa_addr && a->ifa_addr->sa_family == AF_INET) {
            const auto* sin = reinterpret_cast<const struct sockaddr_in*>(a->ifa_addr);
            std::memcpy(i.ipv4.data(), &sin->sin_addr.s_addr, 4);
            i.hasIpv4 = true;
        }
        out.push_back(i);
    }
    freeifaddrs(list);
    return out;
}

bool ProxyConfigured()
{
    // The variables libcurl and the browser engine follow on Linux.
    for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        const char* v = std::getenv(name);
        if (v && *v)
            return true;
    }
    return false;
}
