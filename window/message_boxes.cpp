#include "window/message_boxes.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace {

// Ctrl+C copies the caption, the text and the buttons, as message boxes do on
// Windows, so that a user can paste a message into a support request.
class CopyableMessageBox : public QMessageBox {
public:
    CopyableMessageBox(Icon icon, const QString& text, StandardButtons buttons)
        : QMessageBox(icon, kBoxCaption, text, buttons)
    {
        setTextFormat(Qt::PlainText);
        setWindowModality(Qt::ApplicationModal);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) {
            const QString rule = QStringLiteral("---------------------------\n");
            QStringList names;
            for (QAbstractButton* b : buttons())
                names << b->text().remove(QLatin1Char('&'));
            QGuiApplication::clipboard()->setText(rule + windowTitle() + QLatin1Char('\n') + rule + text() +
                                                  QLatin1Char('\n') + rule + names.join(QLatin1Char(' ')) +
                                                  QLatin1Char('\n') + rule);
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

int RunPageBox(const QString& text, QMessageBox::StandardButtons buttons)
{
    CopyableMessageBox box(QMessageBox::NoIcon, text, buttons);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

}  // namespace

void ShowWarningBox(const QString& text)
{
    CopyableMessageBox box(QMessageBox::Warning, text, QMessageBox::Ok);
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
