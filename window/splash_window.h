#pragma once
#include <QWidget>

// Shown while the client looks for a server, so that a slow network never
// looks like a program that failed to start.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* parent = nullptr);
};
