// The open command handed what only Windows has: names beyond the code page,
// either slash between folders, and a file its writer keeps locked.

#include "OpenHostileFiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <windows.h>

namespace {

INSTANTIATE_TEST_SUITE_P(WindowsPaths, OpenHostileFiles,
                         ::testing::Values(HostileCase{"CJK characters",
                                                       [](auto& f) {
                                                           Create(f, "記録 データ.kzt",
                                                                  ";;;;;3\n;;;;;4\n");
                                                           return QString("記録 データ");
                                                       },
                                                       true, "記録 データ.kzt", 2},
                                           HostileCase{"backslash between folders",
                                                       [](auto& f) {
                                                           QDir(f.path()).mkdir("data.old");
                                                           Create(f, "data.old/run.kzt",
                                                                  ";;;;;3\n");
                                                           return QString("data.old\\run");
                                                       },
                                                       true, "run.kzt", 1}));

// A recording program that shares its file with no one: the error box at once,
// and nothing changed.
TEST_F(OpenFileTest, AFileLockedByItsWriterGivesTheErrorBox) {
    const std::wstring path = Write("gesperrt.kzt", ";;;;;3\n").toStdWString();
    const HANDLE lock = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const QImage picture = Composed();
    const Sequence sequence = State().sequence;
    OpenTyped("gesperrt.kzt");
    ::CloseHandle(lock);
    ASSERT_TRUE(errorBoxSeen);
    EXPECT_EQ(errorText, "Datei 'gesperrt.kzt' konnte nicht geöffnet werden!");
    EXPECT_EQ(errorReason, "Ein anderes Programm hält die Datei gesperrt.");
    ExpectUnchanged(picture, sequence);
}

// Lines a writer appends while it keeps the file locked show once it lets go,
// although letting go changes nothing the file system stamps.
TEST_F(OpenFileTest, LinesWrittenUnderALockShowOnceItIsReleased) {
    const QString path = Write("run.kzt", "x;x;x;x;x;1\nx;x;x;x;x;2\n");
    viewer->Post({OpenFileEvent, 0, path});
    Settle(*viewer);
    ASSERT_EQ(State().sequence.stepList.Size(), 2u);
    const HANDLE lock = ::CreateFileW(path.toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ::SetFilePointer(lock, 0, nullptr, FILE_END);
    DWORD written = 0;
    ::WriteFile(lock, "x;x;x;x;x;3\n", 12, &written, nullptr);
    QElapsedTimer clock;
    for (clock.start(); clock.elapsed() < 1500;) { // three looks at the locked file
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(State().sequence.stepList.Size(), 2u);
    ::CloseHandle(lock);
    for (clock.start(); clock.elapsed() < 3000 && State().sequence.stepList.Size() != 3u;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(State().sequence.stepList.Size(), 3u);
}

} // namespace
