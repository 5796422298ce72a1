#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

// The requester of the open command. It accepts the name of a file that does
// not exist (the loader reports that) but refuses a name in a folder that does
// not exist and stays open. The viewer writes nothing, so the requester offers
// no renaming, deleting or new folders either.
class SequenceFileDialog : public QFileDialog {
  public:
    explicit SequenceFileDialog(QWidget* parent);

    void accept() override;
};

// The full name chosen, or an empty text when the user cancels. No length cap:
// Linux paths may run past the 259 characters of older requesters, and a long
// name is loaded rather than dropped like a cancel.
QString AskSequenceFileName(QWidget* parent);

// The one message the viewer shows.
void ShowOpenError(QWidget* parent, const QString& filePart);
