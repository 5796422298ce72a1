// The open command handed things that are not sequence files, or names a
// careless program would mangle. What cannot be loaded gives the error box and
// leaves sequence and picture exactly as they were; what can is shown. What
// only one platform has (FIFOs and devices, locked files) is in
// OpenHostileFilesPosixTest.cpp and OpenHostileFilesWindowsTest.cpp.

#include "OpenHostileFiles.h"

TEST_P(OpenHostileFiles, GiveTheDocumentedResult) {
    const HostileCase& c = GetParam();
    const QString typed = c.prepare(folder);
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped(typed);
    if (c.loads) {
        EXPECT_FALSE(errorBoxSeen);
        EXPECT_EQ(Window().SequenceFrame()->title(), "Sequenz: " + c.filePart);
        EXPECT_EQ(State().sequence.stepList.Size(), c.steps);
        EXPECT_EQ(State().sequence.classList.Size(), c.steps);
        return;
    }
    if (c.filePart.isEmpty()) {
        EXPECT_TRUE(requesterStayedOpen) << "a folder is entered, not loaded";
        EXPECT_FALSE(errorBoxSeen);
    } else {
        ASSERT_TRUE(errorBoxSeen);
        EXPECT_EQ(errorTitle, "Fehler!");
        EXPECT_EQ(errorText, "Datei '" + c.filePart + "' konnte nicht geöffnet werden!");
        EXPECT_EQ(errorReason, c.reason);
    }
    ExpectUnchanged(picture, sequence);
}

namespace {

QByteArray OneLineOf200Megabytes() {
    QByteArray line(200 * 1024 * 1024, 'x');
    line.prepend(";;;;;12;");
    return line;
}

// "nul.kzt" would be the null device on Windows, whatever the folder.
INSTANTIATE_TEST_SUITE_P(
    Paths, OpenHostileFiles,
    ::testing::Values(
        HostileCase{"folder",
                    [](const QTemporaryDir& folder) {
                        QDir(folder.path()).mkdir("ordner.kzt");
                        return QString("ordner.kzt");
                    },
                    false, ""},
        HostileCase{"nul bytes",
                    [](auto& f) { return Create(f, "nullen.kzt", QByteArray(100000, '\0')); }, true,
                    "nullen.kzt", 100000},
        HostileCase{"single 200 MB line",
                    [](auto& f) { return Create(f, "lang.kzt", OneLineOf200Megabytes()); }, true,
                    "lang.kzt", 1},
        HostileCase{"spaces",
                    [](auto& f) { return Create(f, "mit Leerzeichen.kzt", ";;;;;3\n;;;;;4\n"); },
                    true, "mit Leerzeichen.kzt", 2},
        HostileCase{"umlauts",
                    [](auto& f) {
                        Create(f, "Grüße aus Köln.kzt", ";;;;;3\n;;;;;4\n;;;;;5\n");
                        return QString("Grüße aus Köln");
                    },
                    true, "Grüße aus Köln.kzt", 3}));

} // namespace
