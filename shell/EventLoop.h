#pragma once

#include "WindowEvent.h"

#include <QObject>

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>

// Window events in their order of arrival. An event equal to the last one
// still waiting is not added again, so a burst of identical notifications
// costs one redraw.
class EventQueue {
  public:
    void Post(WindowEvent event);
    std::optional<WindowEvent> Take();
    bool Empty() const { return waiting.empty(); }
    std::size_t Size() const { return waiting.size(); }

  private:
    std::deque<WindowEvent> waiting;
};

// The program's own loop on top of Qt's: Qt notifications are posted here and
// one drain hands them to the handler one at a time. A handler that opens a
// modal dialog spins Qt's loop inside it; the drain is never re-entered from
// there, so whatever arrives meanwhile waits until that handler has returned.
class EventLoop : public QObject {
  public:
    using Handler = std::function<void(const WindowEvent&)>;

    explicit EventLoop(Handler handler);

    void Post(WindowEvent event);
    // Runs the handler for every waiting event, including those posted while it runs.
    void Drain();
    // Drops whatever waits and takes nothing more: the program is ending.
    void Stop();

    // For tests, which wait until the queue is empty.
    const EventQueue& Queue() const { return queue; }

  private:
    void ScheduleDrain();

    Handler handler;
    EventQueue queue;
    bool draining = false;
    bool drainScheduled = false;
    bool stopped = false;
};
