#include "profiles/core/ProfileDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <vector>

#include "platform/core/DataFolders.h"
#include "platform/core/Errors.h"
#include "platform/core/Paths.h"

namespace {

// The longest value a lookup gives back, as the desktop's reader fills a 2048-character buffer.
constexpr qsizetype kMaxValueLength = 2047;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsBlankOrTab(char c) {
    return c == ' ' || c == '\t';
}

// A section name as given by a caller, without blanks and tabs around it.
QString SectionNameOf(const QString& section) {
    qsizetype begin = 0;
    qsizetype end = section.size();
    while (begin < end && (section[begin] == QChar(' ') || section[begin] == QChar('\t')))
        ++begin;
    while (end > begin && (section[end - 1] == QChar(' ') || section[end - 1] == QChar('\t')))
        --end;
    return section.mid(begin, end - begin);
}

QString Decode(const char* begin, const char* end) {
    return QString::fromLocal8Bit(begin, end - begin);
}

QByteArray Encode(const QString& text) {
    return text.toLocal8Bit();
}

// One line of the file as byte offsets: [begin, end) is its text, [end, next) its line break.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

// Splits the file into lines; "\r\n", "\n" and a lone "\r" each end a line.
std::vector<Line> SplitLines(const QByteArray& data) {
    std::vector<Line> lines;
    const char* p = data.constData();
    const qsizetype size = data.size();
    // A byte-order mark that an editor may have put in front is not part of the first line.
    qsizetype pos = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < size) {
        Line line;
        line.begin = pos;
        qsizetype i = pos;
        while (i < size && p[i] != '\n' && p[i] != '\r')
            ++i;
        line.end = i;
        if (i < size && p[i] == '\r' && i + 1 < size && p[i + 1] == '\n') {
            i += 2;
        } else if (i < size) {
            ++i;
        }
        line.next = i;
        lines.push_back(line);
        pos = i;
    }
    return lines;
}

// The text of a line without the blanks around it.
void Trimmed(const QByteArray& data, const Line& line, const char*& begin, const char*& end) {
    begin = data.constData() + line.begin;
    end = data.constData() + line.end;
    while (begin < end && IsBlank(*begin))
        ++begin;
    while (end > begin && IsBlank(end[-1]))
        --end;
}

// When the line is a section line ("[name]"), its name.
bool SectionName(const QByteArray& data, const Line& line, QString& name) {
    const char* begin;
    const char* end;
    Trimmed(data, line, begin, end);
    if (begin == end || *begin != '[')
        return false;
    const char* close = end;
    while (close > begin && close[-1] != ']')
        --close;
    if (close == begin)
        return false;  // no closing bracket: not a section line
    // Blanks and tabs inside the brackets are not part of the name: "[ MP4 ]" is "MP4".
    const char* nameBegin = begin + 1;
    const char* nameEnd = close - 1;
    while (nameBegin < nameEnd && IsBlankOrTab(*nameBegin))
        ++nameBegin;
    while (nameEnd > nameBegin && IsBlankOrTab(nameEnd[-1]))
        --nameEnd;
    name = Decode(nameBegin, nameEnd);
    return true;
}

// When the line is a key line ("key = value"), where its key and its value lie.
bool KeyLine(const QByteArray& data, const Line& line, const char*& keyBegin, const char*& keyEnd,
             const char*& valueBegin, const char*& valueEnd) {
    const char* begin;
    const char* end;
    Trimmed(data, line, begin, end);
    if (begin == end || *begin == '[')
        return false;
    const char* equals = static_cast<const char*>(memchr(begin, '=', end - begin));
    if (!equals)
        return false;
    keyBegin = begin;
    keyEnd = equals;
    while (keyEnd > keyBegin && IsBlank(keyEnd[-1]))
        --keyEnd;
    if (keyEnd == keyBegin)
        return false;
    valueBegin = equals + 1;
    valueEnd = end;
    while (valueBegin < valueEnd && IsBlank(*valueBegin))
        ++valueBegin;
    return true;
}

