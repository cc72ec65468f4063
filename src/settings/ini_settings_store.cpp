// SPDX-License-Identifier: MIT
#include "settings/ini_settings_store.h"

#include "parsing/ini_text.h"
#include "process/file_identity.h"
#include "process/user_files.h"
#include "settings/settings_keys.h"

#include <QByteArrayView>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace kelvora {

namespace {

constexpr std::chrono::milliseconds kLockWait{2000};
// Settings files are a few hundred bytes, yet the earlier store read files of
// several MiB; beyond this a file is no settings file to parse, and is kept.
constexpr qint64 kLargestFile = 16 * 1024 * 1024;
// The sibling name a file that could not be read is kept under.
constexpr char16_t kAsideSuffix[] = u"unreadable";
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

// Where the program keeps its keys: a file without any of these sections
// may be another program's of the same plain name.
bool holdsProgramSection(const IniText& text) {
    std::vector<std::string_view> sections;
    for (const KeyDefinition& definition : kKeyTable) {
        sections.emplace_back(definition.section);
    }
    return text.holdsAnySection(sections);
}

std::string_view viewOf(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

// The file's text when it is one the store can use.
std::optional<IniText> textOf(const FileContents& contents) {
    if (contents.status != FileStatus::Read || !isEditableText(viewOf(contents.bytes))) {
        return std::nullopt;
    }
    return IniText(contents.bytes.toStdString(), viewOf(lineEndOfNewFiles()));
}

// A file the store cannot use: one it could not read whole, or not text.
bool isUnusable(const FileContents& contents) {
    return contents.status == FileStatus::Unreadable ||
           (contents.status == FileStatus::Read && !isEditableText(viewOf(contents.bytes)));
}

QString lockName(const QString& name) {
    return name + QStringLiteral(".lock");
}

// Where one step finds the file: the folder it is in, held open, and its
// name there.
struct Place {
    UserFolder folder;
    QString name;
    // The user's own link led here from the file's usual name.
    bool throughLink = false;

    QString path() const { return QDir(folder.path()).filePath(name); }
};

// The user's own links are followed, as the user's programs follow them (a
// settings file kept with the user's other dotfiles). A run with the
// administrator's rights follows none: a link there is the user's way to
// lead it out of the folder.
Place placeOf(const QString& folder, const QString& name, MakeFolder make) {
    if (hasAdministratorFileRights()) {
        return {UserFolder(folder, make, FolderLinks::Refuse), name, false};
    }
    const QString usual = QDir(folder).filePath(name);
    const QFileInfo target(linkTarget(usual));
    return {UserFolder(target.path(), make, FolderLinks::Follow), target.fileName(),
            target.filePath() != usual};
}

// A file at the earlier place is read wherever its links lead, with the
// rights the step is taken with; it is never written there.
FileContents earlierContents(const QString& folder, const QString& name) {
    const QFileInfo target(linkTarget(QDir(folder).filePath(name)));
    return UserFolder(target.path(), MakeFolder::Never, FolderLinks::Follow)
        .read(target.fileName(), kLargestFile);
}

// An administrator's run acts for the folder's owner only in a folder that
// owner holds, so that nothing is written into a folder someone else put in
// its way since the owner was looked up.
bool isHeldBy(const UserFolder& folder, const std::optional<FileOwner>& owner) {
    if (!hasAdministratorFileRights()) {
        return true;
    }
    const std::optional<FileOwner> holder = folder.owner();
    return holder && holder->user == (owner ? owner->user : 0);
}

} // namespace

IniSettingsStore::IniSettingsStore(const QString& folder, const QString& programTitle,
                                   const QString& earlierFolder)
    : m_folder(folder), m_earlierFolder(earlierFolder), m_title(programTitle),
      m_name(programTitle + QStringLiteral(".ini")) {}

void IniSettingsStore::takeOverEarlierFile() {
    if (m_folder.isEmpty() || m_earlierFolder.isEmpty()) {
        return;
    }
    const std::optional<FileOwner> owner = userOwning(m_folder);
    const FileIdentity identity(owner);
    if (!identity.held()) {
        return;
    }
    const Place existing = placeOf(m_folder, m_name, MakeFolder::Never);
    if (existing.folder.read(existing.name, kLargestFile).status != FileStatus::Missing) {
        return;
    }
    const FileContents earlier = earlierContents(m_earlierFolder, m_name);
    const std::optional<IniText> text = textOf(earlier);
    if (!text || !holdsProgramSection(*text)) {
        return;
    }
    const Place place = placeOf(m_folder, m_name, MakeFolder::IfMissing);
    if (!place.folder.isOpen() || !isHeldBy(place.folder, owner)) {
        return;
    }
    // Two starts at once take the file over once.
    const FileLock lock(place.folder, lockName(place.name), kLockWait);
    if (place.folder.read(place.name, kLargestFile).status == FileStatus::Missing &&
        place.folder.replace(place.name, QByteArray::fromStdString(text->bytes()),
                             earlier.attributes)) {
        UserFolder(m_earlierFolder, MakeFolder::Never, FolderLinks::Follow).remove(m_name);
    }
}

QString IniSettingsStore::get(const QString& section, const QString& key, const QString& fallback) {
    if (const auto saved = m_pending.find({section, key}); saved != m_pending.end()) {
        return saved->second;
    }
    if (m_folder.isEmpty()) {
        return fallback;
    }
    const FileIdentity identity(userOwning(m_folder));
    if (!identity.held()) {
        return fallback;
    }
    const Place place = placeOf(m_folder, m_name, MakeFolder::Never);
    const std::optional<IniText> text = textOf(place.folder.read(place.name, kLargestFile));
    if (!text) {
        return fallback;
    }
    const std::optional<std::string_view> value =
        text->value(viewOf(section.toUtf8()), viewOf(key.toUtf8()));
    return value
               ? decodedValue(QByteArrayView(value->data(), static_cast<qsizetype>(value->size())))
               : fallback;
}

void IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    m_pending[{section, key}] = value;
}

