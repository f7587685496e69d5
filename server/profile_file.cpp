#include "server/profile_file.h"

#include <QFile>
#include <QSaveFile>
#include <optional>
#include <vector>

namespace {

struct Line {
    qsizetype begin;    // offset of the line's first byte
    qsizetype end;      // offset just past its text (before CR/LF)
    qsizetype next;     // offset of the following line
    QByteArray text;    // without the line break
};

std::vector<Line> SplitLines(const QByteArray& contents)
{
    std::vector<Line> lines;
    qsizetype pos = 0;
    while (pos < contents.size()) {
        qsizetype nl = contents.indexOf('\n', pos);
        qsizetype next = nl < 0 ? contents.size() : nl + 1;
        qsizetype end = nl < 0 ? contents.size() : nl;
        if (end > pos && contents[end - 1] == '\r')
            --end;
        lines.push_back({pos, end, next, contents.mid(pos, end - pos)});
        pos = next;
    }
    return lines;
}

bool SameName(const QByteArray& raw, const QString& name)
{
    return QString::fromUtf8(raw.trimmed()).compare(name.trimmed(), Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QByteArray> SectionName(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    return close < 0 ? t.mid(1) : t.mid(1, close - 1);
}

bool IsComment(const QByteArray& line)
{
    const QByteArray t = line.trimmed();
    return t.startsWith(';') || t.startsWith('#');
}

struct Located {
    std::optional<size_t> sectionLine;   // index of the "[section]" line
    std::optional<size_t> keyLine;       // index of the "key=" line inside it
    size_t lastContentLine = 0;          // last non-blank line of the section
};

Located Locate(const std::vector<Line>& lines, const QString& section, const QString& key)
{
    Located found;
    bool inside = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArray& text = lines[i].text;
        if (auto name = SectionName(text)) {
            if (inside)
                break;
            if (SameName(*name, section)) {
                inside = true;
                found.sectionLine = i;
                found.lastContentLine = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!text.trimmed().isEmpty())
            found.lastContentLine = i;
        if (IsComment(text))
            continue;
        const qsizetype eq = text.indexOf('=');
        if (eq >= 0 && SameName(text.left(eq), key)) {
            found.keyLine = i;
            break;
        }
    }
    return found;
}

QByteArray LineBreakOf(const QByteArray& contents)
{
    const qsizetype nl = contents.indexOf('\n');
    if (nl < 0)
        return "\r\n";  // a new file gets the same bytes the Windows client writes
    return (nl > 0 && contents[nl - 1] == '\r') ? "\r\n" : "\n";
}

}  // namespace

QString ProfileLookup(const QByteArray& contents, const QString& section, const QString& key,
                      const QString& defaultValue)
{
    const std::vector<Line> lines = SplitLines(contents);
    const Located at = Locate(lines, section, key);
    QString value = defaultValue;
    if (at.keyLine) {
        const QByteArray& text = lines[*at.keyLine].text;
        value = QString::fromUtf8(text.mid(text.indexOf('=') + 1).trimmed());
    }
    return value.left(kProfileReadLimit);
}

QByteArray ProfileUpdate(const QByteArray& contents, const QString& section, const QString& key,
                         const QString& value)
{
    const std::vector<Line> lines = SplitLines(contents);
    const Located at = Locate(lines, section, key);
    const QByteArray br = LineBreakOf(contents);
    const QByteArray entry = key.trimmed().toUtf8() + '=' + value.toUtf8();

    QByteArray out = contents;
    if (at.keyLine) {
        const Line& l = lines[*at.keyLine];
        out.replace(l.begin, l.end - l.begin, entry);
    } else if (at.sectionLine) {
        const Line& l = lines[at.lastContentLine];
        if (l.next == l.end)  // the section's last line has no line break yet
            out.insert(l.end, br + entry + br);
        else
            out.insert(l.next, entry + br);
    } else {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += br;
        out += '[' + section.trimmed().toUtf8() + ']' + br + entry + br;
    }
    return out;
}

QString ReadProfileString(const QString& path, const QString& section, const QString& key,
                          const QString& defaultValue)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue.left(kProfileReadLimit);
    return ProfileLookup(file.readAll(), section, key, defaultValue);
}

bool WriteProfileString(const QString& path, const QString& section, const QString& key,
                        const QString& value)
{
    QByteArray contents;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        contents = existing.readAll();
        existing.close();
    }
    const QByteArray updated = ProfileUpdate(contents, section, key, value);
    if (existing.exists() && updated == contents)
        return true;
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target only when everything was written; it keeps the permissions.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    if (out.write(updated) != updated.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}
