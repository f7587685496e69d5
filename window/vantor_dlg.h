#pragma once
#include <QDialog>
#include <QIcon>
#include <QPointer>
#include <functional>
#include <memory>

class BrowserRuntime;
class DownloadBar;
class CVantorApp;
class QLineEdit;
class QPushButton;
class ServerSelectionTask;
class SimpleHandler;

// The main window: covers the work area, holds the browser over its whole
// client area, and ends the program when it is closed.
class CVantorDlg : public QDialog {
    Q_OBJECT
public:
    CVantorDlg(CVantorApp& app, BrowserRuntime& runtime, QWidget* parent = nullptr);
    // The server selection, already under way; without it OnInitDialog runs one.
    void SetSelection(ServerSelectionTask* selection) { m_selection = selection; }
    ~CVantorDlg() override;

    // Runs before the window is first shown; false when start-up cannot go on.
    bool OnInitDialog();
    void OnSysCommand(unsigned nID);
    void OnBnClickedGo();
    void OnSize();
    void OnClose();

    static QString Caption();

    std::shared_ptr<SimpleHandler> m_handler;
    // The notice for an empty address; a test may replace it.
    std::function<void(const QString&)> m_warn;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void PlaceOnWorkArea();
    QRect BrowserArea() const;

    CVantorApp& m_app;
    BrowserRuntime& m_runtime;
    QIcon m_hIcon;
    QLineEdit* m_edit = nullptr;       // the hidden address bar (control 1000)
    QPushButton* m_go = nullptr;       // and its hidden "go" button (control 1001)
    QPointer<QWidget> m_browserWidget;  // gone when the page closed its own window
    DownloadBar* m_downloadBar = nullptr;
    int m_placementTries = 0;
    ServerSelectionTask* m_selection = nullptr;
};
