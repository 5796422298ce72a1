#include "SequenceDialogs.h"

#include "Desktop.h"
#include "QtText.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

#include <cerrno>

SequenceFileDialog::SequenceFileDialog(QWidget* parent, const QString& folder)
    : QFileDialog(parent, Text(texts::openTitle), folder) {
    // Qt's own dialog, so the refusal below and the German texts always apply.
    setOptions(DontUseNativeDialog | ReadOnly | HideNameFilterDetails);
    setFileMode(AnyFile);
    setAcceptMode(AcceptOpen);
    // The descriptions are what the user reads; the patterns in the last
    // parentheses do the selecting, in both cases since the folder may be
    // case-sensitive.
    setNameFilters({Text(texts::sequenceFilter) + QStringLiteral(" (*.kzt *.KZT)"),
                    Text(texts::allFilesFilter) + QStringLiteral(" (*)")});
    selectNameFilter(nameFilters().constFirst());
}

void SequenceFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (!files.isEmpty() && !QFileInfo(files.constFirst()).dir().exists()) {
        return;
    }
    QFileDialog::accept();
}

QString StartFolder(const QString& shownFile) {
    if (!shownFile.isEmpty()) {
        const QFileInfo shown(shownFile);
        if (shown.dir().exists()) {
            return QDir::toNativeSeparators(shown.absolutePath());
        }
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir::toNativeSeparators(QFileInfo(documents).isDir() ? documents : QDir::homePath());
}

QString AskSequenceFileName(QWidget* parent, const QString& shownFile) {
    const QString folder = StartFolder(shownFile);
    if (const std::optional<QString> chosen = AskWithSystemDialog(parent, folder)) {
        return *chosen;
    }
    SequenceFileDialog dialog(parent, folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

QString OpenFailureReason(const LoadReport& report) {
    switch (report.failure) {
    case LoadFailure::Folder:
        return Text(texts::reasonFolder);
    case LoadFailure::NotRegularFile:
        return Text(texts::reasonNotRegular);
    case LoadFailure::ReadFailed:
        return Text(texts::reasonUnreadable);
    case LoadFailure::OutOfMemory:
        return Text(texts::reasonOutOfMemory);
    case LoadFailure::CannotOpen:
    case LoadFailure::None:
        break;
    }
    switch (report.systemError) {
    case ENOENT:
    case ENOTDIR:
        return Text(texts::reasonMissing);
    case EACCES:
    case EPERM:
        return Text(texts::reasonDenied);
    case EBUSY:
        return Text(texts::reasonHeld);
    case ENAMETOOLONG:
        return Text(texts::reasonNameTooLong);
    case EIO:
        return Text(texts::reasonUnreadable);
    default:
        return {};
    }
}

void ShowOpenError(QWidget* parent, const QString& filePart, const LoadReport& report) {
    QMessageBox box(QMessageBox::Critical, Text(texts::errorTitle),
                    Text(texts::errorBefore) + filePart + Text(texts::errorAfter), QMessageBox::Ok,
                    parent);
    // The reason goes on a line of its own below, so the message reads as it
    // always has.
    box.setInformativeText(OpenFailureReason(report));
    // File names are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
