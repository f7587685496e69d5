#include "window/selection_runner.h"

#include "app/vantor_app.h"
#include "window/splash_window.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <thread>

namespace {
constexpr int kSplashDelayMs = 300;
}

int RunServerSelection(CVantorApp& app)
{
    SplashWindow splash;
    const SelectionServices saved = app.m_services;
    app.m_services.warn = [&splash, warn = saved.warn](const QString& text) {
        QMetaObject::invokeMethod(
            qApp,
            [&splash, &warn, &text] {
                splash.hide();
                warn(text);
            },
            Qt::BlockingQueuedConnection);
    };

    QEventLoop loop;
    int result = 0;
    std::thread worker([&] {
        result = app.SelectServer();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer::singleShot(kSplashDelayMs, &splash, [&splash] { splash.show(); });
    loop.exec();
    worker.join();
    app.m_services = saved;
    return result;
}
