#pragma once
#include <QString>

// A small reader/writer for Windows-style profile (INI) files, so that a
// qzcfg.dat carried over from a Windows machine keeps working.
//
// Section and key names match case-insensitively and with surrounding blanks
// trimmed; values are trimmed. A missing file, section or key reads as the
// default. Reads are cut at 259 characters. A write changes only the line of
// its key (or adds it), keeps every other byte, creates the file when missing,
// and replaces the file atomically so that no reader ever sees it half written.

inline constexpr int kProfileReadLimit = 259;

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue);
bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value);

// The same on file contents in memory (UTF-8 bytes), for the two above and for tests.
QString ProfileLookup(const QByteArray& contents, const QString& section, const QString& key,
                      const QString& defaultValue);
QByteArray ProfileUpdate(const QByteArray& contents, const QString& section, const QString& key,
                         const QString& value);
