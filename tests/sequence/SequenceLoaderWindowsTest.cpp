// The loader on what only Windows has: devices, pipes, drive roots, files
// locked by their writer, access lists, wide names and files past 4 GiB. The
// POSIX counterparts are in SequenceLoaderPosixTest.cpp.

#include "ExpectedSequence.h"
#include "ReadOnlyFile.h"
#include "SequenceLoader.h"
#include "TemporaryFile.h"
#include "WindowsFiles.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <chrono>
#include <vector>
#include <winioctl.h>

namespace {

// Closes the handle however the test leaves the function.
struct Closing {
    HANDLE handle;
    ~Closing() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
};

// A pipe whose server waits for a reader that never gets data: opening it
// succeeds, and a read would wait for ever.
Closing WaitingPipe(const std::string& name) {
    return {::CreateNamedPipeW(NativePath(name).c_str(), PIPE_ACCESS_DUPLEX,
                               PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr)};
}

std::string PipeName(const char* what) {
    return "\\\\.\\pipe\\qornv-test-" + std::to_string(::GetCurrentProcessId()) + "-" + what;
}

// The root of the drive the temporary folder is on, C:\ on most computers.
std::string DriveRoot(const TemporaryFolder& folder) {
    return folder.PathOf("").substr(0, 3);
}

void ExpectZeroAtOnceAndNothingChanged(const std::string& path) {
    Sequence sequence = PreviousSequence();
    sequence.stepList.Select(1);
    const Sequence before = sequence;
    LoadReport report;
    report.malformedLine = 42;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(LoadSequenceFile(sequence, path, &report), 0) << path;
    EXPECT_EQ(report.result, 0) << path;
    EXPECT_EQ(report.malformedLine, 0u) << path;
    EXPECT_EQ(sequence, before) << path;
    // Generous: only a blocking open or an endless read could take this long.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << path;
}

TEST(SequenceLoader, AFileThatCannotBeOpenedChangesNothing) {
    TemporaryFolder folder;
    const Closing pipe = WaitingPipe(PipeName("unopenable"));
    ASSERT_NE(pipe.handle, INVALID_HANDLE_VALUE);
    for (const std::string& path :
         {folder.PathOf("missing.kzt"), folder.PathOf(""), PipeName("unopenable"),
          std::string("NUL"), std::string(), folder.PathOf("missing\\inside.kzt")}) {
        ExpectZeroAtOnceAndNothingChanged(path);
    }
}

// Device names stay devices in every folder and with any extension: nul.kzt
// is the null device, con.kzt the console.
TEST(HostileFiles, ThingsThatAreNotRegularFilesGiveZeroAtOnce) {
    TemporaryFolder folder;
    const Closing pipe = WaitingPipe(PipeName("no-writer"));
    ASSERT_NE(pipe.handle, INVALID_HANDLE_VALUE);
    for (const std::string& path :
         {folder.PathOf(""), PipeName("no-writer"), PipeName("no-server"), std::string("NUL"),
          std::string("\\\\.\\NUL"), folder.PathOf("nul.kzt"), folder.PathOf("con.kzt"),
          DriveRoot(folder)}) {
        ExpectZeroAtOnceAndNothingChanged(path);
    }
}

// A recording program that shares its file with no one: the loader must give up
// at once rather than wait for the lock, and keep what it showed.
TEST(HostileFiles, AFileLockedByItsWriterGivesZeroAtOnce) {
    TemporaryFolder folder;
    const std::string path = folder.Write("locked.kzt", ";;;;;5\n");
    const LockedFile lock(path);
    ASSERT_TRUE(lock.IsLocked());
    ExpectZeroAtOnceAndNothingChanged(path);
}

// A file whose access list lets no one read it. Wine does not enforce access
// lists, so there the file stays readable and the test is skipped.
TEST(HostileFiles, AFileWithoutReadPermission) {
    TemporaryFolder folder;
    const std::string path = folder.PathOf("unreadable.kzt");
    ACL noOne{};
    ASSERT_TRUE(::InitializeAcl(&noOne, sizeof noOne, ACL_REVISION));
    SECURITY_DESCRIPTOR descriptor{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&descriptor, TRUE, &noOne, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    {
        // The creator gets the access it asks for; the list applies from then on.
        const Closing file{::CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, &attributes,
                                         CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)};
        ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file.handle, ";;;;;5\n", 7, &written, nullptr));
    }
    const bool readable =
        Closing{::CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr)}
            .handle != INVALID_HANDLE_VALUE;
    if (!readable) {
        ExpectZeroAtOnceAndNothingChanged(path);
    }
    // Everyone again, so that the folder can be removed.
    std::wstring name = NativePath(path).wstring();
    ::SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr);
    if (readable) {
        GTEST_SKIP() << "access lists are not enforced here (Wine): the file stays readable";
    }
}

