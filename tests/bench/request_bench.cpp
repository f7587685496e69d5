// One health request through SendServiceRequest against the same HTTP/1.0 GET
// written by hand over a plain socket, alternating, on loopback.
#include "server/service_request.h"

#include "../unit/scripted_server.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

bool PlainSocketGet(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(std::uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    if (ok) {
        ScriptedServer::SendAll(fd, std::string("GET ") + kHealthObject +
                                        " HTTP/1.0\r\nHost: 127.0.0.1\r\nAccept: */*\r\n"
                                        "Content-Type: application/x-www-form-urlencoded\r\n\r\n");
        std::string reply;
        char buf[4096];
        ssize_t n;
        while ((n = recv(fd, buf, sizeof buf, 0)) > 0)
            reply.append(buf, size_t(n));
        ok = reply.size() >= 6 && reply.compare(reply.size() - 6, 6, "TestOK") == 0;
    }
    close(fd);
    return ok;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "C.UTF-8");
    const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    ScriptedServer server([](int fd, const std::string&, int) {
        ScriptedServer::SendAll(fd, "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nTestOK");
    });
    ServiceRequestLimits limits;
    limits.port = server.port;

    std::vector<double> curl, plain;
    for (int i = 0; i < rounds + 20; ++i) {
        auto t0 = Clock::now();
        const bool a = SendServiceRequestWith(limits, "127.0.0.1", kHealthObject, "", "0") == "TestOK";
        auto t1 = Clock::now();
        const bool b = PlainSocketGet(server.port);
        auto t2 = Clock::now();
        if (!a || !b) {
            std::fprintf(stderr, "request failed (service request %d, plain socket %d)\n", a, b);
            return 1;
        }
        if (i >= 20) {  // the first rounds warm up caches and the resolver
            curl.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
            plain.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
        }
    }
    const double m1 = Median(curl), m2 = Median(plain);
    std::printf("health request on loopback, %d rounds each, alternating\n", rounds);
    std::printf("  SendServiceRequest: median %.3f ms (min %.3f, max %.3f)\n", m1,
                *std::min_element(curl.begin(), curl.end()), *std::max_element(curl.begin(), curl.end()));
    std::printf("  plain socket GET:   median %.3f ms (min %.3f, max %.3f)\n", m2,
                *std::min_element(plain.begin(), plain.end()), *std::max_element(plain.begin(), plain.end()));
    std::printf("  ratio %.2f (target <= 3.00): %s\n", m1 / m2, m1 / m2 <= 3.0 ? "met" : "NOT met");
    return 0;
}