bool SameName(const char* begin, const char* end, const QString& name) {
    // A quick length check first: the decoded name can only be equal when the bytes are not
    // far longer than the name (a 10 MB line never needs decoding).
    if (end - begin > name.size() * 4 + 4)
        return false;
    return Decode(begin, end).compare(name, Qt::CaseInsensitive) == 0;
}

// Where a section and a key were found in the file: line numbers, -1 when absent.
struct Location {
    int sectionLine = -1;      // the first section line of that name
    int keyLine = -1;          // the first line of that key within the section
    int lastContentLine = -1;  // the last non-blank line of the section (its header at least)
};

Location Find(const QByteArray& data, const std::vector<Line>& lines, const QString& section,
              const QString& key) {
    Location found;
    bool inSection = false;
    for (int i = 0; i < int(lines.size()); ++i) {
        QString name;
        if (SectionName(data, lines[i], name)) {
            // The first section of that name counts; a later one of the same name is not read.
            if (inSection)
                break;
            if (found.sectionLine < 0 && name.compare(section, Qt::CaseInsensitive) == 0) {
                found.sectionLine = i;
                found.lastContentLine = i;
                inSection = true;
            }
            continue;
        }
        if (!inSection)
            continue;
        const char* b;
        const char* e;
        Trimmed(data, lines[i], b, e);
        if (b != e)
            found.lastContentLine = i;
        const char *keyBegin, *keyEnd, *valueBegin, *valueEnd;
        if (found.keyLine < 0 && KeyLine(data, lines[i], keyBegin, keyEnd, valueBegin, valueEnd) &&
            SameName(keyBegin, keyEnd, key)) {
            found.keyLine = i;
        }
    }
    return found;
}

// The whole file, or nothing when it cannot be read (missing, a folder, no permission).
bool ReadWholeFile(const QString& path, QByteArray& data) {
    QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    data = file.readAll();
    return file.error() == QFile::NoError;
}

// The line break the file already uses; CRLF for a file without one, as the desktop writes
// it, so that a catalog made here reads the same everywhere.
QByteArray LineBreakOf(const QByteArray& data, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (line.next > line.end)
            return data.mid(line.end, line.next - line.end);
    }
    return "\r\n";
}

// The value of a key line as the reader gives it: one pair of matching quotes around it
// removed, cut to the longest value; the empty and "0" rule is applied by the caller.
QString StoredValue(const QByteArray& data, const Line& line) {
    const char *keyBegin, *keyEnd, *valueBegin, *valueEnd;
    KeyLine(data, line, keyBegin, keyEnd, valueBegin, valueEnd);
    if (valueEnd - valueBegin >= 2 && (*valueBegin == '"' || *valueBegin == '\'') &&
        valueEnd[-1] == *valueBegin) {
        ++valueBegin;
        --valueEnd;
    }
    // Never decode more than the reader gives back (plus room for multi-byte characters).
    const qsizetype maxBytes = kMaxValueLength * 4;
    if (valueEnd - valueBegin > maxBytes)
        valueEnd = valueBegin + maxBytes;
    return Decode(valueBegin, valueEnd).left(kMaxValueLength);
}

QString ValueOrDefault(const QString& value, const QString& def) {
    return value.isEmpty() || value == QLatin1String("0") ? def : value;
}

// Without any write permission a file or folder counts as read-only, also for a user whom the
// system would let write anyway (the administrator), as the read-only attribute does.
bool ReadOnly(const QFileInfo& info) {
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !info.isWritable() || !(info.permissions() & anyWrite);
}

bool HasLineBreak(const QString& text) {
    return text.contains(QChar('\n')) || text.contains(QChar('\r'));
}

}  // namespace

QString ReadIniValue(const QString& path, const QString& sectionName, const QString& key,
                     const QString& def) {
    const QString section = SectionNameOf(sectionName);
    if (section.isEmpty() || key.isEmpty())
        return def;
    QByteArray data;
    if (!ReadWholeFile(path, data))
        return def;
    const std::vector<Line> lines = SplitLines(data);
    const Location found = Find(data, lines, section, key);
    if (found.keyLine < 0)
        return def;
    return ValueOrDefault(StoredValue(data, lines[found.keyLine]), def);
}

