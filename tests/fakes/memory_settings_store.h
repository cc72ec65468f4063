// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settings_store.h"

#include <QMap>
#include <QPair>
#include <QStringList>

namespace kelvora {

// Settings kept in memory, with the order of saves recorded.
class MemorySettingsStore final : public SettingsStore {
public:
    QString get(const QString& section, const QString& key, const QString& fallback) override {
        reads.append(key);
        return values.value({section, key}, fallback);
    }
    void save(const QString& section, const QString& key, const QString& value) override {
        saves.append(key);
        values.insert({section, key}, value);
    }
    void deleteAll() override { values.clear(); }
    void flush() override { ++flushes; }

    void set(Key key, const QString& value) {
        const KeyDefinition& definition = definitionOf(key);
        values.insert(
            {QString::fromLatin1(definition.section), QString::fromLatin1(definition.name)}, value);
    }
    QString value(Key key) const {
        const KeyDefinition& definition = definitionOf(key);
        return values.value(
            {QString::fromLatin1(definition.section), QString::fromLatin1(definition.name)});
    }

    QMap<QPair<QString, QString>, QString> values;
    QStringList reads;
    QStringList saves;
    int flushes = 0;
};

} // namespace kelvora
