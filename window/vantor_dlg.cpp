#include "window/vantor_dlg.h"

#include "app/vantor_app.h"
#include "browser/browser_runtime.h"
#include "browser/browser_view.h"
#include "browser/download_manager.h"
#include "browser/simple_handler.h"
#include "vantor_config.h"
#include "window/about_dlg.h"
#include "window/download_bar.h"
#include "window/message_boxes.h"
#include "window/server_selection_task.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <chrono>
#include <cwctype>
#include <unistd.h>

namespace {
const QString kStartPath = QStringLiteral("/80417fahuo/index.html");
constexpr unsigned kAboutCommand = 0x0010;

QString TrimWhiteSpace(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && std::iswspace(wint_t(text[begin].unicode())))
        ++begin;
    while (end > begin && std::iswspace(wint_t(text[end - 1].unicode())))
        --end;
    return text.mid(begin, end - begin);
}
}  // namespace

CVantorDlg::CVantorDlg(CVantorApp& app, BrowserRuntime& runtime, QWidget* parent)
    : QDialog(parent), m_warn(ShowWarningBox), m_app(app), m_runtime(runtime),
      m_hIcon(QStringLiteral(":/res/vantor.png"))
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(Caption());
    setWindowIcon(m_hIcon);
    setSizeGripEnabled(false);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("addressEdit"));
    m_edit->setGeometry(5, 9, 293, 21);
    m_edit->setVisible(false);
    m_go = new QPushButton(QStringLiteral("go"), this);
    m_go->setObjectName(QStringLiteral("goButton"));
    m_go->setGeometry(308, 8, 75, 21);
    m_go->setAutoDefault(false);
    m_go->setDefault(false);
    m_go->setVisible(false);
    connect(m_go, &QPushButton::clicked, this, &CVantorDlg::OnBnClickedGo);

    m_downloadBar = new DownloadBar(this);
    connect(m_downloadBar, &DownloadBar::visibilityChanged, this, &CVantorDlg::OnSize);
    if (DownloadManager* downloads = m_runtime.downloads()) {
        connect(downloads, &DownloadManager::started, m_downloadBar, &DownloadBar::OnStarted);
        connect(downloads, &DownloadManager::progress, m_downloadBar, &DownloadBar::OnProgress);
        connect(downloads, &DownloadManager::finished, m_downloadBar, &DownloadBar::OnFinished);
    }

    // The About box has no menu entry; this key combination opens it.
    auto* about = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F1")), this);
    about->setContext(Qt::WindowShortcut);
    connect(about, &QShortcut::activated, this, [this] { OnSysCommand(kAboutCommand); });
}

CVantorDlg::~CVantorDlg() = default;

QString CVantorDlg::Caption()
{
    return QString::fromUtf8(vantor_config::kServiceName) + QLatin1Char('(') +
           QString::fromUtf8(vantor_config::kServiceUrl) + QLatin1Char(')') + QStringLiteral("      客服电话：") +
           QString::fromUtf8(vantor_config::kServicePhone);
}

bool CVantorDlg::OnInitDialog()
{
    PlaceOnWorkArea();

    HandlerServices services;
    services.currentlyOnUiThread = [] { return QThread::currentThread() == qApp->thread(); };
    services.postToUiThread = [](std::function<void()> task) {
        QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
    };
    services.alertBox = ShowPageAlert;
    services.confirmBox = ShowPageConfirm;
    services.warningBox = ShowWarningBox;
    services.nowMs = [] {
        using namespace std::chrono;
        return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    m_handler = std::make_shared<SimpleHandler>(std::move(services));

    // The engine starts its processes while the selection probes the servers;
    // nothing is loaded before a server has answered.
    BrowserView* view = m_runtime.CreateBrowser(m_handler, this);
    m_browserWidget = view;
    view->setGeometry(BrowserArea());

    std::unique_ptr<ServerSelectionTask> ownSelection;
    if (!m_selection)
        m_selection = (ownSelection = std::make_unique<ServerSelectionTask>(m_app)).get();
    const int found = m_selection->Wait();
    m_selection = nullptr;
    if (!found) {
        ShowWarningBox(QStringLiteral("无法连接服务器,请检查网络!"));
        _exit(0);
    }

    // The host is a bare name; the page is always loaded over http.
    view->load(QUrl(QStringLiteral("http://") + m_app.m_strHost + kStartPath));
    view->setFocus();
    return true;
}

void CVantorDlg::PlaceOnWorkArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    // The frame's top-left corner goes to (0, 0) and the whole window, frame
    // included, gets the work area's size; frame sizes are known only once the
    // window manager has framed the window.
    QMargins frame;
    if (windowHandle() && isVisible())
        frame = windowHandle()->frameMargins();
    setGeometry(frame.left(), frame.top(), work.width() - frame.left() - frame.right(),
                work.height() - frame.top() - frame.bottom());
}

void CVantorDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_placementTries = 0;
    // Wait (briefly) for the window manager's frame, then fit the frame to the work area.
    auto* timer = new QTimer(this);
    timer->setInterval(50);
    connect(timer, &QTimer::timeout, this, [this, timer] {
        const bool framed = windowHandle() && !windowHandle()->frameMargins().isNull();
        if (framed || ++m_placementTries >= 40) {
            timer->deleteLater();
            if (framed && !isMaximized() && !isMinimized())
                PlaceOnWorkArea();
        }
    });
    timer->start();
}

void CVantorDlg::OnSize()
{
    if (!m_handler || !m_browserWidget)
        return;
    if (!m_handler->FirstBrowser())
        return;
    m_browserWidget->setGeometry(BrowserArea());
}

QRect CVantorDlg::BrowserArea() const
{
    // The whole client area, less the download strip while it shows.
    QRect area = rect();
    if (m_downloadBar && m_downloadBar->isVisible()) {
        area.setBottom(area.bottom() - DownloadBar::kHeight);
        m_downloadBar->setGeometry(0, area.bottom() + 1, width(), DownloadBar::kHeight);
    }
    return area;
}

void CVantorDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    OnSize();
}

void CVantorDlg::OnSysCommand(unsigned nID)
{
    if ((nID & 0xFFF0) == kAboutCommand) {
        CAboutDlg about(this);
        about.exec();
    }
}

void CVantorDlg::OnBnClickedGo()
{
    const QString address = TrimWhiteSpace(m_edit->text());
    if (address.isEmpty()) {
        m_warn(QStringLiteral("请输入网址"));
        return;
    }
    if (!m_handler)
        return;
    if (const BrowserRef browser = m_handler->FirstBrowser())
        browser->LoadURL(address);
}

void CVantorDlg::OnClose()
{
    m_app.ArmExitWatchdog();
    if (m_handler && !m_handler->IsLastBrowserClosing())
        m_handler->CloseOpenBrowsers(true);
    m_app.LeaveEventLoops();
}

void CVantorDlg::closeEvent(QCloseEvent* event)
{
    // The process ends; the dialog itself never just goes away.
    event->ignore();
    OnClose();
}

void CVantorDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        // Never a default button, never the end of the dialog.
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
