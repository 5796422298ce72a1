#pragma once

#include <QString>

#include <cstdint>

// The codes the event loop tells apart; any other code is taken and ignored.
// The type holds every 32-bit code, the unnamed ones too (WindowEventCode{99}).
enum WindowEventCode : std::int32_t {
    SizeEvent = 5,
    RepaintEvent = 15,
    CloseEvent = 16,
    ControlEvent = 13100,
    MenuEvent = 13101,
    // A file handed to the viewer from outside, on its command line or dropped
    // onto the window; it is opened as "Öffnen" opens the name chosen.
    OpenFileEvent = 13102,
    // The file shown may have grown, been replaced or vanished: the viewer
    // follows it while it is written.
    FileChangedEvent = 13103,
};

struct WindowEvent {
    WindowEvent() = default;
    WindowEvent(WindowEventCode code, std::int32_t item, QString file = {})
        : code(code), item(item), file(std::move(file)) {}

    WindowEventCode code{};
    std::int32_t item = 0; // the menu item's number; 0 for every other code
    QString file;          // the name to open; empty for every other code
    friend bool operator==(const WindowEvent&, const WindowEvent&) = default;
};
