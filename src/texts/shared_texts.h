// SPDX-License-Identifier: MIT
#pragma once

// Texts both language builds show unchanged; several are Polish in the
// English build too.

namespace kelvora::shared {

inline constexpr const char* kDriveCaption = "HDD";
inline constexpr const char* kRemovableDriveRow = "FDD";
inline constexpr const char* kMemoryCaption = "RAM";
inline constexpr const char* kCpuCaption = "CPU";
inline constexpr const char* kIntervalCaption = "Interval";
inline constexpr const char* kUnitTip = "Kliknij, aby zmienić jednostkę";
inline constexpr const char* kStripCaption = "Kelvora zasobów systemowych";
inline constexpr const char* kStripPlaceholder = "---";
inline constexpr const char* kStripDrivePrefix = "HDD  ";
inline constexpr const char* kStripMemoryPrefix = "RAM  ";
inline constexpr const char* kStripCpuPrefix = "CPU  ";
inline constexpr const char* kPercentPattern = "0.0%";
inline constexpr const char* kOpenBracket = " (";
inline constexpr const char* kCloseBracket = ")";
inline constexpr const char* kPercentSign = "%";
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Anuluj";
inline constexpr const char* kRed = "R";
inline constexpr const char* kGreen = "G";
inline constexpr const char* kBlue = "B";

struct IntervalEntry {
    const char* text;
    int milliseconds; // 0 stops the refresh
};

inline constexpr IntervalEntry kIntervals[] = {
    {"1 ms", 1},       {"10 ms", 10},     {"100 ms", 100},  {"500 ms", 500},
    {"1000 ms", 1000}, {"2000 ms", 2000}, {"Wyłączone", 0},
};

} // namespace kelvora::shared
