#include "browser/browser_view.h"

#include "browser/browser_page.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QAction>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>
#include <QTimer>
#include <QWebEngineContextMenuRequest>

namespace {

// The handler's view of a browser; outlives the widget safely.
class ViewBrowser : public Browser {
public:
    explicit ViewBrowser(BrowserView* view) : m_view(view) {}
    void CloseBrowser(bool forceClose) override
    {
        if (m_view)
            m_view->CloseBrowser(forceClose);
    }
    void LoadURL(const QString& url) override
    {
        if (m_view)
            m_view->load(QUrl(url));
    }
    void SetWindowTitle(const QString& title) override
    {
        if (m_view)
            m_view->setWindowTitle(title);
    }
    void Reload() override
    {
        if (m_view)
            m_view->reload();
    }

private:
    QPointer<BrowserView> m_view;
};

class MenuModel : public ContextMenuModel {
public:
    explicit MenuModel(QMenu* menu) : m_menu(menu) {}
    int GetCount() const override { return int(m_menu->actions().size()); }
    void Clear() override { m_menu->clear(); }

private:
    QMenu* m_menu;
};

int TypeFlagsOf(const QWebEngineContextMenuRequest* request)
{
    // This engine does not say whether the click was in a frame, so every
    // request counts as one on the page.
    int flags = CM_TYPEFLAG_PAGE;
    if (!request)
        return flags;
    if (request->linkUrl().isValid())
        flags |= CM_TYPEFLAG_LINK;
    if (request->mediaType() != QWebEngineContextMenuRequest::MediaTypeNone)
        flags |= CM_TYPEFLAG_MEDIA;
    if (!request->selectedText().isEmpty())
        flags |= CM_TYPEFLAG_SELECTION;
    if (request->isContentEditable())
        flags |= CM_TYPEFLAG_EDITABLE;
    return flags;
}

}  // namespace

BrowserView::BrowserView(BrowserRuntime& runtime, std::shared_ptr<SimpleHandler> handler, QWidget* parent)
    : QWebEngineView(parent), m_runtime(runtime), m_handler(std::move(handler)),
      m_ref(std::make_shared<ViewBrowser>(this))
{
    setPage(new BrowserPage(*this));
    connect(page(), &QWebEnginePage::titleChanged, this,
            [this](const QString& title) { m_handler->OnTitleChange(m_ref, title); });
    connect(page(), &QWebEnginePage::windowCloseRequested, this, [this] { CloseBrowser(false); });
    connect(this, &QWebEngineView::printRequested, this, &BrowserView::PrintPage);
    auto* print = new QAction(this);
    print->setShortcut(QKeySequence::Print);
    print->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(print, &QAction::triggered, this, &BrowserView::PrintPage);
    addAction(print);
    connect(page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                // Leave the engine's signal first; the notice is a modal box.
                QTimer::singleShot(0, this, [this] { m_handler->OnRenderProcessCrashed(m_ref); });
            });
}

BrowserView::~BrowserView()
{
    m_handler->OnBeforeClose(m_ref);
}

void BrowserView::CloseBrowser(bool /*forceClose*/)
{
    if (m_closing)
        return;
    m_closing = true;
    m_handler->DoClose(m_ref);
    hide();
    deleteLater();
}

void BrowserView::PrintPage()
{
    if (m_printing)
        return;
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setDocName(title());
    QPrintDialog dialog(printer, window());
    dialog.setWindowTitle(QStringLiteral("打印"));
    if (dialog.exec() != QDialog::Accepted) {
        delete printer;
        return;
    }
    if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
        // Printing to a file: the engine's own PDF keeps the text (searchable,
        // small) where rendering through the printer would give page images.
        page()->printToPdf(printer->outputFileName(), printer->pageLayout());
        delete printer;
        return;
    }
    m_printing = true;
    // The engine renders the pages asynchronously; the printer lives until it is done.
    connect(this, &QWebEngineView::printFinished, this, [this, printer](bool) {
        m_printing = false;
        delete printer;
    }, Qt::SingleShotConnection);
    print(printer);
}

void BrowserView::closeEvent(QCloseEvent* event)
{
    // A pop-up closed by its window's close box.
    event->accept();
    if (!m_closing) {
        m_closing = true;
        m_handler->DoClose(m_ref);
        deleteLater();
    }
}

void BrowserView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    MenuModel model(menu);
    m_handler->OnBeforeContextMenu(TypeFlagsOf(lastContextMenuRequest()), model);
    if (menu->actions().isEmpty()) {
        delete menu;
        return;
    }
    menu->setAttribute(Qt::WA_DeleteOnClose, true);
    menu->popup(event->globalPos());
}
