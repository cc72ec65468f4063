// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_store.h"

#include <QString>

#include <map>
#include <optional>
#include <utility>

namespace kelvora {

// One INI file per program title, <folder>/<title>.ini, in the layout QSettings
// writes, so files of earlier versions read unchanged.
//
// The file is the user's: the store reads it as bytes and a save changes only
// the value of its own key (the last one, where a key or section appears
// twice, as it is the one read), adding a key at the end of its section or a
// section at the end of the file; every other byte, line ends included, stays
// as it was. A file that cannot be read whole (no permission, over 16 MiB,
// UTF-16 or binary) is never written over: the next write first moves it to
// "<title>.ini.unreadable" beside it. A file its user cannot write stays as
// it is. A symbolic link is followed and kept; anything else that is no
// regular file (a FIFO, a device, a folder) reads as empty and is never
// written over.
//
// A run with the administrator's rights on another user's folder takes every
// step with that user's rights and follows no link, so that it can do
// nothing in that folder the user could not, and nothing outside it.
//
// Every get reads the file as it is now, so values another instance deleted
// are not served from memory. flush writes atomically (a crash leaves the old
// file or the new one), keeps the file's mode, waits at most two seconds for
// the lock another writer holds and then writes anyway; what could not be
// written stays pending for the next flush, and one line on stderr says why.
class IniSettingsStore final : public SettingsStore {
public:
    // Touches no file: the first get, save or takeover does.
    IniSettingsStore(const QString& folder, const QString& programTitle,
                     const QString& earlierFolder = {});

    QString get(const QString& section, const QString& key, const QString& fallback) override;
    void save(const QString& section, const QString& key, const QString& value) override;
    // Removes the file, and the program's one at the earlier place; a file
    // that could not be read is moved aside instead.
    void deleteAll() override;
    void flush() override;

    // Settings kept at the earlier place move into the folder at the first
    // start that finds none there: the whole file, sections the program does
    // not know included, byte for byte. A file there that could not be read,
    // or holds none of the program's sections, stays where it is.
    void takeOverEarlierFile();

private:
    // Applies `change` to the file under its lock and writes it back; why
    // nothing was written, when it was not.
    template <typename Change> std::optional<QString> rewrite(Change change) const;

    QString m_folder;
    QString m_earlierFolder;
    QString m_title;
    QString m_name;
    // Saved since the last successful flush, by section and key.
    std::map<std::pair<QString, QString>, QString> m_pending;
};

} // namespace kelvora
