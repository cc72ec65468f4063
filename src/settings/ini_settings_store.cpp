// SPDX-License-Identifier: MIT
#include "settings/ini_settings_store.h"

#include "platform/user_files.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace kelvora {

namespace {

constexpr std::chrono::milliseconds kLockWait{2000};
// Settings files are a few hundred bytes, yet the earlier store read files of
// several MiB; beyond this a file is no settings file to parse, and is kept.
constexpr qint64 kLargestFile = 16 * 1024 * 1024;
// The sibling name a file that could not be read is kept under.
constexpr char16_t kAsideSuffix[] = u"unreadable";
constexpr QByteArrayView kUtf8Mark("\xEF\xBB\xBF");

// Text the store can edit line by line without changing a byte of the rest:
// any 8-bit encoding with ASCII line ends. UTF-16 (Notepad's "Unicode") and
// binary files are not.
bool isEditableText(const QByteArray& bytes) {
    return !bytes.contains('\0') && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF");
}

QString unquoted(QStringView value) {
    QString text;
    for (qsizetype i = 1; i + 1 < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 2 >= value.size()) {
            text += c;
            continue;
        }
        const QChar escaped = value[++i];
        switch (escaped.unicode()) {
        case u'n':
            text += u'\n';
            break;
        case u'r':
            text += u'\r';
            break;
        case u't':
            text += u'\t';
            break;
        default:
            text += escaped;
            break;
        }
    }
    return text;
}

// A value is written bare unless blanks at its ends, a quote at its start or
// a line break would change it when read back; then it is quoted as QSettings
// quotes it.
QString quotedIfNeeded(const QString& value) {
    const bool bare = value == value.trimmed() && !value.startsWith(u'"') &&
                      !value.contains(u'\n') && !value.contains(u'\r');
    if (bare) {
        return value;
    }
    QString text = QStringLiteral("\"");
    for (const QChar c : value) {
        if (c == u'"' || c == u'\\') {
            text += u'\\';
            text += c;
        } else if (c == u'\n') {
            text += QStringLiteral("\\n");
        } else if (c == u'\r') {
            text += QStringLiteral("\\r");
        } else {
            text += c;
        }
    }
    return text + u'"';
}

QString decodedValue(QByteArrayView raw) {
    const QString value = QString::fromUtf8(raw.trimmed());
    const bool quoted = value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
    return quoted ? unquoted(value) : value;
}

// One line of the file: its text is [begin, end), the next line starts at
// `next`, so the line end ("\n", "\r\n" or a lone "\r") lies between.
struct Line {
    qsizetype begin;
    qsizetype end;
    qsizetype next;
};

enum class LineKind { Blank, Section, Key, Other };

struct ParsedLine {
    LineKind kind;
    // The section's or the key's name.
    QByteArrayView name;
    // Of a key: where its value starts, after "=" and any blanks.
    qsizetype valueBegin;
};

// The file as the bytes it holds. Lines are found afresh on each use, so an
// edit never has to keep anything else in step.
class IniText {
public:
    explicit IniText(QByteArray bytes) : m_bytes(std::move(bytes)) {}

    // The raw value of the key's last line in the section (a later line
    // overrides an earlier one, in a repeated section too).
    std::optional<QByteArrayView> value(QByteArrayView section, QByteArrayView key) const {
        std::optional<QByteArrayView> found;
        bool inSection = false;
        forEachLine([&](const Line& line, const ParsedLine& parsed) {
            if (parsed.kind == LineKind::Section) {
                inSection = parsed.name == section;
            } else if (inSection && parsed.kind == LineKind::Key && parsed.name == key) {
                found = view(parsed.valueBegin, line.end);
            }
        });
        return found;
    }

    // Replaces the value of the line `value` reads, or adds the key at the
    // end of the section's last appearance, or the section at the end.
    void set(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
        std::optional<Line> keyLine;
        qsizetype keyValueBegin = 0;
        std::optional<qsizetype> sectionEnd;
        bool inSection = false;
        bool endsBlank = true;
        forEachLine([&](const Line& line, const ParsedLine& parsed) {
            if (parsed.kind == LineKind::Section) {
                inSection = parsed.name == section;
            }
            // A new key goes after the section's last line that holds
            // anything, before the blank lines that part it from the next.
            if (inSection && parsed.kind != LineKind::Blank) {
                sectionEnd = line.next;
            }
            if (inSection && parsed.kind == LineKind::Key && parsed.name == key) {
                keyLine = line;
                keyValueBegin = parsed.valueBegin;
            }
            endsBlank = parsed.kind == LineKind::Blank;
        });
        if (keyLine) {
            m_bytes.replace(keyValueBegin, keyLine->end - keyValueBegin, value);
            return;
        }
        const QByteArray end = lineEnd();
        const qsizetype at = sectionEnd.value_or(m_bytes.size());
        QByteArray added;
        if (at > 0 && m_bytes[at - 1] != '\n' && m_bytes[at - 1] != '\r') {
            added += end;
        }
        if (!sectionEnd) {
            if (!endsBlank) {
                added += end;
            }
            added += '[' + section.toByteArray() + ']' + end;
        }
        added += key.toByteArray() + '=' + value.toByteArray() + end;
        m_bytes.insert(at, added);
    }

