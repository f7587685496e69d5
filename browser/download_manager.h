#pragma once
#include <QHash>
#include <QObject>
#include <QSet>
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
    void Finish(quint32 id, bool ok, const QString& reason);
    AskSavePath m_ask;
    // The engine restarts a download that broke off by itself, under the same
    // id, and Qt reports that as a new request whose end it never reports. Such
    // a restart is refused and the download reported as broken off.
    QHash<quint32, QString> m_paths;  // every download accepted, by id
    QSet<quint32> m_ended;            // those whose end has been reported
};
