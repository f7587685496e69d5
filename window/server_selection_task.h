#pragma once
#include <memory>
#include <thread>

class CVantorApp;
class SplashWindow;

// Runs the server selection off the GUI thread from the moment the application
// starts, so that the browser engine starts up at the same time and the
// splash window can appear (after 300 ms) and paint. Message boxes that the
// selection raises still show on the GUI thread.
class ServerSelectionTask {
public:
    explicit ServerSelectionTask(CVantorApp& app);
    ~ServerSelectionTask();
    ServerSelectionTask(const ServerSelectionTask&) = delete;
    ServerSelectionTask& operator=(const ServerSelectionTask&) = delete;

    // Waits for the result (1: a host answered, 0: none did), keeping the GUI alive.
    int Wait();

private:
    CVantorApp& m_app;
    std::unique_ptr<SplashWindow> m_splash;
    std::thread m_worker;
    int m_result = 0;
    bool m_done = false;
    bool m_joined = false;
    class QEventLoop* m_loop = nullptr;
};
