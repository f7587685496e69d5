#pragma once
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// A thin strip at the bottom of the main window: a download's progress, then
// its result with ways to open the file or its folder. Hidden otherwise.
class DownloadBar : public QWidget {
    Q_OBJECT
public:
    explicit DownloadBar(QWidget* parent = nullptr);

    void OnStarted(const QString& fileName);
    void OnProgress(const QString& fileName, qint64 received, qint64 total);
    void OnFinished(const QString& path, bool ok, const QString& reason);

    static constexpr int kHeight = 30;

signals:
    void visibilityChanged();

private:
    void ShowBar();
    QLabel* m_text;
    QProgressBar* m_progress;
    QPushButton* m_open;
    QPushButton* m_folder;
    QPushButton* m_close;
    QString m_path;
    int m_active = 0;
};