// Removing settings reports nothing: a file that stays is the user's choice
// (read-only, or no regular file) or a passing failure.
void IniSettingsStore::deleteAll() {
    m_pending.clear();
    if (m_folder.isEmpty()) {
        return;
    }
    const std::optional<FileOwner> owner = userOwning(m_folder);
    const FileIdentity identity(owner);
    if (!identity.held()) {
        return;
    }
    const Place place = placeOf(m_folder, m_name, MakeFolder::Never);
    if (place.folder.isOpen() && isHeldBy(place.folder, owner)) {
        const FileLock lock(place.folder, lockName(place.name), kLockWait);
        const FileContents contents = place.folder.read(place.name, kLargestFile);
        if (contents.status == FileStatus::NotAFile) {
            // A link goes itself, never what it names; a folder or a FIFO
            // stays.
            place.folder.remove(place.name);
        } else if (!place.folder.mayWrite(place.name)) {
            // Pinned read-only by its user.
        } else if (isUnusable(contents)) {
            place.folder.moveAside(place.name, QString::fromUtf16(kAsideSuffix));
        } else if (contents.status == FileStatus::Read && place.throughLink) {
            // The user's link stays, with nothing in it.
            place.folder.replace(place.name, {}, contents.attributes);
        } else if (contents.status == FileStatus::Read) {
            place.folder.remove(place.name);
        }
    }
    // Only a file there that the takeover would have taken is the program's
    // to remove; a link there goes itself, never what it names.
    if (!m_earlierFolder.isEmpty()) {
        const std::optional<IniText> earlier = textOf(earlierContents(m_earlierFolder, m_name));
        if (earlier && holdsProgramSection(*earlier)) {
            UserFolder(m_earlierFolder, MakeFolder::Never, FolderLinks::Follow).remove(m_name);
        }
    }
}

void IniSettingsStore::flush() {
    if (m_pending.empty()) {
        return;
    }
    const std::optional<QString> refusal = rewrite([this](IniText& text) {
        for (const auto& [place, value] : m_pending) {
            text.set(viewOf(place.first.toUtf8()), viewOf(place.second.toUtf8()),
                     viewOf(quotedIfNeeded(value).toUtf8()));
        }
    });
    // What a full disk kept out goes with the next write that succeeds.
    if (!refusal) {
        m_pending.clear();
        return;
    }
    std::fprintf(stderr, "%s: settings not stored: %s\n", qPrintable(m_title),
                 qPrintable(*refusal));
}

template <typename Change> std::optional<QString> IniSettingsStore::rewrite(Change change) const {
    if (m_folder.isEmpty()) {
        return QStringLiteral("the system names no settings folder");
    }
    const std::optional<FileOwner> owner = userOwning(m_folder);
    const FileIdentity identity(owner);
    if (!identity.held()) {
        return QStringLiteral("the rights of the owner of %1 could not be taken").arg(m_folder);
    }
    const Place place = placeOf(m_folder, m_name, MakeFolder::IfMissing);
    if (!place.folder.isOpen()) {
        return QStringLiteral("%1 cannot be made or opened").arg(place.folder.path());
    }
    if (!isHeldBy(place.folder, owner)) {
        return QStringLiteral("%1 is not the folder of the user it is written for")
            .arg(place.folder.path());
    }
    // Another process writing the same file at this moment is rare; a lock
    // that cannot be had in time, or is no regular file, must not keep the
    // program from ending.
    const FileLock lock(place.folder, lockName(place.name), kLockWait);
    FileContents contents = place.folder.read(place.name, kLargestFile);
    if (contents.status == FileStatus::NotAFile) {
        return QStringLiteral("%1 is no regular file").arg(place.path());
    }
    if (contents.status == FileStatus::Failed) {
        return QStringLiteral("%1 could not be read").arg(place.path());
    }
    if (!place.folder.mayWrite(place.name)) {
        return QStringLiteral("%1 is read-only").arg(place.path());
    }
    // A file the store cannot use is the user's still: it goes aside before
    // any write takes its place, and is never lost.
    if (isUnusable(contents)) {
        if (!place.folder.moveAside(place.name, QString::fromUtf16(kAsideSuffix))) {
            return QStringLiteral("%1 could not be read, nor moved aside").arg(place.path());
        }
        contents.bytes.clear();
    }
    IniText text(contents.bytes.toStdString(), viewOf(lineEndOfNewFiles()));
    change(text);
    // The next start would refuse a file past the limit and move it aside.
    if (static_cast<qint64>(text.bytes().size()) > kLargestFile) {
        return QStringLiteral("%1 would grow past %2 MiB")
            .arg(place.path())
            .arg(kLargestFile / (1024 * 1024));
    }
    if (!place.folder.replace(place.name, QByteArray::fromStdString(text.bytes()),
                              contents.attributes)) {
        return QStringLiteral("%1 could not be written").arg(place.path());
    }
    return std::nullopt;
}

} // namespace kelvora
