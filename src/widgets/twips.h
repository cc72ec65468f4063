// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

#include <cmath>

namespace kelvora {

// Layouts are given in twips. At 96 dpi 15 twips make a logical pixel; Qt
// scales logical pixels on high-density screens.
inline constexpr int kTwipsPerPixel = 15;

inline int toPixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

inline double toTwips(int pixels) {
    return static_cast<double>(pixels) * kTwipsPerPixel;
}

inline QRect toPixels(int left, int top, int width, int height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

// One row of a window's layout table: a control's layout name and its place
// in twips, in the order the layout is written.
struct Place {
    const char* name;
    int left;
    int top;
    int width;
    int height;
};

inline QRect toPixels(const Place& where) {
    return toPixels(where.left, where.top, where.width, where.height);
}

} // namespace kelvora
