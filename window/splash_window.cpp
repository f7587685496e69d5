#include "window/splash_window.h"

#include "vantor_config.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("splash"));
    setWindowTitle(QStringLiteral("Vantor"));
    setAutoFillBackground(true);

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    auto* name = new QLabel(QString::fromUtf8(vantor_config::kServiceName), this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.3);
    big.setBold(true);
    name->setFont(big);
    auto* status = new QLabel(QStringLiteral("正在连接服务器…"), this);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(status);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(24, 20, 32, 20);
    row->setSpacing(16);
    row->addWidget(icon);
    row->addLayout(texts);

    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
