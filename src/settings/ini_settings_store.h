#pragma once

#include "settings/settings_store.h"

#include <QString>

#include <map>
#include <utility>

namespace kelvora {

// One INI file per program title, <folder>/<title>.ini, in the layout QSettings
// writes, so files of earlier versions read unchanged.
//
// The file is only ever a regular file: a symbolic link is followed and kept,
// and anything else (a FIFO, a device, a folder) reads as empty and is never
// written over. Every get reads the file as it is now, so values another
// instance deleted are not served from memory. Values are kept verbatim,
// commas included. flush writes atomically (a crash leaves the old file or
// the new one), waits at most two seconds for the file's lock held by
// another process, and then writes anyway rather than lose the settings.
class IniSettingsStore final : public SettingsStore {
public:
    IniSettingsStore(const QString& folder, const QString& programTitle);

    QString get(const QString& section, const QString& key, const QString& fallback) override;
    void save(const QString& section, const QString& key, const QString& value) override;
    void deleteAll() override;
    void flush() override;

    QString fileName() const { return m_path; }

private:
    QString m_path;
    // Saved since the last flush, by section and key.
    std::map<std::pair<QString, QString>, QString> m_pending;
};

} // namespace kelvora
