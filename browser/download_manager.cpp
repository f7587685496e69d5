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
    if (m_paths.contains(download->id())) {
        Finish(download->id(), false, QStringLiteral("连接中断"));
        download->cancel();
        return;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString path = m_ask(SuggestedPath(folder, download->suggestedFileName()));
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
    const quint32 id = download->id();
    m_paths.insert(id, path);
    const QString name = QFileInfo(path).fileName();
    emit started(name);
    auto report = [this, download, name] {
        emit progress(name, download->receivedBytes(), download->totalBytes());
    };
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this, report);
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, this, report);
    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
            [this, download, id](QWebEngineDownloadRequest::DownloadState state) {
                switch (state) {
                case QWebEngineDownloadRequest::DownloadCompleted:
                    Finish(id, true, QString());
                    break;
                case QWebEngineDownloadRequest::DownloadCancelled:
                    Finish(id, false, QStringLiteral("已取消"));
                    break;
                case QWebEngineDownloadRequest::DownloadInterrupted:
                    Finish(id, false, download->interruptReasonString());
                    break;
                default:
                    break;
                }
            });
}

void DownloadManager::Finish(quint32 id, bool ok, const QString& reason)
{
    if (m_ended.contains(id))
        return;
    m_ended.insert(id);
    const QString path = m_paths.value(id);
    if (!ok) {
        // The engine writes to "<name>.download" and gives the file its name
        // only when it is complete; a broken-off part must not stay behind,
        // and a file that already had the name (the user agreed to replace
        // it) stays as it was.
        QFile::remove(path + QStringLiteral(".download"));
    }
    emit finished(path, ok, reason);
}
