#pragma once

class QApplication;

// Qt's own German texts, so the buttons of the standard dialogs match the
// rest of the user interface whatever the desktop's language.
void InstallGermanTranslations(QApplication& application);

// The viewer keeps no settings, but Qt's own file dialog stores its history,
// folders and header state in a settings file of its own. Pointing user
// settings where no file can ever be made keeps them in memory for the run.
void KeepNoSettingsFiles();

// The whole program: arguments, display check, start-up, the loop. Returns the
// exit status.
int RunViewer(int argc, char* argv[]);
