#include "app/vantor_app.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <unistd.h>

namespace {
// Long enough for the engine to write cookies and site data, short enough that
// closing the window always feels immediate.
constexpr std::chrono::milliseconds kExitWatchdog{1500};
}  // namespace

void CVantorApp::ArmExitWatchdog()
{
    static std::atomic<bool> armed{false};
    if (armed.exchange(true))
        return;
    std::thread([] {
        std::this_thread::sleep_for(kExitWatchdog);
        _exit(0);
    }).detach();
}
