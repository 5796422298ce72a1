#include "FrameExtents.h"

#include <QGuiApplication>
#include <QThread>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int answerWaitMs = 500;
constexpr int pollIntervalMs = 5;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPointer = std::unique_ptr<Reply, FreeReply>;

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

// Only a window manager that lists the request answers it; without one,
// waiting would only delay the start.
bool WindowManagerAnswers(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t request) {
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
    xcb_flush(connection);
}

} // namespace

QMargins RequestFrameExtents(QWindow& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    // The offscreen platform answers to the X11 interface without a connection.
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return {};
    }
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = RootOf(connection, id);
    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (root == XCB_WINDOW_NONE || !WindowManagerAnswers(connection, root, request)) {
        return {};
    }
    SendRequest(connection, root, id, request);
    // The answer is a property change; Qt reads the events, so poll the property.
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    for (int waited = 0; waited < answerWaitMs; waited += pollIntervalMs) {
        const auto values = Values(connection, id, extents, XCB_ATOM_CARDINAL);
        if (values.size() == 4) {
            const qreal ratio = window.devicePixelRatio();
            const auto logical = [ratio](std::uint32_t pixels) { return qRound(pixels / ratio); };
            return {logical(values[0]), logical(values[2]), logical(values[1]), logical(values[3])};
        }
        QThread::msleep(pollIntervalMs);
    }
    return {};
}
