#pragma once

#include <cstdint>

// The codes the event loop tells apart; any other code is taken and ignored.
enum WindowEventCode : std::int32_t {
    SizeEvent = 5,
    RepaintEvent = 15,
    CloseEvent = 16,
    ControlEvent = 13100,
    MenuEvent = 13101,
};

struct WindowEvent {
    std::int32_t code = 0;
    std::int32_t item = 0; // the menu item's number; 0 for every other code
    friend bool operator==(const WindowEvent&, const WindowEvent&) = default;
};
