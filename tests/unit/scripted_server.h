#pragma once
// A loopback TCP server for tests: accepts connections one after another and
// lets a test decide, per request, what goes back over the real socket.
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

class ScriptedServer {
public:
    // `behave(fd, request, index)` answers the index-th request on fd.
    using Behaviour = std::function<void(int fd, const std::string& request, int index)>;

    explicit ScriptedServer(Behaviour behave) : m_behave(std::move(behave))
    {
        m_listen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_listen, 16);
        socklen_t len = sizeof a;
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~ScriptedServer()
    {
        m_stop = true;
        m_thread.join();
        close(m_listen);
    }
    std::vector<std::string> requests()
    {
        std::lock_guard lock(m_lock);
        return m_requests;
    }
    bool stopping() const { return m_stop; }

    static void SendAll(int fd, const std::string& data)
    {
        size_t sent = 0;
        while (sent < data.size()) {
            const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += size_t(n);
        }
    }
    static void Reset(int fd)
    {
        linger l{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }

    int port = 0;

private:
    void Run()
    {
        // Bounded: stops with the test, and never runs longer than a minute.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        int index = 0;
        while (!m_stop && std::chrono::steady_clock::now() < deadline) {
            pollfd p{m_listen, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            const int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            const std::string request = ReadRequest(fd);
            {
                std::lock_guard lock(m_lock);
                m_requests.push_back(request);
            }
            m_behave(fd, request, index++);
            close(fd);
        }
    }
    std::string ReadRequest(int fd)
    {
        std::string data;
        char buf[4096];
        while (data.find("\r\n\r\n") == std::string::npos) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 3000) <= 0)
                break;
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            data.append(buf, size_t(n));
        }
        return data;
    }

    Behaviour m_behave;
    int m_listen = -1;
    std::atomic<bool> m_stop{false};
    std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::thread m_thread;
};
