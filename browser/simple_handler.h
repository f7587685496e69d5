#pragma once
#include <QString>
#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>

// One open browser as the handler sees it. The Qt WebEngine view implements
// it; tests use plain fakes.
class Browser {
public:
    virtual ~Browser() = default;
    virtual void CloseBrowser(bool forceClose) = 0;
    virtual void LoadURL(const QString& url) = 0;
    // The browser's own window title: a pop-up shows it, the main browser is a
    // child widget whose title never reaches the main window's caption.
    virtual void SetWindowTitle(const QString& title) = 0;
    virtual void Reload() = 0;
};
using BrowserRef = std::shared_ptr<Browser>;

// The part of a context menu the handler decides on.
class ContextMenuModel {
public:
    virtual ~ContextMenuModel() = default;
    virtual int GetCount() const = 0;
    virtual void Clear() = 0;
};

enum ContextMenuTypeFlags : int {
    CM_TYPEFLAG_NONE = 0,
    CM_TYPEFLAG_PAGE = 1 << 0,
    CM_TYPEFLAG_FRAME = 1 << 1,
    CM_TYPEFLAG_LINK = 1 << 2,
    CM_TYPEFLAG_MEDIA = 1 << 3,
    CM_TYPEFLAG_SELECTION = 1 << 4,
    CM_TYPEFLAG_EDITABLE = 1 << 5,
};

enum JSDialogType { JSDIALOGTYPE_ALERT = 0, JSDIALOGTYPE_CONFIRM = 1, JSDIALOGTYPE_PROMPT = 2 };

// The GUI thread and the message boxes, handed in so that the rules below can
// be tested without a display.
struct HandlerServices {
    std::function<bool()> currentlyOnUiThread;
    std::function<void(std::function<void()>)> postToUiThread;
    std::function<void(const QString& text)> alertBox;    // one OK button
    std::function<bool(const QString& text)> confirmBox;  // true for OK
    std::function<void(const QString& text)> warningBox;  // the client's own notices
    std::function<qint64()> nowMs;                        // a monotonic clock
};

// The single client of every browser the program opens: it keeps the list of
// open browsers and decides titles, close, load errors, dialogs and menus.
class SimpleHandler : public std::enable_shared_from_this<SimpleHandler> {
public:
    explicit SimpleHandler(HandlerServices services);

    void OnTitleChange(const BrowserRef& browser, const QString& title);
    void OnAfterCreated(const BrowserRef& browser);
    bool DoClose(const BrowserRef& browser);
    void OnBeforeClose(const BrowserRef& browser);
    void OnLoadError(const BrowserRef& browser, int errorCode, const QString& errorText,
                     const QString& failedUrl);
    // Returns true when the handler showed the dialog and ran the callback.
    bool OnJSDialog(JSDialogType type, const QString& messageText,
                    const std::function<void(bool success, const QString& input)>& callback,
                    bool& suppressMessage);
    void OnBeforeContextMenu(int typeFlags, ContextMenuModel& model);
    // A page's renderer process died: reload it and tell the user, but never
    // reload in a loop when a page keeps crashing its renderer.
    void OnRenderProcessCrashed(const BrowserRef& browser);

    void CloseOpenBrowsers(bool forceClose);
    BrowserRef FirstBrowser() const;
    bool IsLastBrowserClosing() const;
    size_t BrowserCount() const;

private:
    HandlerServices m_services;
    mutable std::mutex m_lock;  // guards open_browsers: read from any thread
    std::list<BrowserRef> open_browsers;
    std::atomic<bool> last_browser_closing{false};
    qint64 m_lastCrashReloadMs = -1;
};

inline constexpr qint64 kCrashReloadQuietMs = 30000;

void SetBrowserWindowTitle(const BrowserRef& browser, const QString& title);