    // Whether any section is one the program keeps its keys in: a file
    // without one may be another program's of the same plain name.
    bool holdsProgramSection() const {
        bool found = false;
        forEachLine([&](const Line&, const ParsedLine& parsed) {
            found = found || (parsed.kind == LineKind::Section &&
                              std::any_of(kKeyTable.begin(), kKeyTable.end(),
                                          [&](const KeyDefinition& definition) {
                                              return parsed.name == definition.section;
                                          }));
        });
        return found;
    }

    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArrayView view(qsizetype begin, qsizetype end) const {
        return QByteArrayView(m_bytes.constData() + begin, end - begin);
    }

    template <typename Visit> void forEachLine(Visit visit) const {
        const char* bytes = m_bytes.constData();
        const qsizetype size = m_bytes.size();
        qsizetype begin = 0;
        while (begin < size) {
            qsizetype end = begin;
            while (end < size && bytes[end] != '\n' && bytes[end] != '\r') {
                ++end;
            }
            qsizetype next = end;
            if (next < size) {
                const bool crlf = bytes[next] == '\r' && next + 1 < size && bytes[next + 1] == '\n';
                next += crlf ? 2 : 1;
            }
            const Line line{begin, end, next};
            visit(line, parse(line));
            begin = next;
        }
    }

    ParsedLine parse(const Line& line) const {
        QByteArrayView text = view(line.begin, line.end);
        if (line.begin == 0 && text.startsWith(kUtf8Mark)) {
            text = text.sliced(kUtf8Mark.size());
        }
        const QByteArrayView trimmed = text.trimmed();
        if (trimmed.isEmpty()) {
            return {LineKind::Blank, {}, 0};
        }
        if (trimmed.front() == '[') {
            // QSettings reads "[Section] ; note" as the section "Section".
            const qsizetype closing = trimmed.indexOf(']');
            if (closing > 0) {
                return {LineKind::Section, trimmed.sliced(1, closing - 1), 0};
            }
            return {LineKind::Other, {}, 0};
        }
        const qsizetype equals = text.indexOf('=');
        if (trimmed.front() == ';' || trimmed.front() == '#' || equals < 0) {
            return {LineKind::Other, {}, 0};
        }
        const QByteArrayView key = text.first(equals).trimmed();
        if (key.isEmpty()) {
            return {LineKind::Other, {}, 0};
        }
        qsizetype valueBegin = (text.data() - m_bytes.constData()) + equals + 1;
        while (valueBegin < line.end &&
               (m_bytes[valueBegin] == ' ' || m_bytes[valueBegin] == '\t')) {
            ++valueBegin;
        }
        return {LineKind::Key, key, valueBegin};
    }

    // New lines end as the file's first line does, so a file with CRLF or
    // CR line ends keeps one kind.
    QByteArray lineEnd() const {
        const qsizetype at = m_bytes.indexOf('\n');
        const qsizetype cr = m_bytes.indexOf('\r');
        if (cr >= 0 && (at < 0 || cr < at)) {
            return cr + 1 == at ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\r");
        }
        return QByteArrayLiteral("\n");
    }

    QByteArray m_bytes;
};

// The file's text when it is one the store can use.
std::optional<IniText> readText(const QString& target) {
    FileContents contents = readUserFile(target, kLargestFile);
    if (contents.status != FileStatus::Read || !isEditableText(contents.bytes)) {
        return std::nullopt;
    }
    return IniText(std::move(contents.bytes));
}

// A file the store cannot use: one it could not read whole, or not text.
bool isUnusable(const FileContents& contents) {
    return contents.status == FileStatus::Unreadable ||
           (contents.status == FileStatus::Read && !isEditableText(contents.bytes));
}

