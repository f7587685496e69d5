#pragma once
#include <QString>
#include <array>
#include <ctime>
#include <functional>

class QApplication;
class BrowserRuntime;
class CVantorDlg;

// What server selection needs from the outside world. The product fills these
// with the network, the clock and message boxes; tests hand in fakes.
struct SelectionServices {
    std::function<QString(const QString& host, const QString& object, const QString& body,
                          const QString& token)>
        request;
    std::function<int()> networkAvailable;
    std::function<std::time_t()> now;
    std::function<void(unsigned seed)> seed;
    std::function<int()> random;
    std::function<void(int milliseconds)> sleep;
    std::function<void(const QString& text)> warn;  // returns when the user closed the box
    std::function<void()> endProcess;               // ends the process with exit code 0
};

SelectionServices SystemSelectionServices();

// The application object: start-up, the state other parts share, and the end.
class CVantorApp {
public:
    CVantorApp();
    ~CVantorApp();
    CVantorApp(const CVantorApp&) = delete;
    CVantorApp& operator=(const CVantorApp&) = delete;

    std::array<QString, 3> m_strHosts;  // candidate hosts, refilled by SelectServer
    QString m_strHost;                  // the chosen host
    QString m_strConfigPath;            // full path of qzcfg.dat beside the executable

    SelectionServices m_services;

    int SelectServer();
    int ProbeServer();

    // Browser process start-up; returns when the main window's loop has ended.
    int InitInstance(int argc, char** argv);
    // The end of the process, exit code 0, for every path out of the main window.
    [[noreturn]] int ExitInstance();
    // The first step of the exit: from now on the process ends within a bound,
    // whatever the browser engine does.
    void ArmExitWatchdog();
    // Leaves every running event loop so that ExitInstance runs next.
    void LeaveEventLoops();

    CVantorDlg* m_pMainWnd = nullptr;

private:
    QApplication* m_qapp = nullptr;
    BrowserRuntime* m_runtime = nullptr;
};

extern CVantorApp theApp;
