#pragma once

#include "DrawingSurface.h"
#include "EventLoop.h"
#include "FileFollowing.h"
#include "MainWindow.h"
#include "ViewerState.h"

#include <cstdint>
#include <functional>
#include <memory>

// The program: its shared records, the one window and the loop that feeds the
// handlers. main has one; every test builds its own. Needs a QApplication.
class Viewer {
  public:
    // Ends the process's run with an exit status; Qt's loop by default. Once Qt
    // is told to exit, every later modal loop returns at once, so tests that
    // go on in the same process observe the status instead.
    using EndProgram = std::function<void(int)>;

    // Tests may ignore the file system's change notifications, leaving the
    // half-second look at the followed file alone.
    explicit Viewer(EndProgram endProgram = EndQtLoop,
                    FileWatch::Notifications notifications = FileWatch::Notifications::Used);
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Everything of start-up after the platform is set up, in its fixed order:
    // window, layout, start-up sequence and its picture. The loop runs after.
    void Start();

    void Post(WindowEvent event) { loop.Post(event); }
    void Dispatch(const WindowEvent& event);

    void OnRepaint();
    void OnResize();
    void OnMenuCommand(std::int32_t item);
    // Opens a name as "Öffnen" opens the one chosen in the requester; files
    // handed in from outside come this way too.
    void OnOpenFile(const QString& chosen);
    // The file shown may have changed: what it gained is drawn over the
    // picture, a replaced file is drawn anew, a vanished one leaves the picture.
    void OnFileChanged();
    // Closes the window and ends the program with status 0; no event is taken after.
    void QuitProgram();

    static void EndQtLoop(int status);

    bool Ended() const { return ended; }
    MainWindow& Window() { return *window; }
    ViewerState& State() { return state; }
    const DrawingSurface& Surface() const { return surface; }
    const EventLoop& Loop() const { return loop; }
    // Held here alone: the title, the menu's tick and every drawing follow it.
    StructureKind ShownStructure() const { return shown; }

  private:
    void OpenMainWindow();
    void OpenSequenceFile();
    void ShowStructure(StructureKind kind);
    void ClearView();
    void PlaceAndDraw(StructureKind kind);
    void DrawView(StructureKind kind);

    EndProgram endProgram;
    ViewerState state;
    StructureKind shown = startupStructure;
    DrawingSurface surface;
    EventLoop loop;
    std::unique_ptr<MainWindow> window;
    FileFollowing following;
    bool ended = false;
};
