#pragma once
#include "browser/simple_handler.h"

#include <QWebEngineView>
#include <memory>

class BrowserPage;
class BrowserRuntime;

// One browser: the main one inside the main window, or a pop-up in a window of
// its own. It reports its life to the handler.
class BrowserView : public QWebEngineView {
    Q_OBJECT
public:
    BrowserView(BrowserRuntime& runtime, std::shared_ptr<SimpleHandler> handler, QWidget* parent);
    ~BrowserView() override;

    const BrowserRef& ref() const { return m_ref; }
    BrowserRuntime& runtime() const { return m_runtime; }
    const std::shared_ptr<SimpleHandler>& handler() const { return m_handler; }

    // Asks the handler, then closes and destroys this browser.
    void CloseBrowser(bool forceClose);
    // The system's print dialog for this page; printing goes on in the background.
    void PrintPage();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    BrowserRuntime& m_runtime;
    std::shared_ptr<SimpleHandler> m_handler;
    BrowserRef m_ref;
    bool m_closing = false;
    bool m_printing = false;
};
