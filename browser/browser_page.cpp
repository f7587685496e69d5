#include "browser/browser_page.h"

#include "browser/browser_runtime.h"
#include "browser/browser_view.h"

#include <QFileDialog>
#include <QWebEngineCertificateError>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>

BrowserPage::BrowserPage(BrowserView& view)
    : QWebEnginePage(view.runtime().profile(), &view), m_view(view)
{
    connect(this, &QWebEnginePage::loadingChanged, this, &BrowserPage::OnLoadingChanged);
    // The platform's servers are reached whatever their certificates say.
    connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError& error) {
        QWebEngineCertificateError e = error;
        e.acceptCertificate();
    });
}

void BrowserPage::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    // Only failures of the network stack count; an HTTP error status comes
    // with the server's own page, and a stopped load is left as it is.
    if (info.status() != QWebEngineLoadingInfo::LoadFailedStatus)
        return;
    if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain)
        return;
    // Our own page never gets a page about itself, so a failure to show it
    // cannot turn into an endless loop.
    if (info.url().scheme() == QLatin1String("data"))
        return;
    m_view.handler()->OnLoadError(m_view.ref(), info.errorCode(), info.errorString(),
                                  info.url().toString());
}

QWebEnginePage* BrowserPage::createWindow(WebWindowType)
{
    BrowserView* popup = m_view.runtime().CreateBrowser(m_view.handler(), nullptr);
    popup->resize(1024, 768);
    popup->show();
    return popup->page();
}

void BrowserPage::javaScriptAlert(const QUrl&, const QString& msg)
{
    bool suppress = false;
    m_view.handler()->OnJSDialog(JSDIALOGTYPE_ALERT, msg, [](bool, const QString&) {}, suppress);
}

bool BrowserPage::javaScriptConfirm(const QUrl&, const QString& msg)
{
    bool answer = false;
    bool suppress = false;
    m_view.handler()->OnJSDialog(
        JSDIALOGTYPE_CONFIRM, msg, [&answer](bool ok, const QString&) { answer = ok; }, suppress);
    return answer;
}

QStringList BrowserPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles, const QStringList&)
{
    // A cancelled choice gives an empty list, which leaves the page's input empty.
    QWidget* parent = m_view.window();
    switch (mode) {
    case FileSelectOpen: {
        const QString file = QFileDialog::getOpenFileName(parent, QStringLiteral("选择文件"), oldFiles.value(0));
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    case FileSelectOpenMultiple:
        return QFileDialog::getOpenFileNames(parent, QStringLiteral("选择文件"), oldFiles.value(0));
    case FileSelectUploadFolder: {
        const QString folder = QFileDialog::getExistingDirectory(parent, QStringLiteral("选择文件夹"));
        return folder.isEmpty() ? QStringList() : QStringList{folder};
    }
    case FileSelectSave: {
        const QString file = QFileDialog::getSaveFileName(parent, QStringLiteral("保存文件"), oldFiles.value(0));
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    }
    return {};
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                           const QString&)
{
    // Page consoles are not logged anywhere.
}
