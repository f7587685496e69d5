#include "browser/browser_runtime.h"

#include "browser/browser_view.h"
#include "browser/download_manager.h"
#include "browser/simple_handler.h"

#include <QApplication>
#include <QFileDialog>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

BrowserRuntime::BrowserRuntime(const QString& storageFolder, QObject* parent) : QObject(parent)
{
    m_profile = new QWebEngineProfile(QStringLiteral("vantor"));
    m_profile->setPersistentStoragePath(storageFolder);
    m_profile->setCachePath(storageFolder);
    m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::ForcePersistentCookies);

    QWebEngineSettings* s = m_profile->settings();
    s->setAttribute(QWebEngineSettings::LocalStorageEnabled, true);
    s->setAttribute(QWebEngineSettings::WebGLEnabled, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    // Our own page replaces a failed load; the engine's must never flash first.
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);

    // The save dialog asks before an existing file is replaced.
    m_downloads = new DownloadManager(
        m_profile,
        [](const QString& suggested) {
            return QFileDialog::getSaveFileName(QApplication::activeWindow(), QStringLiteral("保存文件"), suggested);
        },
        this);
}

BrowserRuntime::~BrowserRuntime()
{
    for (const QPointer<BrowserView>& view : std::as_const(m_views))
        delete view.data();
    m_views.clear();
    delete m_downloads;
    m_downloads = nullptr;
    delete m_profile;
}

BrowserView* BrowserRuntime::CreateBrowser(const std::shared_ptr<SimpleHandler>& handler, QWidget* parent)
{
    auto* view = new BrowserView(*this, handler, parent);
    m_views.removeAll(nullptr);
    m_views.append(view);
    handler->OnAfterCreated(view->ref());
    return view;
}
