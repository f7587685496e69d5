#include "app/paths.h"

#include <QDir>

namespace {
bool Usable(const QString& folder)
{
    return QDir::isAbsolutePath(folder) && QDir::cleanPath(folder) != QLatin1String("/");
}
}  // namespace

QString ConfigPathFor(const QString& executablePath)
{
    const qsizetype slash = executablePath.lastIndexOf(QLatin1Char('/'));
    return executablePath.left(slash + 1) + QStringLiteral("qzcfg.dat");
}

QString CacheFolderFor(const CacheFolderInputs& in)
{
    QString data;
    if (Usable(in.xdgDataHome))
        data = in.xdgDataHome;
    else if (Usable(in.home))
        data = in.home + QStringLiteral("/.local/share");
    else if (Usable(in.passwdHome))
        data = in.passwdHome + QStringLiteral("/.local/share");
    else
        data = (Usable(in.tempFolder) ? in.tempFolder : QStringLiteral("/tmp")) +
               QStringLiteral("/vantor-%1").arg(in.uid);
    return QDir::cleanPath(data) + QStringLiteral("/MyCache");
}

QString CacheFolder()
{
    return CacheFolderFor(CurrentCacheFolderInputs());
}
