// SPDX-License-Identifier: MIT
#include "settings/settings_store.h"

namespace kelvora {

std::string readSetting(SettingsStore& store, Key key) {
    const KeyDefinition& definition = definitionOf(key);
    return store
        .get(QString::fromLatin1(definition.section), QString::fromLatin1(definition.name),
             QString::fromLatin1(definition.defaultText))
        .toStdString();
}

void saveSetting(SettingsStore& store, Key key, const QString& value) {
    const KeyDefinition& definition = definitionOf(key);
    store.save(QString::fromLatin1(definition.section), QString::fromLatin1(definition.name),
               value);
}

} // namespace kelvora
