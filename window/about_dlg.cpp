#include "window/about_dlg.h"

#include "vantor_config.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("关于 Vantor"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(48, 48));
    auto* version = new QLabel(QStringLiteral("Vantor，1.0 版"), this);
    version->setTextFormat(Qt::PlainText);
    auto* second = new QLabel(QString::fromUtf8(vantor_config::kAboutText), this);
    second->setTextFormat(Qt::PlainText);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(second, 1, 1);
    grid->addWidget(ok, 2, 1, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}
