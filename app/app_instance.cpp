// Start-up and end of the browser process.
#include "app/paths.h"
#include "app/vantor_app.h"
#include "browser/browser_runtime.h"
#include "window/message_boxes.h"
#include "window/server_selection_task.h"
#include "window/vantor_dlg.h"

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The client writes no log, and neither may the browser engine or the pages.
void DiscardMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

void PrepareEngineEnvironment()
{
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.isEmpty())
        flags += ' ';
    flags += "--log-level=3";
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false;*.critical=false;js=false");
    qInstallMessageHandler(DiscardMessage);
}

// SIGTERM, SIGINT and SIGHUP (the session ending) leave the main window's loop
// the same way a close does, so cookies and site data are kept.
int g_signalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = write(g_signalPipe[1], &c, 1);
}

void InstallTerminationHandlers(CVantorApp& app)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [&app] {
        char c;
        [[maybe_unused]] ssize_t n = read(g_signalPipe[0], &c, 1);
        app.ArmExitWatchdog();
        if (app.m_pMainWnd)
            app.m_pMainWnd->done(0);
        app.LeaveEventLoops();
    });
    struct sigaction sa = {};
    sa.sa_handler = OnTerminationSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &sa, nullptr);
}

}  // namespace

int CVantorApp::InitInstance(int /*argc*/, char** argv)
{
    PrepareEngineEnvironment();

    // The engine reads switches from the application's arguments: it gets the
    // program name and nothing else.
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    m_qapp = new QApplication(qtArgc, qtArgv);
    QCoreApplication::setApplicationName(QStringLiteral("提示"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("vantor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/res/vantor.png")));
    // Only the main window's close ends the program, never the last pop-up or splash.
    QApplication::setQuitOnLastWindowClosed(false);

    m_strConfigPath = ConfigPathFor(ExecutablePath());
    m_services.warn = ShowWarningBox;
    // The probes start first; the engine starts while they run.
    ServerSelectionTask selection(*this);
    m_runtime = new BrowserRuntime(CacheFolder());
    InstallTerminationHandlers(*this);

    {
        CVantorDlg dlg(*this, *m_runtime);
        dlg.SetSelection(&selection);
        m_pMainWnd = &dlg;
        if (dlg.OnInitDialog())
            dlg.exec();
        m_pMainWnd = nullptr;
    }
    return 0;
}

int CVantorApp::ExitInstance()
{
    ArmExitWatchdog();
    // Pages first, then the profile, then the engine: the profile writes its
    // cookies and site data to disk when it goes.
    delete m_runtime;
    m_runtime = nullptr;
    delete m_qapp;
    m_qapp = nullptr;
    _exit(0);
}

void CVantorApp::LeaveEventLoops()
{
    QCoreApplication::exit(0);
}
