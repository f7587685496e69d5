#include "window/message_boxes.h"

#include <QMessageBox>

namespace {
int RunPageBox(const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, kBoxCaption, text, buttons);
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setWindowModality(Qt::ApplicationModal);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}
}  // namespace

void ShowWarningBox(const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kBoxCaption, text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void ShowPageAlert(const QString& text)
{
    RunPageBox(text, QMessageBox::Ok);
}

bool ShowPageConfirm(const QString& text)
{
    return RunPageBox(text, QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}