QString ProfileSection::Value(const QString& key, const QString& def) const {
    const auto found = values_.constFind(key.toCaseFolded());
    return found == values_.constEnd() ? def : ValueOrDefault(*found, def);
}

ProfileSection ReadIniSection(const QString& path, const QString& sectionName) {
    ProfileSection result;
    const QString section = SectionNameOf(sectionName);
    QByteArray data;
    if (section.isEmpty() || !ReadWholeFile(path, data))
        return result;
    const std::vector<Line> lines = SplitLines(data);
    bool inSection = false;
    for (const Line& line : lines) {
        QString name;
        if (SectionName(data, line, name)) {
            // The first section of that name counts, up to the next section line.
            if (inSection)
                break;
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const char *keyBegin, *keyEnd, *valueBegin, *valueEnd;
        if (!inSection || !KeyLine(data, line, keyBegin, keyEnd, valueBegin, valueEnd))
            continue;
        // The first occurrence of a key counts.
        const QString key = Decode(keyBegin, keyEnd).toCaseFolded();
        if (!result.values_.contains(key))
            result.values_.insert(key, StoredValue(data, line));
    }
    return result;
}

ProfileSection ReadProfileSection(const QString& section) {
    return ReadIniSection(ProfileDatabasePath(), section);
}

void WriteIniValue(const QString& path, const QString& sectionName, const QString& key,
                   const QString& value) {
    const QString section = SectionNameOf(sectionName);
    // A line break inside a name or value would split the line and damage the file's structure.
    if (section.isEmpty() || key.isEmpty() || HasLineBreak(section) || HasLineBreak(key) ||
        HasLineBreak(value) || key.contains(QChar('=')) || section.contains(QChar(']'))) {
        throw EWriteError::UnableToWrite(path);
    }
    QFileInfo info(path);
    QByteArray data;
    if (info.exists()) {
        // A read-only database stays as it is, and a file that cannot be read must not be
        // replaced by one holding only the new key.
        if (info.isDir() || ReadOnly(info) || !ReadWholeFile(path, data)) {
            throw EWriteError::UnableToWrite(path);
        }
    }
    // The new file is made beside the old one, so its folder must take new files.
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir() || ReadOnly(folder))
        throw EWriteError::UnableToWrite(path);

    const std::vector<Line> lines = SplitLines(data);
    const QByteArray lineBreak = LineBreakOf(data, lines);
    const Location found = Find(data, lines, section, key);
    QByteArray result;
    if (found.keyLine >= 0) {
        // The key keeps its place and its spelling; only the value changes.
        const Line& line = lines[found.keyLine];
        const char *keyBegin, *keyEnd, *valueBegin, *valueEnd;
        KeyLine(data, line, keyBegin, keyEnd, valueBegin, valueEnd);
        result.reserve(data.size() + value.size() + 16);
        result.append(data.constData(), line.begin);
        result.append(keyBegin, keyEnd - keyBegin);
        result.append('=');
        result.append(Encode(value));
        result.append(data.constData() + line.end, data.size() - line.end);
    } else if (found.sectionLine >= 0) {
        // A new key goes after the last line of its section that is not blank.
        const Line& last = lines[found.lastContentLine];
        result.append(data.constData(), last.end);
        if (last.next > last.end) {
            result.append(data.constData() + last.end, last.next - last.end);
        } else {
            result.append(lineBreak);
        }
        result.append(Encode(key) + '=' + Encode(value) + lineBreak);
        result.append(data.constData() + last.next, data.size() - last.next);
    } else {
        result = data;
        if (!result.isEmpty() && !result.endsWith('\n') && !result.endsWith('\r')) {
            result.append(lineBreak);
        }
        result.append('[' + Encode(section) + ']' + lineBreak);
        result.append(Encode(key) + '=' + Encode(value) + lineBreak);
    }

    // The new content goes to a temporary file beside the database that then replaces it, so
    // a full disk or a crash never leaves a truncated database behind.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(result) != result.size() || !file.commit()) {
        throw EWriteError::UnableToWrite(path);
    }
}

