#include "window/server_selection_task.h"

#include "app/vantor_app.h"
#include "window/splash_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kSplashDelayMs = 300;
}

ServerSelectionTask::ServerSelectionTask(CVantorApp& app)
    : m_app(app), m_splash(std::make_unique<SplashWindow>())
{
    SplashWindow* splash = m_splash.get();
    const auto warn = m_app.m_services.warn;
    m_app.m_services.warn = [splash, warn](const QString& text) {
        QMetaObject::invokeMethod(
            qApp,
            [splash, &warn, &text] {
                splash->hide();
                warn(text);
            },
            Qt::BlockingQueuedConnection);
    };
    QTimer::singleShot(kSplashDelayMs, splash, [this, splash] {
        if (!m_done)
            splash->show();
    });
    m_worker = std::thread([this] {
        const int result = m_app.SelectServer();
        QMetaObject::invokeMethod(qApp, [this, result] {
            m_result = result;
            m_done = true;
            if (m_loop)
                m_loop->quit();
        });
    });
}

ServerSelectionTask::~ServerSelectionTask()
{
    if (!m_joined)
        m_worker.detach();  // only when the process is ending anyway
}

int ServerSelectionTask::Wait()
{
    if (!m_done) {
        QEventLoop loop;
        m_loop = &loop;
        while (!m_done) {
            if (loop.exec() < 0)
                break;  // the application is leaving its loops
        }
        m_loop = nullptr;
    }
    if (m_done) {
        m_worker.join();
        m_joined = true;
    }
    m_splash->hide();
    return m_result;
}
