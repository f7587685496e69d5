#pragma once
#include <QString>

// The client's own notices: warning icon, caption "提示", one OK button.
void ShowWarningBox(const QString& text);

// A page's alert and confirm: caption "提示", no icon, no owner window, kept
// above other windows. The page's text is shown literally, never as markup.
void ShowPageAlert(const QString& text);
bool ShowPageConfirm(const QString& text);  // true for OK; Cancel, Escape and the close box give false

inline const QString kBoxCaption = QStringLiteral("提示");
