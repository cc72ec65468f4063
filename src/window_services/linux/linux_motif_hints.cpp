// SPDX-License-Identifier: MIT
#include "window_services/motif_hints.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kelvora {

namespace {

// The Motif hints' five 32-bit fields, and the bits of the two used here.
enum MotifField { kFlags, kFunctions, kDecorations, kInputMode, kStatus, kFieldCount };
constexpr std::uint32_t kFunctionsGiven = 1u << 0;
// With this bit set the other function bits name the functions left out, a
// reading some managers (openbox) do not share, so it is never written.
constexpr std::uint32_t kAllFunctions = 1u << 0;
constexpr std::uint32_t kResize = 1u << 1;
constexpr std::uint32_t kMove = 1u << 2;
constexpr std::uint32_t kMinimise = 1u << 3;
constexpr std::uint32_t kMaximise = 1u << 4;
constexpr std::uint32_t kClose = 1u << 5;

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t motifHintsAtom(xcb_connection_t* connection) {
    static constexpr char kName[] = "_MOTIF_WM_HINTS";
    const ReplyPtr<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The hints Qt wrote, or none given.
std::array<std::uint32_t, kFieldCount> currentHints(xcb_connection_t* connection,
                                                    xcb_window_t window, xcb_atom_t atom) {
    std::array<std::uint32_t, kFieldCount> hints{};
    const ReplyPtr<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, window, atom, atom, 0, kFieldCount),
                               nullptr),
        &std::free);
    if (reply && reply->format == 32 &&
        xcb_get_property_value_length(reply.get()) == int(sizeof hints)) {
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), sizeof hints);
    }
    return hints;
}

} // namespace

void dropResizeFunctions(QWidget& window) {
    // Qt offers the X11 interface on every platform it was built with X11
    // for; only on X11 itself does it hold a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    QWindow* handle = window.windowHandle();
    if (!connection || !handle || !handle->handle()) {
        return;
    }
    // The widget learns of a new native window only later.
    const auto id = static_cast<xcb_window_t>(handle->winId());
    const xcb_atom_t atom = motifHintsAtom(connection);
    if (atom == XCB_ATOM_NONE) {
        return;
    }
    auto hints = currentHints(connection, id, atom);
    if ((hints[kFlags] & kFunctionsGiven) && !(hints[kFunctions] & kAllFunctions)) {
        hints[kFunctions] &= ~(kResize | kMaximise);
    } else {
        // Qt leaves the functions of a window without a title bar unsaid.
        hints[kFlags] |= kFunctionsGiven;
        hints[kFunctions] = kMove | kMinimise | kClose;
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, kFieldCount,
                        hints.data());
    xcb_flush(connection);
}

} // namespace kelvora
