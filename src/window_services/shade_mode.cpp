// SPDX-License-Identifier: MIT
#include "window_services/shade_mode.h"

#include <QWindow>

namespace kelvora {

ShadeSlot::~ShadeSlot() {
    delete m_strip;
}

WinShade& ShadeSlot::get() {
    if (!m_strip) {
        m_strip = m_factory().release();
    }
    return *m_strip;
}

void ShadeSlot::destroy() {
    if (!m_strip) {
        return;
    }
    m_strip->hide();
    m_strip->deleteLater();
    m_strip = nullptr;
}

std::optional<std::int16_t> ShadeMode(QWidget& mainWindow, ShadeSlot& strip, int mode) {
    switch (mode) {
    case kShadeReport: {
        std::optional<std::int16_t> visible;
        if (strip.existing() && strip.existing()->isVisible()) {
            visible = kShadeStrip;
        }
        if (mainWindow.isVisible()) {
            visible = kShadeMainWindow;
        }
        return visible;
    }
    case kShadeMainWindow: {
        WinShade& shade = strip.get();
        mainWindow.show();
        shade.hide();
        // The window was just shown again and the window manager has not
        // framed it yet, so QWidget::move would put the client area on the
        // corner and the frame would then stick out above and left of it.
        // The outer corner is what goes where the strip was.
        mainWindow.windowHandle()->setFramePosition(shade.pos());
        strip.destroy();
        return std::nullopt;
    }
    case kShadeStrip: {
        mainWindow.hide();
        strip.destroy();
        WinShade& shade = strip.get();
        shade.show();
        shade.move(mainWindow.pos());
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

} // namespace kelvora
