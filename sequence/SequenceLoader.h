#pragma once

#include "FileStamp.h"
#include "Sequence.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Results of LoadSequenceFile.
inline constexpr int loadComplete = 1;          // read to the end of the file
inline constexpr int loadNotOpened = 0;         // nothing loaded; the sequence is unchanged
inline constexpr int loadStoppedMalformed = -1; // steps before the malformed line are kept

// Why a load gave loadNotOpened, for messages that name the reason.
enum class LoadFailure : std::uint8_t {
    None,
    CannotOpen,     // systemError says why: no such file, permission denied, ...
    Folder,         // the path names a folder
    NotRegularFile, // a FIFO, a device, a socket
    ReadFailed,     // opened, but a read failed part-way; systemError says why
    OutOfMemory,
};

struct LoadReport {
    int result = loadNotOpened;
    std::uint64_t malformedLine = 0; // 1-based line of the file, 0 unless result is -1
    LoadFailure failure = LoadFailure::None;
    int systemError = 0; // the errno of a failed open or read, else 0
};

// Told how far a load has come, after every block read: the bytes read so far
// and the file's size when it was opened (0 for files that report none). For
// progress displays; it must be cheap, since it is called every 64 KiB.
class LoadObserver {
  public:
    virtual void BlockRead(std::uint64_t bytesRead, std::uint64_t fileSize) = 0;

  protected:
    ~LoadObserver() = default;
};

// Reads a sequence file into `sequence`. A file that cannot be opened as a
// regular file, or that fails to read part-way, gives 0 and leaves `sequence`
// exactly as it was; otherwise the file's steps replace it (1, or -1 when a
// malformed sixth field stopped the read).
int LoadSequenceFile(Sequence& sequence, const std::string& path, LoadReport* report = nullptr,
                     LoadObserver* observer = nullptr);

// Splits bytes into lines and steps. Bytes may arrive in blocks cut anywhere,
// even inside a CR LF pair; lines have no length limit. Used by the loader, by
// the follower as it reads on, and directly by tests and the fuzzer.
class SequenceParser {
  public:
    explicit SequenceParser(Sequence& target);

    // False once a malformed line has stopped parsing; later calls do nothing.
    bool Feed(const char* data, std::size_t size);
    // Ends an unterminated last line. The result of the whole parse. Files end
    // through the follower instead; this serves the fuzzer and the parser tests,
    // which parse bytes held in memory.
    int Finish();
    // What Finish would add for the unterminated last line, without ending it: its step
    // (0 to 99), or -1 when it would add none (no such line, a tag line, a data line whose
    // step is out already, or parsing stopped). A reader of a growing file shows this step
    // for now and lets the bytes that follow decide it.
    int PendingStep() const;
    bool Stopped() const { return stopped; }
    // Steps from now on go to `newTarget`; the parse goes on where it was.
    void Retarget(Sequence& newTarget) { target = &newTarget; }

    // The line being read (1-based); after a stop, the malformed line.
    std::uint64_t LineNumber() const { return lineNumber; }
    // The load's outcome as things stand: 1, or -1 with the malformed line.
    LoadReport Report() const;

  private:
    enum class Phase : std::uint8_t { Prefix, Fields, SixthField, SkipToEnd };

    const char* ParseWholeLines(const char* p, const char* end);
    template <typename Masks> const char* ParseWholeLinesWith(const char* p, const char* end);
    const char* SettleLines(const char* base, std::size_t chunkCount);
    const char* FifthSemicolonOfLongLine(const char* base, const char* lineStart,
                                         const char* lineEnd) const;
#if defined(__x86_64__)
    const char* ParseWholeLinesAvx2(const char* p, const char* end);
#endif
    const char* ConsumeTerminator(const char* terminator, const char* end);
    void EndLine();
    void Emit(int step) {
        pendingSteps[pendingCount] = static_cast<std::int8_t>(step);
        if (++pendingCount == pendingSteps.size()) {
            Flush();
        }
    }
    void Flush();
    void Stop();

    Sequence* target;
    std::vector<std::int8_t> pendingSteps;
    std::vector<std::int8_t> pendingClasses;
    std::size_t pendingCount = 0;
    // One bit per byte of a batch of 64-byte chunks, one chunk more of zeros.
    static constexpr std::size_t batchChunks = 1024;
    std::array<std::uint64_t, batchChunks + 1> semicolonMasks{};
    std::array<std::uint64_t, batchChunks + 1> terminatorMasks{};
    Phase phase = Phase::Prefix;
    int tagMatched = 0;
    int semicolons = 0;
    int fieldLength = 0;
    int fieldValue = 0;
    bool lineHasContent = false;
    bool pendingCarriageReturn = false;
    bool stopped = false;
    std::uint64_t lineNumber = 1;
};

// The unended last line stands in the sequence as the step it would give if the
// file ended here (PendingStep). Reports whether there is such a step.
bool AppendPendingStep(Sequence& sequence, const SequenceParser& parser);

// How many of the last bytes read a reader keeps, to tell later whether they
// were changed in place.
inline constexpr std::size_t keptTailBytes = 4096;

// A whole read of a sequence file, with what a reader of a growing file needs
// to read on where it ended.
struct SequenceFileRead {
    LoadReport report;                      // as LoadSequenceFile gives it
    std::unique_ptr<SequenceParser> parser; // on the sequence read into; null on result 0
    FileStamp stamp;                        // as seen when the file was opened
    std::uint64_t offset = 0;               // the bytes read
    std::string tail;                       // the last of them, up to keptTailBytes
    bool provisional = false;               // the last step stands for an unended last line
};

// Reads the file at `path` into `into`, which should be empty. On result 0 what
// `into` holds is of no use. LoadSequenceFile is this read, so a file loaded and
// a file followed cannot differ.
SequenceFileRead ReadSequenceFile(Sequence& into, const std::string& path,
                                  LoadObserver* observer = nullptr);

// The size of the blocks to read `expectedBytes` in.
std::size_t ReadBlockSize(std::uint64_t expectedBytes);

// Keeps in `tail` the last keptTailBytes of what it held followed by the block.
void KeepTail(std::string& tail, const char* block, std::size_t count);
