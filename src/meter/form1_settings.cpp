// SPDX-License-Identifier: MIT
// Loading the main window's settings at start and storing them at closing.

#include "meter/form1.h"
#include "parsing/conversions.h"
#include "settings/settings_store.h"
#include "widgets/twips.h"
#include "window_services/window_services.h"

#include <QCheckBox>
#include <QComboBox>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace kelvora {

namespace {

// A bar's colour from its three stored components; empty when one of them is
// not a whole number from 0 to 255.
template <typename Read> std::optional<QColor> composeColour(int set, Read read) {
    std::array<int, 3> rgb{};
    const std::array<Key, 3> keys = colourKeys(set);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto component = toInt16(read(keys[i]));
        if (!component || *component < 0 || *component > 255) {
            return std::nullopt;
        }
        rgb[i] = *component;
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

// A loading step that read its value applies it; one that failed leaves the
// default and reports the failure.
template <typename Value> bool assignIfRead(const std::optional<Value>& read, Value& target) {
    if (read) {
        target = *read;
    }
    return read.has_value();
}

// Window systems keep window coordinates in 16 bits of device pixels (X11
// and Windows alike); a hand-edited position beyond them is taken as the
// nearest edge. Qt's pixels are device pixels divided by the scale.
int positionPixels(float twips, qreal scale) {
    const double lowest = std::ceil(-32768.0 / scale);
    const double highest = std::floor(32767.0 / scale);
    return static_cast<int>(
        std::lround(std::clamp(static_cast<double>(twips) / kTwipsPerPixel, lowest, highest)));
}

// At a fractional scale Qt rounds the window's place to device pixels when it
// sets it and back when the window system reports it, the frame separately
// from the client area, so a window nobody moved can come back a pixel off
// and would creep at every start. A place within that pixel of where loading
// put it counts as that place.
int unmovedPixels(int now, int loaded, qreal scale) {
    const int slack = scale == std::round(scale) ? 0 : 1;
    return std::abs(now - loaded) <= slack ? loaded : now;
}

} // namespace

UnitState Form1::defaultUnit(Key number, Key format, Key counter) {
    return {.counter = *toInt16(definitionOf(counter).defaultText),
            .pattern = definitionOf(format).defaultText,
            .divisor = *toInt32(definitionOf(number).defaultText)};
}

QColor Form1::defaultColour(ColourSet set) {
    return *composeColour(set, [](Key key) { return definitionOf(key).defaultText; });
}

void Form1::load() {
    const std::function<bool()> steps[] = {
        [this] { return loadLeft(); },
        [this] { return loadTop(); },
        [this] { return loadInterval(); },
        [this] { return loadAoT(); },
        [this] { return loadUnitNumber(Key::HDDNumber, m_driveUnit); },
        [this] { return loadUnitFormat(Key::HDDFormat, m_driveUnit); },
        [this] { return loadUnitCounter(Key::HDDCounter, m_driveUnit); },
        [this] { return loadUnitNumber(Key::RAMNumber, m_memoryUnit); },
        [this] { return loadUnitFormat(Key::RAMFormat, m_memoryUnit); },
        [this] { return loadUnitCounter(Key::RAMCounter, m_memoryUnit); },
        [this] { return loadDysk(); },
        [this] { return loadBarColour(kDriveColours, *m_DDX); },
        [this] { return loadBarColour(kMemoryColours, *m_MDX); },
        [this] { return loadBarColour(kCpuColours, *m_PDX); },
        [this] { return loadAlpha(); },
    };
    // A failed step is skipped and falls back to the root drive at once, so
    // a later drive step can still restore the stored drive.
    for (const auto& step : steps) {
        if (!step()) {
            m_DYSK->setCurrentIndex(kRootDriveIndex);
        }
    }
    m_loadedPosition = pos();
    m_CpuStat.Initialize();
    memoryAndDriveTick();
}

bool Form1::loadLeft() {
    const auto left = toSingle(readSetting(m_store, Key::Left));
    if (left) {
        move(positionPixels(*left, devicePixelRatioF()), y());
    }
    return left.has_value();
}

bool Form1::loadTop() {
    const auto top = toSingle(readSetting(m_store, Key::Top));
    if (top) {
        move(x(), positionPixels(*top, devicePixelRatioF()));
    }
    return top.has_value();
}

bool Form1::loadInterval() {
    const auto index = toInt16(readSetting(m_store, Key::Interval));
    if (!index || *index < 0 || *index >= m_Interval->count()) {
        return false;
    }
    m_Interval->setCurrentIndex(*index);
    return true;
}

bool Form1::loadAoT() {
    const auto state = toInt16(readSetting(m_store, Key::AoT));
    if (!state || (*state != 0 && *state != 1)) {
        return false;
    }
    m_AoT->setChecked(*state == 1);
    return true;
}

bool Form1::loadUnitNumber(Key key, UnitState& unit) {
    return assignIfRead(toInt32(readSetting(m_store, key)), unit.divisor);
}

bool Form1::loadUnitFormat(Key key, UnitState& unit) {
    unit.pattern = readSetting(m_store, key);
    return true;
}

bool Form1::loadUnitCounter(Key key, UnitState& unit) {
    return assignIfRead(toInt16(readSetting(m_store, key)), unit.counter);
}

bool Form1::loadDysk() {
    const std::string stored = readSetting(m_store, Key::Dysk);
    const auto number = parseNumber(stored);
    if (!number) {
        return false;
    }
    // The removable-media entry is never restored: a stick may be gone.
    if (*number == kRemovableDriveIndex) {
        m_DYSK->setCurrentIndex(kRootDriveIndex);
        return true;
    }
    const auto index = toInt16(stored);
    if (!index || *index < 0 || *index >= m_DYSK->count()) {
        return false;
    }
    m_DYSK->setCurrentIndex(*index);
    return true;
}

bool Form1::loadBarColour(ColourSet set, Bar& bar) {
    const auto colour = composeColour(set, [this](Key key) { return readSetting(m_store, key); });
    if (colour) {
        bar.setFillColour(*colour);
    }
    return colour.has_value();
}

bool Form1::loadAlpha() {
    const auto alpha = toByte(readSetting(m_store, Key::Alpha));
    if (alpha) {
        SetWindowAlpha(*this, *alpha);
    }
    return alpha.has_value();
}

void Form1::storeClosingSettings() {
    if (m_closingSettingsStored) {
        return;
    }
    m_closingSettingsStored = true;
    const auto number = [](long long value) { return QString::number(value); };
    // Where the window system cannot say where the window is, the place it
    // was given stays stored: the user may have moved it, but the position
    // at hand is invented and would put the next start off the screen.
    QPoint place = m_loadedPosition;
    if (windowPositionsKnown()) {
        const qreal scale = devicePixelRatioF();
        place = {unmovedPixels(x(), m_loadedPosition.x(), scale),
                 unmovedPixels(y(), m_loadedPosition.y(), scale)};
    }
    saveSetting(m_store, Key::Left, QString::fromStdString(singleToText(toTwips(place.x()))));
    saveSetting(m_store, Key::Top, QString::fromStdString(singleToText(toTwips(place.y()))));
    saveSetting(m_store, Key::Interval, number(m_Interval->currentIndex()));
    saveSetting(m_store, Key::AoT, number(m_AoT->isChecked() ? 1 : 0));
    saveSetting(m_store, Key::Dysk, number(m_DYSK->currentIndex()));
    saveSetting(m_store, Key::HDDNumber, number(m_driveUnit.divisor));
    saveSetting(m_store, Key::HDDFormat, QString::fromStdString(m_driveUnit.pattern));
    saveSetting(m_store, Key::HDDCounter, number(m_driveUnit.counter));
    saveSetting(m_store, Key::RAMNumber, number(m_memoryUnit.divisor));
    saveSetting(m_store, Key::RAMFormat, QString::fromStdString(m_memoryUnit.pattern));
    saveSetting(m_store, Key::RAMCounter, number(m_memoryUnit.counter));
    m_store.flush();
}

} // namespace kelvora
