#include "app/vantor_app.h"

#include "server/network_status.h"
#include "server/profile_file.h"
#include "server/scramble.h"
#include "server/service_request.h"
#include "vantor_config.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>

namespace {

constexpr int kRandomTries = 10;
constexpr int kPauseAfterFailedTryMs = 500;
const QString kSection = QStringLiteral("System");
const QString kKey = QStringLiteral("loginurl");

}  // namespace

SelectionServices SystemSelectionServices()
{
    SelectionServices s;
    s.request = SendServiceRequest;
    s.networkAvailable = IsNetworkAvailable;
    s.now = [] { return std::time(nullptr); };
    s.seed = [](unsigned seed) { std::srand(seed); };
    s.random = [] { return std::rand(); };
    s.sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    s.warn = [](const QString&) {};
    s.endProcess = [] { std::_Exit(0); };
    return s;
}

int CVantorApp::ProbeServer()
{
    if (!m_services.networkAvailable()) {
        m_services.warn(QStringLiteral("无法连接服务器,请检查网络连接!"));
        m_services.endProcess();
        return 0;  // reached only when a test's endProcess returns
    }
    QString reply;
    try {
        reply = m_services.request(m_strHost, QString::fromLatin1(kHealthObject), QString(),
                                   QStringLiteral("0"));
    } catch (...) {
        reply = QStringLiteral("Error");
    }
    return reply == QLatin1String(kHealthReply) ? 1 : 0;
}

int CVantorApp::SelectServer()
{
    for (int i = 0; i < 3; ++i)
        m_strHosts[size_t(i)] = QString::fromUtf8(vantor_config::kHosts[i]);

    const QString remembered = ReadProfileString(m_strConfigPath, kSection, kKey, QString());
    if (!remembered.isEmpty()) {
        m_strHost = UnscrambleText(remembered, kConfigScrambleKey);
        if (ProbeServer())
            return 1;
    }

    // Seeded once, and drawn in rounds: each round tries the three candidates
    // in a fresh random order, so no candidate is tried twice before every
    // candidate has been tried once.
    m_services.seed(static_cast<unsigned>(m_services.now()));
    std::array<int, 3> order{0, 1, 2};
    for (int attempt = 0; attempt < kRandomTries; ++attempt) {
        if (attempt % 3 == 0) {
            for (int i = 2; i > 0; --i)
                std::swap(order[size_t(i)], order[size_t(m_services.random() % (i + 1))]);
        }
        m_strHost = m_strHosts[size_t(order[size_t(attempt % 3)])];
        if (ProbeServer()) {
            try {
                WriteProfileString(m_strConfigPath, kSection, kKey,
                                   ScrambleText(m_strHost, kConfigScrambleKey));
            } catch (...) {
                // Not remembering the host only costs a few probes at the next start.
            }
            return 1;
        }
        m_services.sleep(kPauseAfterFailedTryMs);
    }
    return 0;
}
