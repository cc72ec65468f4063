// SPDX-License-Identifier: MIT
#pragma once

#include "window_services/win_shade.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kelvora {

// Holds the one strip. Referring to it creates it, hidden, with its load
// already run; that is how the refresh ticks keep it current while unseen.
class ShadeSlot {
public:
    using Factory = std::function<std::unique_ptr<WinShade>()>;

    explicit ShadeSlot(Factory factory) : m_factory(std::move(factory)) {}
    ~ShadeSlot();

    WinShade& get();
    WinShade* existing() const { return m_strip; }
    // Hides and destroys the strip; safe from inside its own event handlers.
    void destroy();

private:
    Factory m_factory;
    WinShade* m_strip = nullptr;
};

// The modes of ShadeMode, which also name the window a report finds visible.
inline constexpr int kShadeReport = 0;
inline constexpr int kShadeMainWindow = 1;
inline constexpr int kShadeStrip = 2;

// kShadeStrip swaps the main window for a freshly made strip at its top-left
// corner; kShadeMainWindow brings the main window back at the strip's corner
// and destroys the strip; kShadeReport reports kShadeMainWindow when the main
// window is visible, else kShadeStrip when the strip is, else nothing. Other
// modes do nothing.
std::optional<std::int16_t> ShadeMode(QWidget& mainWindow, ShadeSlot& strip, int mode);

} // namespace kelvora
