#include "browser/simple_handler.h"

#include "browser/error_page.h"

#include <vector>

SimpleHandler::SimpleHandler(HandlerServices services) : m_services(std::move(services)) {}

void SetBrowserWindowTitle(const BrowserRef& browser, const QString& title)
{
    if (browser)
        browser->SetWindowTitle(title);
}

void SimpleHandler::OnTitleChange(const BrowserRef& browser, const QString& title)
{
    SetBrowserWindowTitle(browser, title);
}

void SimpleHandler::OnAfterCreated(const BrowserRef& browser)
{
    std::lock_guard lock(m_lock);
    open_browsers.push_back(browser);
}

bool SimpleHandler::DoClose(const BrowserRef&)
{
    std::lock_guard lock(m_lock);
    if (open_browsers.size() == 1)
        last_browser_closing = true;
    return false;
}

void SimpleHandler::OnBeforeClose(const BrowserRef& browser)
{
    std::lock_guard lock(m_lock);
    for (auto it = open_browsers.begin(); it != open_browsers.end(); ++it) {
        if (it->get() == browser.get()) {
            open_browsers.erase(it);
            break;
        }
    }
    // The engine's message loop is Qt's own and must keep running after the
    // last browser went away, so there is no quit request to make here.
}

void SimpleHandler::OnLoadError(const BrowserRef& browser, int errorCode, const QString& errorText,
                                const QString& failedUrl)
{
    if (!browser)
        return;
    if (const auto uri = LoadErrorPageUri(errorCode, errorText, failedUrl))
        browser->LoadURL(QString::fromStdString(*uri));
}

bool SimpleHandler::OnJSDialog(JSDialogType type, const QString& messageText,
                               const std::function<void(bool, const QString&)>& callback,
                               bool& suppressMessage)
{
    switch (type) {
    case JSDIALOGTYPE_ALERT:
        m_services.alertBox(messageText);
        callback(true, QString());
        suppressMessage = false;
        return true;
    case JSDIALOGTYPE_CONFIRM: {
        const bool ok = m_services.confirmBox(messageText);
        callback(ok, QString());
        suppressMessage = false;
        return true;
    }
    case JSDIALOGTYPE_PROMPT:
        suppressMessage = false;
        return false;
    }
    return false;
}

void SimpleHandler::OnBeforeContextMenu(int typeFlags, ContextMenuModel& model)
{
    if ((typeFlags & (CM_TYPEFLAG_PAGE | CM_TYPEFLAG_FRAME)) != 0 && model.GetCount() > 0)
        model.Clear();
}

void SimpleHandler::OnRenderProcessCrashed(const BrowserRef& browser)
{
    if (!browser)
        return;
    const qint64 now = m_services.nowMs();
    if (m_lastCrashReloadMs < 0 || now - m_lastCrashReloadMs >= kCrashReloadQuietMs) {
        m_lastCrashReloadMs = now;
        browser->Reload();
        m_services.warningBox(QStringLiteral("页面意外终止，已重新加载。"));
    } else {
        m_services.warningBox(QStringLiteral("页面再次意外终止，请稍后刷新页面或重新启动程序。"));
    }
}

void SimpleHandler::CloseOpenBrowsers(bool forceClose)
{
    if (!m_services.currentlyOnUiThread()) {
        auto self = shared_from_this();
        m_services.postToUiThread([self, forceClose] { self->CloseOpenBrowsers(forceClose); });
        return;
    }
    // A copy: closing a browser may remove it from the list while we walk.
    std::vector<BrowserRef> browsers;
    {
        std::lock_guard lock(m_lock);
        browsers.assign(open_browsers.begin(), open_browsers.end());
    }
    for (const BrowserRef& b : browsers)
        b->CloseBrowser(forceClose);
}

BrowserRef SimpleHandler::FirstBrowser() const
{
    std::lock_guard lock(m_lock);
    return open_browsers.empty() ? nullptr : open_browsers.front();
}

bool SimpleHandler::IsLastBrowserClosing() const
{
    return last_browser_closing;
}

size_t SimpleHandler::BrowserCount() const
{
    std::lock_guard lock(m_lock);
    return open_browsers.size();
}
