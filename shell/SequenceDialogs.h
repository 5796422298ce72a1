#pragma once

#include "SequenceLoader.h"

#include <QFileDialog>
#include <QString>

class QWidget;

// Qt's requester for the open command, where the desktop's own is not used
// (Desktop.h). It accepts the name of a file that does not exist (the loader
// reports that) but refuses a name in a folder that does not exist and stays
// open. The viewer writes nothing, so the requester offers no renaming,
// deleting or new folders either.
class SequenceFileDialog : public QFileDialog {
  public:
    SequenceFileDialog(QWidget* parent, const QString& folder);

    void accept() override;
};

// Where the requester starts: the folder of the file shown, else the user's
// documents (their home where there is no such folder).
QString StartFolder(const QString& shownFile);

// The full name chosen, or an empty text when the user cancels. No length cap:
// Linux paths may run past the 259 characters of older requesters, and a long
// name is loaded rather than dropped like a cancel.
QString AskSequenceFileName(QWidget* parent, const QString& shownFile);

// Why a file could not be opened, in the user's words; empty where the system
// gives no reason.
QString OpenFailureReason(const LoadReport& report);

// The one message the viewer shows: the file's name, and the reason below it.
void ShowOpenError(QWidget* parent, const QString& filePart, const LoadReport& report);
