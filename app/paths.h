#pragma once
#include <QString>

// Where the client keeps its files.

// The configuration file beside the executable: its folder plus "qzcfg.dat".
QString ConfigPathFor(const QString& executablePath);
QString ExecutablePath();

struct CacheFolderInputs {
    QString xdgDataHome;   // $XDG_DATA_HOME
    QString home;          // $HOME
    QString passwdHome;    // the user's home from the password database
    QString tempFolder;    // the system's temporary folder
    unsigned uid = 0;
};

// The browser's cache, cookie and site-data folder: "MyCache" in the user's data
// folder. Never "/" or a relative (current) folder: when no home is known it
// falls back to a per-user folder under the temporary folder.
QString CacheFolderFor(const CacheFolderInputs& in);
QString CacheFolder();
CacheFolderInputs CurrentCacheFolderInputs();
