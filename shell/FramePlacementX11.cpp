#include "FramePlacement.h"

#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Bounds for a window manager that hangs; each wait ends as soon as the
// window manager has done its part, a few milliseconds. A busy machine can
// keep a window manager from its events for a few hundred milliseconds; giving
// up then falls back to centre gravity, which openbox places 20 px too low.
constexpr int handledWaitMs = 1000;
constexpr int mapWaitMs = 250;

// WM_SIZE_HINTS: eighteen 32-bit values, the flags first and the window
// gravity last.
constexpr std::size_t sizeHintsLength = 18;
constexpr std::size_t gravityIndex = 17;
constexpr std::uint32_t gravityFlag = 1U << 9;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

xcb_connection_t* X11Connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers to the X11 interface without a connection.
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const ReplyPointer<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// A property of 32-bit values; empty when it is not set.
std::vector<std::uint32_t> Values(xcb_connection_t* connection, xcb_window_t window,
                                  xcb_atom_t property, xcb_atom_t type) {
    const ReplyPointer<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1024), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {values, values + xcb_get_property_value_length(reply.get()) / 4};
}

xcb_window_t RootOf(xcb_connection_t* connection, xcb_window_t window) {
    const ReplyPointer<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return reply ? reply->root : xcb_window_t{XCB_WINDOW_NONE};
}

bool Lists(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t request) {
    const auto supported =
        Values(connection, root, Atom(connection, "_NET_SUPPORTED"), XCB_ATOM_ATOM);
    return std::find(supported.begin(), supported.end(), request) != supported.end();
}

void SendRequest(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                 xcb_atom_t request) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
}

std::uint16_t Width(xcb_connection_t* connection, xcb_window_t window) {
    const ReplyPointer<xcb_get_geometry_reply_t> reply(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return reply ? reply->width : 0;
}

// Waits until the window manager has handled every event it had before now.
// A window manager takes its events in order; a resize of an unmapped window
// of ours goes to it as a request, and it passes that on. So once the resize
// has happened, the frame request sent before it has been handled too.
void WaitUntilHandled(xcb_connection_t* connection, xcb_window_t root) {
    const xcb_window_t marker = xcb_generate_id(connection);
    xcb_create_window(connection, 0, marker, root, -10, -10, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    const std::uint32_t width = 2;
    xcb_configure_window(connection, marker, XCB_CONFIG_WINDOW_WIDTH, &width);
    xcb_flush(connection);
    for (int waited = 0; waited < handledWaitMs && Width(connection, marker) != width; ++waited) {
        QThread::msleep(1);
    }
    xcb_destroy_window(connection, marker);
}

using SizeHints = std::array<std::uint32_t, sizeHintsLength>;

// Keeps every hint Qt has set and changes the gravity alone.
void SetGravity(xcb_connection_t* connection, xcb_window_t window, std::uint32_t gravity) {
    SizeHints hints{};
    const ReplyPointer<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, window, XCB_ATOM_WM_NORMAL_HINTS,
                                                XCB_ATOM_WM_SIZE_HINTS, 0, sizeHintsLength),
                               nullptr));
    if (reply && reply->format == 32) {
        const auto length = std::min<std::size_t>(
            xcb_get_property_value_length(reply.get()) / sizeof(std::uint32_t), sizeHintsLength);
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()),
                    length * sizeof(std::uint32_t));
    }
    hints[0] |= gravityFlag;
    hints[gravityIndex] = gravity;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, sizeHintsLength, hints.data());
}

bool Mapped(xcb_connection_t* connection, xcb_window_t window) {
    const ReplyPointer<xcb_get_window_attributes_reply_t> reply(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr));
    return !reply || reply->map_state != XCB_MAP_STATE_UNMAPPED;
}

} // namespace

FramePlan PlanFrame(QWindow& window) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return {};
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = RootOf(connection, id);
    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || !Lists(connection, root, request)) {
        return {{}, true};
    }
    SendRequest(connection, root, id, request);
    WaitUntilHandled(connection, root);
    const auto values =
        Values(connection, id, Atom(connection, "_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL);
    if (values.size() != 4) {
        return {{}, true};
    }
    const qreal ratio = window.devicePixelRatio();
    const auto logical = [ratio](std::uint32_t pixels) { return qRound(pixels / ratio); };
    return {{logical(values[0]), logical(values[2]), logical(values[1]), logical(values[3])},
            false};
}

void ShowPlanned(QWindow& window, const FramePlan& plan, const std::function<void()>& show) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || !plan.centreGravity) {
        show();
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Qt writes its own size hints, with static gravity, as it maps the
    // window. Holding the server keeps the window manager from reading them
    // before the centre gravity replaces them; it is held for a few requests
    // of this program's own.
    xcb_grab_server(connection);
    show();
    SetGravity(connection, id, XCB_GRAVITY_CENTER);
    xcb_ungrab_server(connection);
    xcb_flush(connection);
    // Once the window manager has mapped the window it has placed the frame;
    // from then on Qt's static gravity holds again, for every later request.
    for (int waited = 0; waited < mapWaitMs && !Mapped(connection, id); ++waited) {
        QThread::msleep(1);
    }
    SetGravity(connection, id, XCB_GRAVITY_STATIC);
    xcb_flush(connection);
}