namespace {

const QString kDatabaseName = QStringLiteral("KivoMp4.dll");

// The digest of a file's bytes; empty when it cannot be read.
QByteArray Digest(const QString& path) {
    QByteArray data;
    if (!ReadWholeFile(path, data))
        return QByteArray();
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256);
}

// Writes a whole copy of `from` at `to` through a temporary file, so `to` is never half written.
bool CopyWhole(const QString& from, const QString& to) {
    QByteArray data;
    if (!ReadWholeFile(from, data))
        return false;
    QSaveFile file(to);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

}  // namespace

CatalogPlacement PlaceCatalogCopy(const QString& installed, const QString& copy,
                                  const QString& stamp) {
    if (!QFileInfo::exists(copy)) {
        if (!QDir().mkpath(QFileInfo(copy).absolutePath()) || !CopyWhole(installed, copy))
            return CatalogPlacement::Failed;
        CopyWhole(installed, stamp);
        return CatalogPlacement::Copied;
    }
    // Without a record of its origin the copy cannot be told unchanged: it is kept.
    const QByteArray stampDigest = Digest(stamp);
    const QByteArray installedDigest = Digest(installed);
    if (stampDigest.isEmpty() || installedDigest.isEmpty() || installedDigest == stampDigest ||
        Digest(copy) != stampDigest) {
        return CatalogPlacement::Kept;
    }
    if (!CopyWhole(installed, copy))
        return CatalogPlacement::Kept;
    CopyWhole(installed, stamp);
    return CatalogPlacement::Replaced;
}

QString InstalledDatabasePath() {
    return platform::ExeFolder() + kDatabaseName;
}

CatalogPlacement PrepareProfileDatabase() {
    if (!platform::PerUserData())
        return CatalogPlacement::Kept;
    const QString copy = platform::UserConfigFolder() + kDatabaseName;
    return PlaceCatalogCopy(InstalledDatabasePath(), copy, copy + QStringLiteral(".shipped"));
}

QString ProfileDatabasePath() {
    if (!platform::PerUserData())
        return InstalledDatabasePath();
    const QString copy = platform::UserConfigFolder() + kDatabaseName;
    if (QFileInfo::exists(copy) || PrepareProfileDatabase() != CatalogPlacement::Failed)
        return copy;
    return InstalledDatabasePath();
}

QString ReadProfileValue(const QString& section, const QString& key, const QString& def) {
    return ReadIniValue(ProfileDatabasePath(), section, key, def);
}

void WriteProfileValue(const QString& section, const QString& key, const QString& value) {
    WriteIniValue(ProfileDatabasePath(), section, key, value);
}

QStringList SplitCommaText(const QString& value) {
    QStringList fields;
    // A NUL character ends the text, as it ends the character string the rule comes from.
    const qsizetype nul = value.indexOf(QChar(0));
    const QString text = nul < 0 ? value : value.left(nul);
    const qsizetype size = text.size();
    auto isBlank = [&](qsizetype i) {
        return i < size && text[i].unicode() >= 1 && text[i].unicode() <= 32;
    };

    qsizetype p = 0;
    while (isBlank(p))
        ++p;
    while (p < size) {
        QString field;
        if (text[p] == QChar('"')) {
            // Quoted: up to the matching closing quote, "" standing for one quote.
            ++p;
            while (p < size) {
                if (text[p] == QChar('"')) {
                    if (p + 1 < size && text[p + 1] == QChar('"')) {
                        field += QChar('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field += text[p++];
            }
        } else {
            const qsizetype start = p;
            while (p < size && text[p].unicode() > 32 && text[p] != QChar(','))
                ++p;
            field = text.mid(start, p - start);
        }
        fields.append(field);
        while (isBlank(p))
            ++p;
        if (p < size && text[p] == QChar(',')) {
            if (p + 1 == size)
                fields.append(QString());
            do {
                ++p;
            } while (isBlank(p));
        }
    }
    return fields;
}
