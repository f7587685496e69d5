#include "app/paths.h"

#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

QString ExecutablePath()
{
    // The real file, even when started through a symbolic link.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

CacheFolderInputs CurrentCacheFolderInputs()
{
    CacheFolderInputs in;
    in.xdgDataHome = QString::fromLocal8Bit(std::getenv("XDG_DATA_HOME"));
    in.home = QString::fromLocal8Bit(std::getenv("HOME"));
    if (const struct passwd* pw = getpwuid(getuid()))
        in.passwdHome = QString::fromLocal8Bit(pw->pw_dir);
    in.tempFolder = QDir::tempPath();
    in.uid = getuid();
    return in;
}