// Applies `change` to the file under its lock and writes it back; false when
// nothing was written.
template <typename Change> bool rewrite(const QString& path, Change change) {
    if (path.isEmpty()) {
        return false;
    }
    const QString target = linkTarget(path);
    if (!makeUserFolders(QFileInfo(target).path())) {
        return false;
    }
    // Another process writing the same file at this moment is rare; a lock
    // that cannot be had in time, or is no regular file, must not keep the
    // program from ending.
    const FileLock lock(target + QStringLiteral(".lock"), kLockWait);
    FileContents contents = readUserFile(target, kLargestFile);
    if (contents.status == FileStatus::NotAFile || contents.status == FileStatus::Failed) {
        return false;
    }
    // A file the store cannot use is the user's still: it goes aside before
    // any write takes its place, and is never lost.
    if (isUnusable(contents)) {
        if (!moveAside(target, QString::fromUtf16(kAsideSuffix))) {
            return false;
        }
        contents.bytes.clear();
    }
    IniText text(std::move(contents.bytes));
    change(text);
    return replaceUserFile(target, text.bytes());
}

// Empties what `path` holds: the file goes, or through a link only its
// contents; a file that could not be read goes aside.
void emptyFile(const QString& path) {
    const QString target = linkTarget(path);
    const FileContents contents = readUserFile(target, kLargestFile);
    if (isUnusable(contents)) {
        moveAside(target, QString::fromUtf16(kAsideSuffix));
        return;
    }
    if (contents.status != FileStatus::Read) {
        return;
    }
    if (target != path) {
        replaceUserFile(target, {});
    } else {
        removeUserFile(target);
    }
}

} // namespace

IniSettingsStore::IniSettingsStore(const QString& folder, const QString& programTitle,
                                   const QString& earlierFolder) {
    const QString name = programTitle + QStringLiteral(".ini");
    if (!folder.isEmpty()) {
        m_path = QDir(folder).filePath(name);
    }
    if (!earlierFolder.isEmpty()) {
        m_earlierPath = QDir(earlierFolder).filePath(name);
    }
    takeOverEarlierFile();
}

// Settings kept at the earlier place move into the folder at the first start
// that finds none there: the whole file, sections the program does not know
// included. A file there that could not be read, or holds none of the
// program's sections, stays where it is.
void IniSettingsStore::takeOverEarlierFile() {
    if (m_path.isEmpty() || m_earlierPath.isEmpty()) {
        return;
    }
    const QString target = linkTarget(m_path);
    if (readUserFile(target, kLargestFile).status != FileStatus::Missing) {
        return;
    }
    const QString earlierTarget = linkTarget(m_earlierPath);
    const std::optional<IniText> earlier = readText(earlierTarget);
    if (!earlier || !earlier->holdsProgramSection() || !makeUserFolders(QFileInfo(target).path())) {
        return;
    }
    // Two starts at once take the file over once.
    const FileLock lock(target + QStringLiteral(".lock"), kLockWait);
    if (readUserFile(target, kLargestFile).status == FileStatus::Missing &&
        replaceUserFile(target, earlier->bytes(), earlierTarget)) {
        removeUserFile(m_earlierPath);
    }
}

QString IniSettingsStore::get(const QString& section, const QString& key, const QString& fallback) {
    if (const auto saved = m_pending.find({section, key}); saved != m_pending.end()) {
        return saved->second;
    }
    if (m_path.isEmpty()) {
        return fallback;
    }
    const std::optional<IniText> text = readText(linkTarget(m_path));
    if (!text) {
        return fallback;
    }
    const std::optional<QByteArrayView> value = text->value(section.toUtf8(), key.toUtf8());
    return value ? decodedValue(*value) : fallback;
}

void IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    m_pending[{section, key}] = value;
}

void IniSettingsStore::deleteAll() {
    m_pending.clear();
    if (!m_path.isEmpty()) {
        const FileLock lock(linkTarget(m_path) + QStringLiteral(".lock"), kLockWait);
        emptyFile(m_path);
    }
    // The earlier place never had a lock of this kind, and only a file there
    // that the takeover would have taken is the program's to remove.
    if (!m_earlierPath.isEmpty()) {
        const std::optional<IniText> earlier = readText(linkTarget(m_earlierPath));
        if (earlier && earlier->holdsProgramSection()) {
            removeUserFile(m_earlierPath);
        }
    }
}

void IniSettingsStore::flush() {
    if (m_pending.empty()) {
        return;
    }
    const bool written = rewrite(m_path, [this](IniText& text) {
        for (const auto& [place, value] : m_pending) {
            text.set(place.first.toUtf8(), place.second.toUtf8(), quotedIfNeeded(value).toUtf8());
        }
    });
    // What a full disk kept out goes with the next write that succeeds.
    if (written) {
        m_pending.clear();
    }
}

} // namespace kelvora
