#pragma once
#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

class BrowserView;
class DownloadManager;
class QWebEngineProfile;
class QWidget;
class SimpleHandler;

// The browser engine's side of the program: one disk profile (cache, cookies,
// site data, preferences) and every browser view opened on it.
class BrowserRuntime : public QObject {
    Q_OBJECT
public:
    explicit BrowserRuntime(const QString& storageFolder, QObject* parent = nullptr);
    // Closes the views that are still open, then releases the profile, which
    // writes cookies and site data to disk.
    ~BrowserRuntime() override;

    QWebEngineProfile* profile() const { return m_profile; }
    DownloadManager* downloads() const { return m_downloads; }
    // A browser reporting to `handler`: a child of `parent`, or a top-level
    // window when there is none (pop-ups).
    BrowserView* CreateBrowser(const std::shared_ptr<SimpleHandler>& handler, QWidget* parent);

private:
    QWebEngineProfile* m_profile = nullptr;
    DownloadManager* m_downloads = nullptr;
    QList<QPointer<BrowserView>> m_views;
};
