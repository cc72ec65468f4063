#include "settings/ini_settings_store.h"

#include <QStringList>

namespace kelvora {

IniSettingsStore::IniSettingsStore(const QString& programTitle)
    : m_settings(QSettings::IniFormat, QSettings::UserScope, programTitle) {}

QString IniSettingsStore::get(const QString& section, const QString& key, const QString& fallback) {
    const QVariant value = m_settings.value(section + u'/' + key);
    if (!value.isValid()) {
        return fallback;
    }
    // QSettings splits an INI value with commas into a list; the stored text
    // is what the user wrote.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    return value.toString();
}

void IniSettingsStore::save(const QString& section, const QString& key, const QString& value) {
    m_settings.setValue(section + u'/' + key, value);
}

void IniSettingsStore::deleteAll() {
    m_settings.clear();
    m_settings.sync();
}

void IniSettingsStore::flush() {
    m_settings.sync();
}

} // namespace kelvora
