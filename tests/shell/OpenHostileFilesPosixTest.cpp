// The open command handed what only POSIX systems have: FIFOs, devices behind
// links, a backslash inside a name, file modes.

#include "OpenHostileFiles.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Link(const QTemporaryDir& folder, const QString& name, const char* target) {
    EXPECT_EQ(::symlink(target, folder.filePath(name).toLocal8Bit().constData()), 0);
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    PosixPaths, OpenHostileFiles,
    ::testing::Values(
        HostileCase{"fifo without writer",
                    [](const QTemporaryDir& folder) {
                        ::mkfifo(folder.filePath("pipe.kzt").toLocal8Bit().constData(), 0600);
                        return QString("pipe.kzt");
                    },
                    false, "pipe.kzt", 0, "Das ist keine gewöhnliche Datei."},
        HostileCase{"dev zero", [](auto& f) { return Link(f, "zero.kzt", "/dev/zero"); }, false,
                    "zero.kzt", 0, "Das ist keine gewöhnliche Datei."},
        HostileCase{"dev null", [](auto& f) { return Link(f, "null.kzt", "/dev/null"); }, false,
                    "null.kzt", 0, "Das ist keine gewöhnliche Datei."},
        // Without an extension the name is taken for "random.kzt".
        HostileCase{"dev urandom", [](auto& f) { return Link(f, "random", "/dev/urandom"); }, false,
                    "random.kzt", 0, "Die Datei gibt es nicht."},
        HostileCase{"backslash",
                    [](auto& f) {
                        Create(f, "data.old\\run.kzt", ";;;;;3\n");
                        return QString("data.old\\run");
                    },
                    true, "run.kzt", 1}));

TEST_F(OpenFileTest, AFileWithoutReadPermissionGivesTheErrorBox) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file; the loader's own tests cover this as another user";
    }
    Write("gesperrt.kzt", ";;;;;3\n");
    ::chmod(folder.filePath("gesperrt.kzt").toLocal8Bit().constData(), 0);
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped("gesperrt.kzt");
    ASSERT_TRUE(errorBoxSeen);
    EXPECT_EQ(errorText, "Datei 'gesperrt.kzt' konnte nicht geöffnet werden!");
    EXPECT_EQ(errorReason, "Der Zugriff auf die Datei ist nicht erlaubt.");
    ExpectUnchanged(picture, sequence);
}

} // namespace
