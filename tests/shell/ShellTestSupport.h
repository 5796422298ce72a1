#pragma once

#include "MenuItems.h"
#include "Palette.h"
#include "Viewer.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

inline constexpr QRgb white = 0xFFFFFFFFu;
inline constexpr QRgb black = 0xFF000000u;
inline constexpr QRgb red = 0xFFFF0000u;

inline QRgb PaletteRgb(int index) {
    const Rgb colour = Palette[static_cast<std::size_t>(index)].colour;
    return qRgb(colour.red, colour.green, colour.blue);
}

// One-pixel lines land on either side of the ideal one: looks at the 3 x 3 pixels
// around `point`.
inline bool ColourNear(const QImage& image, QPoint point, QRgb colour) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint probe = point + QPoint(dx, dy);
            if (image.valid(probe) && (image.pixel(probe) | 0xFF000000u) == colour) {
                return true;
            }
        }
    }
    return false;
}

// Lets Qt deliver what is pending and the viewer's loop handle it.
inline void Settle(const Viewer& viewer) {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::processEvents();
        if (round >= 3 && viewer.Loop().Queue().Empty()) {
            return;
        }
    }
}

// The exit status a viewer asked for, or -1 while it runs.
struct EndRecord {
    int status = -1;
    Viewer::EndProgram Recorder() {
        return [this](int exitStatus) { status = exitStatus; };
    }
};

// A freshly started viewer per test, with the start-up events handled.
class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        viewer = std::make_unique<Viewer>(end.Recorder());
        viewer->Start();
        Settle(*viewer);
    }

    MainWindow& Window() { return viewer->Window(); }
    ViewerState& State() { return viewer->State(); }

    void Choose(std::int32_t item) {
        viewer->Post({MenuEvent, item});
        Settle(*viewer);
    }

    // The window as the user sees it, frame and caption included, in
    // drawing-area coordinates.
    QImage Composed() {
        const QImage window = Window().grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect area(Window().DrawingWidget()->mapTo(&Window(), QPoint(0, 0)),
                         Window().DrawingWidget()->size());
        return window.copy(area);
    }

    QRgb ComposedPixel(int x, int y) { return Composed().pixel(x, y) | 0xFF000000u; }

    QRgb Background() const { return viewer->Surface().Background().rgb() | 0xFF000000u; }

    bool Ticked(std::int32_t item) { return Window().MenuAction(item)->isChecked(); }

    EndRecord end;
    std::unique_ptr<Viewer> viewer;
};

// Runs `act` on the modal dialog of type T once it is open; polls, since the
// dialog opens inside a handler that the test cannot return from. The watch
// lasts as long as the returned object. A required dialog that does not open
// in time fails the test, and any open modal is then rejected so the test ends
// instead of hanging; an optional one is acted on if it opens at all.
enum class Expect { Required, Optional };

template <typename T>
[[nodiscard]] std::unique_ptr<QTimer> WhenModalOpens(std::function<void(T*)> act,
                                                     Expect expect = Expect::Required) {
    constexpr int timeoutMs = 5000;
    auto timer = std::make_unique<QTimer>();
    QTimer* poller = timer.get();
    QElapsedTimer clock;
    clock.start();
    QObject::connect(poller, &QTimer::timeout, poller, [=] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible()) {
            poller->stop();
            act(dialog);
            return;
        }
        if (expect == Expect::Optional || clock.elapsed() <= timeoutMs) {
            return;
        }
        poller->stop();
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " opened";
        if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            other->reject();
        }
    });
    poller->start(10);
    return timer;
}
