#include "SequenceDialogs.h"

#include "QtText.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

SequenceFileDialog::SequenceFileDialog(QWidget* parent) : QFileDialog(parent) {
    setWindowTitle(Text(texts::openTitle));
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

QString AskSequenceFileName(QWidget* parent) {
    SequenceFileDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

void ShowOpenError(QWidget* parent, const QString& filePart) {
    QMessageBox box(QMessageBox::Critical, Text(texts::errorTitle),
                    Text(texts::errorBefore) + filePart + Text(texts::errorAfter), QMessageBox::Ok,
                    parent);
    // File names are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