TEST(HostileFiles, NamesWithSpacesUmlautsCjkCharactersAndBothSlashes) {
    TemporaryFolder folder;
    for (const char* name : {"mit Leerzeichen.kzt", "Grüße aus Köln.kzt", " führend", "ß.KZT",
                             "記録 データ.kzt", "数据.kzt", "기록.kzt", "Ωμέγα ✓.kzt"}) {
        Sequence sequence;
        EXPECT_EQ(LoadSequenceFile(sequence, folder.Write(name, ";;;;;9\n")), 1) << name;
        EXPECT_EQ(sequence.stepList.Size(), 1u) << name;
    }
    // Either slash separates folders here.
    std::filesystem::create_directory(folder.NativePathOf("Ordner 記録"));
    folder.Write("Ordner 記録/run.kzt", ";;;;;9\n");
    for (const std::string& path :
         {folder.PathOf("Ordner 記録") + "/run.kzt", folder.PathOf("Ordner 記録") + "\\run.kzt"}) {
        Sequence sequence;
        EXPECT_EQ(LoadSequenceFile(sequence, path), 1) << path;
        EXPECT_EQ(sequence.stepList.Size(), 1u) << path;
    }
    ExpectZeroAtOnceAndNothingChanged(folder.PathOf("data.old") + "\\run.kzt");
}

// Sizes and offsets past 4 GiB need both halves of the Windows calls. Loading
// such a file whole would make billions of steps of its zeros, so the file
// access the loader and the follower read through is checked instead: the
// size they see, and lines written past 4 GiB read back from there.
TEST(LargeFiles, SizeAndDataPastFourGibibytesAreSeen) {
    TemporaryFolder folder;
    const std::string path = folder.PathOf("large.kzt");
    const std::string lines = ";;;;;7\n;;;;;8\n";
    const std::uint64_t offset = (std::uint64_t{1} << 32) + 4096;
    const std::uint64_t size = offset + lines.size() + 100;
    {
        const Closing file{::CreateFileW(NativePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                         nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)};
        ASSERT_NE(file.handle, INVALID_HANDLE_VALUE);
        // Without it NTFS writes 4 GiB of zeros; where it is refused the file
        // system is sparse already or the test is skipped below.
        DWORD returned = 0;
        ::DeviceIoControl(file.handle, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned,
                          nullptr);
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(offset);
        position.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        if (!::WriteFile(file.handle, lines.data(), static_cast<DWORD>(lines.size()), &written,
                         &position) ||
            !::SetFilePointerEx(file.handle, end, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(file.handle)) {
            GTEST_SKIP() << "the disk refused a file past 4 GiB (error " << ::GetLastError() << ")";
        }
    }
    EXPECT_EQ(StampOfPath(path).size, size);
    const ReadOnlyFile file(path);
    ASSERT_TRUE(file.IsOpen()) << file.Error();
    EXPECT_EQ(file.Stamp().size, size);
    std::string read(lines.size(), '\0');
    EXPECT_EQ(file.ReadAt(read.data(), read.size(), offset),
              static_cast<std::int64_t>(read.size()));
    EXPECT_EQ(read, lines);
    EXPECT_EQ(file.ReadAt(read.data(), read.size(), offset - 2),
              static_cast<std::int64_t>(read.size()));
    EXPECT_EQ(read, std::string(2, '\0') + lines.substr(0, lines.size() - 2));
    EXPECT_EQ(file.ReadAt(read.data(), read.size(), size), 0) << "the end, not an error";
}

} // namespace
