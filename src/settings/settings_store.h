// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_keys.h"

#include <QString>

#include <string>

namespace kelvora {

// The per-user store of text values, addressed by section and key. The
// application name is fixed when a store is made.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or `fallback` when the key does not exist.
    virtual QString get(const QString& section, const QString& key, const QString& fallback) = 0;
    // Creates the section and key as needed and replaces any earlier value.
    virtual void save(const QString& section, const QString& key, const QString& value) = 0;
    // Removes every section and key; failures are ignored.
    virtual void deleteAll() = 0;
    // Makes what was saved durable; called before the process ends.
    virtual void flush() = 0;
};

// The stored text of `key`, or its default from the key table, as UTF-8.
std::string readSetting(SettingsStore& store, Key key);
void saveSetting(SettingsStore& store, Key key, const QString& value);

} // namespace kelvora
