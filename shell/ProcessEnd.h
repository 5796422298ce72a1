#pragma once

// Ends the process once the viewer's loop has returned, without tearing the
// window system's connection down: the viewer writes no files, so nothing is
// lost, and Qt's Wayland plugin may block for good in that teardown when the
// compositor closed the window together with others. What the program wrote
// to standard output and error is flushed first.
[[noreturn]] void EndProcess(int status);
