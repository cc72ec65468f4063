#include "settings/ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <algorithm>
#include <iterator>
#include <vector>

namespace kelvora {

namespace {

constexpr int kLockWaitMs = 2000;
// A settings file is a few hundred bytes; a larger one is not ours to parse.
constexpr qint64 kLargestFile = 1024 * 1024;

struct Entry {
    QString key;
    QString value;
};

struct Section {
    QString name;
    std::vector<Entry> entries;
};

using Contents = std::vector<Section>;

// The file the store reads and writes: the path itself, or where its
// symbolic link points, so that the link stays a link.
QString targetOf(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() ? info.symLinkTarget() : path;
}

// Whether the target may be read and replaced: a regular file, or nothing
// yet. Opening a FIFO would block the program; replacing a device node or a
// folder would destroy it.
bool isRegularOrAbsent(const QString& target) {
    const QFileInfo info(target);
    return !info.exists() || info.isFile();
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

Contents parse(const QString& text) {
    Contents contents;
    for (const QStringView rawLine : QStringView(text).split(u'\n')) {
        const QStringView line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            contents.push_back({line.sliced(1, line.size() - 2).toString(), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0 || contents.empty()) {
            continue;
        }
        const QStringView value = line.sliced(equals + 1).trimmed();
        const bool quoted = value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
        contents.back().entries.push_back(
            {line.first(equals).trimmed().toString(), quoted ? unquoted(value) : value.toString()});
    }
    return contents;
}

Contents read(const QString& path) {
    const QString target = targetOf(path);
    if (!QFileInfo(target).isFile()) {
        return {};
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestFile) {
        return {};
    }
    return parse(QString::fromUtf8(file.readAll()));
}

QByteArray serialize(const Contents& contents) {
    QString text;
    for (const Section& section : contents) {
        if (section.entries.empty()) {
            continue;
        }
        if (!text.isEmpty()) {
            text += u'\n';
        }
        text += u'[' + section.name + QStringLiteral("]\n");
        for (const Entry& entry : section.entries) {
            text += entry.key + u'=' + quotedIfNeeded(entry.value) + u'\n';
        }
    }
    return text.toUtf8();
}

void set(Contents& contents, const QString& sectionName, const QString& key, const QString& value) {
    auto section = std::find_if(contents.begin(), contents.end(),
                                [&](const Section& s) { return s.name == sectionName; });
    if (section == contents.end()) {
        contents.push_back({sectionName, {}});
        section = std::prev(contents.end());
    }
    for (Entry& entry : section->entries) {
        if (entry.key == key) {
            entry.value = value;
            return;
        }
    }
    section->entries.push_back({key, value});
}

// Replaces the file with what `compose` makes, under the file's lock, when
// the file may be replaced at all.
template <typename Compose> void rewrite(const QString& path, Compose compose) {
    const QString target = targetOf(path);
    if (!isRegularOrAbsent(target)) {
        return;
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    // Another process writing the same file at this moment is rare; a lock
    // that cannot be had in time (a stale one nobody can verify, or a folder
    // in its place) must not keep the program from ending.
    QLockFile lock(target + QStringLiteral(".lock"));
    lock.tryLock(kLockWaitMs);

    // QSaveFile renames its copy into place even when the data never reached
    // it (a full disk): only a copy that was flushed whole replaces the file.
    QSaveFile file(target);
    const QByteArray bytes = serialize(compose());
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()) {
        file.commit();
    } else {
        file.cancelWriting();
    }
}

} // namespace

IniSettingsStore::IniSettingsStore(const QString& folder, const QString& programTitle)
    : m_path(QDir(folder).filePath(programTitle + QStringLiteral(".ini"))) {}

QString IniSettingsStore::get(const QString& section, const QString& key, const QString& fallback) {
    if (const auto saved = m_pending.find({section, key}); saved != m_pending.end()) {
        return saved->second;
    }
    for (const Section& stored : read(m_path)) {
        if (stored.name != section) {
            continue;
        }
        for (const Entry& entry : stored.entries) {
            if (entry.key == key) {
                return entry.value;
            }
        }
    }
    return fallback;
}

void IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    m_pending[{section, key}] = value;
}

void IniSettingsStore::deleteAll() {
    m_pending.clear();
    rewrite(m_path, [] { return Contents{}; });
}

void IniSettingsStore::flush() {
    if (m_pending.empty()) {
        return;
    }
    rewrite(m_path, [this] {
        Contents contents = read(m_path);
        for (const auto& [place, value] : m_pending) {
            set(contents, place.first, place.second, value);
        }
        return contents;
    });
    m_pending.clear();
}

} // namespace kelvora
