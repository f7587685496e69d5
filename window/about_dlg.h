#pragma once
#include <QDialog>

// "关于 Vantor": icon, version line, the deployment's second line and "确定".
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
