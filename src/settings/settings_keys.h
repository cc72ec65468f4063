// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>

namespace kelvora {

// Every stored setting. Nothing outside the table spells a section, key name
// or default.
enum class Key {
    Left,
    Top,
    Interval,
    AoT,
    Dysk,
    HDDNumber,
    HDDFormat,
    HDDCounter,
    RAMNumber,
    RAMFormat,
    RAMCounter,
    R1,
    G1,
    B1,
    R2,
    G2,
    B2,
    R3,
    G3,
    B3,
    Alpha,
};

struct KeyDefinition {
    Key key;
    const char* section;
    const char* name;
    const char* defaultText;
};

inline constexpr std::array<KeyDefinition, 21> kKeyTable{{
    {Key::Left, "Pozycja", "Left", "0"},
    {Key::Top, "Pozycja", "Top", "0"},
    {Key::Interval, "Ustawienia", "interval", "2"},
    {Key::AoT, "Ustawienia", "AoT", "0"},
    {Key::Dysk, "Ustawienia", "Dysk", "1"},
    {Key::HDDNumber, "Ustawienia", "HDDNumber", "1073741824"},
    {Key::HDDFormat, "Ustawienia", "HDDFormat", "0.00 GB"},
    {Key::HDDCounter, "Ustawienia", "HDDCounter", "3"},
    {Key::RAMNumber, "Ustawienia", "RAMNumber", "1048576"},
    {Key::RAMFormat, "Ustawienia", "RAMFormat", "0.00 MB"},
    {Key::RAMCounter, "Ustawienia", "RAMCounter", "2"},
    {Key::R1, "Kolory", "R1", "222"},
    {Key::G1, "Kolory", "G1", "0"},
    {Key::B1, "Kolory", "B1", "0"},
    {Key::R2, "Kolory", "R2", "0"},
    {Key::G2, "Kolory", "G2", "222"},
    {Key::B2, "Kolory", "B2", "0"},
    {Key::R3, "Kolory", "R3", "0"},
    {Key::G3, "Kolory", "G3", "0"},
    {Key::B3, "Kolory", "B3", "222"},
    {Key::Alpha, "Kolory", "Alpha", "255"},
}};

constexpr const KeyDefinition& definitionOf(Key key) {
    return kKeyTable[static_cast<std::size_t>(key)];
}

// The three colour sets, in the order of the rows they colour.
enum ColourSet : int {
    kDriveColours = 0,
    kMemoryColours = 1,
    kCpuColours = 2,
    kColourSetCount = 3,
};

// The colour keys of one bar, red first.
constexpr std::array<Key, 3> colourKeys(int set) {
    constexpr std::array<std::array<Key, 3>, 3> sets{{
        {Key::R1, Key::G1, Key::B1},
        {Key::R2, Key::G2, Key::B2},
        {Key::R3, Key::G3, Key::B3},
    }};
    return sets[static_cast<std::size_t>(set)];
}

} // namespace kelvora
