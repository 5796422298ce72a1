#include "ShellTestSupport.h"

#include <QFileDialog>
#include <QMessageBox>

#include <vector>

namespace {

const WindowEvent repaint{RepaintEvent, 0};
const WindowEvent size{SizeEvent, 0};
const WindowEvent open{MenuEvent, MenuOpen};
const WindowEvent clear{MenuEvent, MenuClear};

std::vector<WindowEvent> TakeAll(EventQueue& queue) {
    std::vector<WindowEvent> taken;
    while (const auto event = queue.Take()) {
        taken.push_back(*event);
    }
    return taken;
}

struct QueueCase {
    const char* name;
    std::vector<WindowEvent> posted;
    std::vector<WindowEvent> taken;
};

TEST(EventQueueTest, KeepsOrderAndDropsOnlyARepeatOfTheLastWaiting) {
    const std::vector<QueueCase> cases{
        {"repeat", {repaint, repaint, repaint}, {repaint}},
        {"alternating", {repaint, size, repaint, size}, {repaint, size, repaint, size}},
        {"same code, other item", {open, clear, clear, open}, {open, clear, open}},
        {"menu after repaint", {repaint, open, repaint}, {repaint, open, repaint}},
    };
    for (const auto& [name, posted, taken] : cases) {
        EventQueue queue;
        for (const WindowEvent& event : posted) {
            queue.Post(event);
        }
        EXPECT_EQ(TakeAll(queue), taken) << name;
    }
}

TEST(EventQueueTest, AnEventTakenAlreadyIsNoLongerWaiting) {
    EventQueue queue;
    queue.Post(repaint);
    ASSERT_TRUE(queue.Take());
    queue.Post(repaint);
    EXPECT_EQ(queue.Size(), 1u);
}

// Records the events handled and how deeply handlers were nested.
struct HandlerLog {
    std::vector<WindowEvent> handled;
    int depth = 0;
    int deepest = 0;
};

TEST(EventLoopTest, DrainsEventsPostedByAHandlerAndIsNeverReentered) {
    HandlerLog log;
    EventLoop* loopPointer = nullptr;
    EventLoop loop([&](const WindowEvent& event) {
        ++log.depth;
        log.deepest = std::max(log.deepest, log.depth);
        log.handled.push_back(event);
        if (event == open) {
            loopPointer->Post(clear);
            loopPointer->Drain();
        }
        --log.depth;
    });
    loopPointer = &loop;
    loop.Post(open);
    loop.Post(repaint);
    EXPECT_TRUE(log.handled.empty()) << "handled before Qt's loop ran";
    QCoreApplication::processEvents();
    EXPECT_EQ(log.handled, (std::vector<WindowEvent>{open, repaint, clear}));
    EXPECT_EQ(log.deepest, 1);
}

TEST(EventLoopTest, EventsArrivingWhileAHandlerHasAModalOpenWaitForIt) {
    HandlerLog log;
    EventLoop* loopPointer = nullptr;
    std::vector<WindowEvent> handledWhileOpen;
    EventLoop loop([&](const WindowEvent& event) {
        ++log.depth;
        log.deepest = std::max(log.deepest, log.depth);
        log.handled.push_back(event);
        if (event == open) {
            const auto watch = WhenModalOpens<QMessageBox>([&](QMessageBox* box) {
                loopPointer->Post(repaint);
                loopPointer->Post(size);
                QCoreApplication::processEvents();
                handledWhileOpen = log.handled;
                box->accept();
            });
            QMessageBox box(QMessageBox::Critical, "t", "x", QMessageBox::Ok);
            box.exec();
        }
        --log.depth;
    });
    loopPointer = &loop;
    loop.Post(open);
    QCoreApplication::processEvents();
    EXPECT_EQ(handledWhileOpen, (std::vector<WindowEvent>{open}));
    EXPECT_EQ(log.handled, (std::vector<WindowEvent>{open, repaint, size}));
    EXPECT_EQ(log.deepest, 1);
}

using ViewerLoopTest = ViewerTest;

TEST_F(ViewerLoopTest, ResizeDuringTheFileRequesterIsHandledAfterTheCommand) {
    Layout duringDialog;
    const auto watch = WhenModalOpens<QFileDialog>([&](QFileDialog* dialog) {
        Window().resize(640, 600);
        QCoreApplication::processEvents();
        duringDialog = State().layout;
        dialog->reject();
    });
    Choose(MenuOpen);
    EXPECT_EQ(duringDialog.width, 540);
    EXPECT_EQ(State().layout.width, 640);
    EXPECT_EQ(State().layout.height, 600);
}

struct UnknownEventCase {
    const char* name;
    WindowEvent event;
};

TEST_F(ViewerLoopTest, UnknownCodesAndItemsChangeNothing) {
    const std::vector<UnknownEventCase> cases{
        {"control", {ControlEvent, 0}},
        {"no code", {WindowEventCode{0}, 0}},
        {"other code", {WindowEventCode{99}, 0}},
        {"menu item 4", {MenuEvent, MenuPrint}},
        {"menu item 0", {MenuEvent, 0}},
        {"menu item 9", {MenuEvent, 9}},
        {"menu item 13101", {MenuEvent, MenuEvent}},
    };
    Choose(MenuClear); // a picture that a stray repaint would change
    const QImage before = Composed();
    const NodeList nodes = State().nodeList;
    const Sequence sequence = State().sequence;
    for (const auto& [name, event] : cases) {
        viewer->Post(event);
        Settle(*viewer);
        EXPECT_EQ(Composed(), before) << name;
        EXPECT_EQ(Window().windowTitle(), "QORN-V Struktur: Ikosaeder") << name;
        EXPECT_TRUE(Ticked(MenuIcosahedron)) << name;
        EXPECT_FALSE(Ticked(MenuOctahedron)) << name;
        EXPECT_EQ(State().nodeList, nodes) << name;
        EXPECT_EQ(State().sequence, sequence) << name;
        EXPECT_FALSE(viewer->Ended()) << name;
    }
}

struct EndCase {
    const char* name;
    std::function<void(MainWindow&)> request;
};

TEST(ViewerEndTest, CloseRequestAndSchliesenEndTheProgramWithoutAsking) {
    const std::vector<EndCase> cases{
        {"close button", [](MainWindow& window) { window.close(); }},
        {"Schliesen", [](MainWindow& window) { window.MenuAction(MenuQuit)->trigger(); }},
    };
    for (const auto& [name, request] : cases) {
        EndRecord end;
        Viewer viewer(end.Recorder());
        viewer.Start();
        Settle(viewer);
        request(viewer.Window());
        EXPECT_TRUE(viewer.Window().isVisible()) << name << ": open until the loop handles it";
        EXPECT_FALSE(viewer.Ended()) << name;
        Settle(viewer);
        EXPECT_TRUE(viewer.Ended()) << name;
        EXPECT_EQ(end.status, 0) << name;
        EXPECT_FALSE(viewer.Window().isVisible()) << name;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << name << ": nothing asked";
    }
}

TEST_F(ViewerLoopTest, NothingIsHandledAfterQuitProgram) {
    viewer->Post({MenuEvent, MenuQuit});
    viewer->Post({MenuEvent, MenuOctahedron});
    Settle(*viewer);
    EXPECT_TRUE(viewer->Ended());
    EXPECT_EQ(end.status, 0);
    EXPECT_EQ(State().nodeList.Size(), 14u);
    EXPECT_EQ(Window().windowTitle(), "QORN-V Struktur: Ikosaeder");
}

} // namespace
