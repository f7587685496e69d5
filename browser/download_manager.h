#pragma once
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QUrl>
#include <QString>
#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// Every download of the profile, main browser and pop-ups alike: asks where to
// save it, reports its progress, and never leaves a partial file behind.
class DownloadManager : public QObject {
    Q_OBJECT
public:
    // Returns the chosen path, or an empty text when the user cancelled.
    using AskSavePath = std::function<QString(const QString& suggestedPath)>;

    DownloadManager(QWebEngineProfile* profile, AskSavePath ask, QObject* parent = nullptr);

    // Where the save dialog starts: the user's download folder and the server's file name.
    static QString SuggestedPath(const QString& downloadFolder, const QString& suggestedName);

signals:
    void started(const QString& fileName);
    void progress(const QString& fileName, qint64 received, qint64 total);
    void finished(const QString& path, bool ok, const QString& reason);

private:
    void OnDownloadRequested(QWebEngineDownloadRequest* download);
    void Track(QWebEngineDownloadRequest* download, const QString& path);
    AskSavePath m_ask;
    // Downloads that broke off: the engine restarts them by itself, and a
    // restart goes to the file the user already chose instead of asking again.
    struct Interrupted {
        QString path;
        QElapsedTimer since;
    };
    QHash<QUrl, Interrupted> m_interrupted;
};

inline constexpr qint64 kDownloadRestartWindowMs = 10000;
