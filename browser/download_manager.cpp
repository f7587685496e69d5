#include "browser/download_manager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

DownloadManager::DownloadManager(QWebEngineProfile* profile, AskSavePath ask, QObject* parent)
    : QObject(parent), m_ask(std::move(ask))
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &DownloadManager::OnDownloadRequested);
}

QString DownloadManager::SuggestedPath(const QString& downloadFolder, const QString& suggestedName)
{
    // Only the file name counts: a server cannot steer the file into another folder.
    QString name = QFileInfo(suggestedName).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("download");
    const QString folder = QFileInfo(downloadFolder).isDir() ? downloadFolder : QDir::homePath();
    return QDir(folder).filePath(name);
}

void DownloadManager::OnDownloadRequested(QWebEngineDownloadRequest* download)
{
    QString path;
    const auto restarted = m_interrupted.constFind(download->url());
    if (restarted != m_interrupted.constEnd() && restarted->since.elapsed() < kDownloadRestartWindowMs) {
        path = restarted->path;
    } else {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
        path = m_ask(SuggestedPath(folder, download->suggestedFileName()));
    }
    m_interrupted.remove(download->url());
    if (path.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    Track(download, target.absoluteFilePath());
    download->accept();
}

void DownloadManager::Track(QWebEngineDownloadRequest* download, const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    emit started(name);
    auto report = [this, download, name] {
        emit progress(name, download->receivedBytes(), download->totalBytes());
    };
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, report);
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this, report);
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download, path] {
        if (!download->isFinished())
            return;
        const bool ok = download->state() == QWebEngineDownloadRequest::DownloadCompleted;
        QString reason;
        if (!ok) {
            reason = download->state() == QWebEngineDownloadRequest::DownloadCancelled
                         ? QStringLiteral("已取消")
                         : download->interruptReasonString();
            // The engine writes to "<name>.download" and gives the file its name
            // only when it is complete; a broken-off part must not stay behind,
            // and a file that already had the name (the user agreed to replace
            // it) stays as it was.
            QFile::remove(path + QStringLiteral(".download"));
            if (download->state() == QWebEngineDownloadRequest::DownloadInterrupted) {
                Interrupted& entry = m_interrupted[download->url()];
                entry.path = path;
                entry.since.start();
            }
        }
        emit finished(path, ok, reason);
    });
}
