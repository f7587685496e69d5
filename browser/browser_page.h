#pragma once
#include <QWebEnginePage>

class BrowserView;

// The page of one browser: pop-ups, the page's dialogs, load errors,
// certificate errors and console messages go through here to the handler.
class BrowserPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit BrowserPage(BrowserView& view);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceID) override;

private:
    void OnLoadingChanged(const class QWebEngineLoadingInfo& info);
    BrowserView& m_view;
};
