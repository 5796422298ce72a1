#include "SequenceDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

SequenceFileDialog::SequenceFileDialog(QWidget* parent) : QFileDialog(parent) {
    setWindowTitle(QStringLiteral("Photonensequenz-Datei öffnen:"));
    // Qt's own dialog, so the refusal below and the German texts always apply.
    setOptions(DontUseNativeDialog | ReadOnly | HideNameFilterDetails);
    setFileMode(AnyFile);
    setAcceptMode(AcceptOpen);
    // The descriptions are what the user reads; the patterns in the last
    // parentheses do the selecting, in both cases since the folder may be
    // case-sensitive.
    setNameFilters({QStringLiteral("Vael-Kardimex-Sequenz (*.KZT) (*.kzt *.KZT)"),
                    QStringLiteral("Alle Dateien (*.*) (*)")});
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
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Fehler!"),
                    QStringLiteral("Datei '") + filePart +
                        QStringLiteral("' konnte nicht geöffnet werden!"),
                    QMessageBox::Ok, parent);
    // File names are shown as they are, never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
