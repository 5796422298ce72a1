// The open command through the real requester and message box.

#include "OpenFileFixture.h"

#include <QStandardPaths>

namespace {

TEST_F(OpenFileTest, RequesterIsGermanWithBothFileTypesAndCancelChangesNothing) {
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    const auto watch = WhenModalOpens<QFileDialog>([](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Photonensequenz-Datei öffnen:");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::AnyFile);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        ASSERT_EQ(types->count(), 2);
        EXPECT_EQ(types->itemText(0), "Vael-Kardimex-Sequenz (*.KZT)");
        EXPECT_EQ(types->itemText(1), "Alle Dateien (*.*)");
        EXPECT_EQ(types->currentIndex(), 0);
        EXPECT_EQ(Unmnemonic(RequesterButton(dialog, QDialogButtonBox::Open)->text()), "Öffnen");
        QPushButton* cancel = RequesterButton(dialog, QDialogButtonBox::Cancel);
        EXPECT_EQ(Unmnemonic(cancel->text()), "Abbrechen");
        cancel->click();
    });
    Choose(MenuOpen);
    ExpectUnchanged(picture, sequence);
}

// In the user's documents (their home where there is no such folder) until a
// file is shown, then in that file's folder.
TEST_F(OpenFileTest, RequesterStartsInTheFolderOfTheFileShown) {
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(documents).isDir()) {
        documents = QDir::homePath();
    }
    const QString shown = Write("Messungen/run.kzt", "x;x;x;x;x;3\n");
    for (const QString& expected : {documents, QFileInfo(shown).absolutePath()}) {
        const auto watch = WhenModalOpens<QFileDialog>([expected](QFileDialog* dialog) {
            EXPECT_EQ(dialog->directory().absolutePath(), QDir(expected).absolutePath());
            dialog->reject();
        });
        Choose(MenuOpen);
        viewer->Post({OpenFileEvent, 0, shown});
        Settle(*viewer);
    }
}

TEST_F(OpenFileTest, NameWithoutExtensionLoadsItsKztFileAndNamesItInTheCaption) {
    Write("run.kzt", "QORN-V\nx;x;x;x;x;3\nx;x;x;x;x;4\n");
    OpenTyped("run");
    EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: run.kzt");
    EXPECT_EQ(Elements(State().sequence.stepList), (std::vector<std::int8_t>{3, 4}));
    EXPECT_EQ(Elements(State().sequence.classList), (std::vector<std::int8_t>{2, 2}));
    EXPECT_EQ(Window().windowTitle(), "QORN-V Struktur: Ikosaeder");
    EXPECT_EQ(State().nodeList.Size(), 14u);
    const QImage picture = Composed();
    EXPECT_TRUE(ColourNear(picture, {357, 343}, black)) << "line from node 3 to node 4";
    EXPECT_FALSE(ColourNear(picture, {354, 160}, red)) << "start-up path cleared";
}

TEST_F(OpenFileTest, MissingFileShowsTheErrorBoxAndChangesNothingElse) {
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped("missing");
    ASSERT_TRUE(errorBoxSeen);
    EXPECT_EQ(errorTitle, "Fehler!");
    EXPECT_EQ(errorText, "Datei 'missing.kzt' konnte nicht geöffnet werden!");
    EXPECT_EQ(errorReason, "Die Datei gibt es nicht.");
    EXPECT_EQ(errorIcon, QMessageBox::Critical);
    EXPECT_EQ(errorButtons, QMessageBox::Ok);
    ExpectUnchanged(picture, sequence);
}

TEST_F(OpenFileTest, NameInAFolderThatDoesNotExistIsRefusedByTheRequester) {
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped(folder.filePath("no-such-folder/run.kzt"));
    EXPECT_TRUE(requesterStayedOpen);
    EXPECT_FALSE(errorBoxSeen);
    ExpectUnchanged(picture, sequence);
}

TEST_F(OpenFileTest, MalformedLineShowsThePathReadBeforeIt) {
    Write("cut.KZT", "x;x;x;x;x;3\r\nx;x;x;x;x;4\r\nx;x;x;x;x;zz\r\nx;x;x;x;x;6\r\n");
    OpenTyped("cut.KZT");
    EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: cut.KZT");
    EXPECT_EQ(Elements(State().sequence.stepList), (std::vector<std::int8_t>{3, 4}));
    const QImage picture = Composed();
    EXPECT_TRUE(ColourNear(picture, {357, 343}, black)) << "line from node 3 to node 4";
    EXPECT_EQ(picture.pixel(270, 376) | 0xFF000000u, Background()) << "no line from 4 to 6";
}

TEST_F(OpenFileTest, LoadWhileOctahedronIsTickedDrawsTheOctahedronView) {
    Choose(MenuOctahedron);
    Write("fold.kzt", "x;x;x;x;x;4\nx;x;x;x;x;9\nx;x;x;x;x;13\n");
    OpenTyped("fold.kzt");
    EXPECT_EQ(Window().windowTitle(), "QORN-V Struktur: Oktaeder");
    EXPECT_TRUE(Ticked(MenuOctahedron));
    EXPECT_EQ(State().nodeList.Size(), 8u);
    // Octahedron node 2 (400, 345) to corner 5 (140, 195): red.
    EXPECT_TRUE(ColourNear(Composed(), {335, 307}, red));
}

TEST_F(OpenFileTest, LongPathIsLoadedNotDroppedLikeACancel) {
    const QString deep = QString("d").repeated(80);
    const QString name = deep + "/" + deep + "/" + deep + "/" + deep + "/long.kzt";
    const QString path = Write(name, "x;x;x;x;x;3\nx;x;x;x;x;4\n");
    ASSERT_GT(path.size(), 259);
    OpenTyped(path);
    EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: long.kzt");
    EXPECT_EQ(Elements(State().sequence.stepList), (std::vector<std::int8_t>{3, 4}));
}

} // namespace
