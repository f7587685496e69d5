#include "window/download_bar.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

DownloadBar::DownloadBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("downloadBar"));
    setAutoFillBackground(true);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    m_progress = new QProgressBar(this);
    m_progress->setMaximumWidth(240);
    m_open = new QPushButton(QStringLiteral("打开"), this);
    m_folder = new QPushButton(QStringLiteral("打开文件夹"), this);
    m_close = new QPushButton(QStringLiteral("关闭"), this);
    for (QPushButton* b : {m_open, m_folder, m_close}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(m_open, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_path)); });
    connect(m_folder, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_path).absolutePath())); });
    connect(m_close, &QPushButton::clicked, this, [this] {
        hide();
        emit visibilityChanged();
    });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 8, 2);
    row->addWidget(m_text, 1);
    row->addWidget(m_progress);
    row->addWidget(m_open);
    row->addWidget(m_folder);
    row->addWidget(m_close);
    hide();
}

void DownloadBar::ShowBar()
{
    if (!isVisible()) {
        show();
        raise();
        emit visibilityChanged();
    }
}

void DownloadBar::OnStarted(const QString& fileName)
{
    ++m_active;
    m_text->setText(QStringLiteral("正在下载 %1").arg(fileName));
    m_progress->setRange(0, 0);
    m_progress->show();
    m_open->hide();
    m_folder->hide();
    m_close->hide();
    ShowBar();
}

void DownloadBar::OnProgress(const QString& fileName, qint64 received, qint64 total)
{
    m_text->setText(QStringLiteral("正在下载 %1").arg(fileName));
    if (total > 0) {
        m_progress->setRange(0, 1000);
        m_progress->setValue(int(received * 1000 / total));
    }
}

void DownloadBar::OnFinished(const QString& path, bool ok, const QString& reason)
{
    m_active = qMax(0, m_active - 1);
    m_path = path;
    const QString name = QFileInfo(path).fileName();
    m_progress->hide();
    m_close->show();
    m_open->setVisible(ok);
    m_folder->setVisible(ok);
    m_text->setText(ok ? QStringLiteral("下载完成：%1").arg(name)
                       : QStringLiteral("下载失败：%1（%2）").arg(name, reason));
    ShowBar();
}
