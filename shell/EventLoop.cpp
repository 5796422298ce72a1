#include "EventLoop.h"

#include <QMetaObject>

void EventQueue::Post(WindowEvent event) {
    if (!waiting.empty() && waiting.back() == event) {
        return;
    }
    waiting.push_back(event);
}

std::optional<WindowEvent> EventQueue::Take() {
    if (waiting.empty()) {
        return std::nullopt;
    }
    const WindowEvent event = waiting.front();
    waiting.pop_front();
    return event;
}

EventLoop::EventLoop(Handler handler) : handler(std::move(handler)) {}

void EventLoop::Post(WindowEvent event) {
    if (stopped) {
        return;
    }
    queue.Post(event);
    ScheduleDrain();
}

void EventLoop::Drain() {
    if (draining) {
        return;
    }
    draining = true;
    while (!stopped) {
        const auto event = queue.Take();
        if (!event) {
            break;
        }
        handler(*event);
    }
    draining = false;
}

void EventLoop::Stop() {
    stopped = true;
    while (queue.Take()) {
    }
}

// A running drain picks up what is posted meanwhile, so only an idle loop
// needs to be woken; the wake-up runs once Qt's loop is back in control.
void EventLoop::ScheduleDrain() {
    if (draining || drainScheduled) {
        return;
    }
    drainScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            drainScheduled = false;
            Drain();
        },
        Qt::QueuedConnection);
}
