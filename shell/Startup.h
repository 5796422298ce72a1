#pragma once

#include <optional>
#include <string>

class QApplication;

// Why the window system cannot be reached, before Qt tries and aborts: the
// platform named (none means Qt's default) needs X11 or Wayland and neither
// display variable is set. Arguments are the environment values, null if unset.
std::optional<std::string> DisplayProblem(const char* platform, const char* display,
                                          const char* waylandDisplay);

// Qt's own German texts, so the buttons of the standard dialogs match the
// rest of the user interface whatever the desktop's language.
void InstallGermanTranslations(QApplication& application);
