#pragma once

#include "settings/settings_store.h"

#include <QSettings>

namespace kelvora {

// One INI file per program title in the user's configuration directory
// ($XDG_CONFIG_HOME/<title>.ini).
class IniSettingsStore final : public SettingsStore {
public:
    explicit IniSettingsStore(const QString& programTitle);

    QString get(const QString& section, const QString& key, const QString& fallback) override;
    void save(const QString& section, const QString& key, const QString& value) override;
    void deleteAll() override;
    void flush() override;

    QString fileName() const { return m_settings.fileName(); }

private:
    QSettings m_settings;
};

} // namespace kelvora
