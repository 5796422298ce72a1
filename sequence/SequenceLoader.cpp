#include "SequenceLoader.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr char tag[] = {'Q', 'O', 'R', 'N', '-', 'V'};
constexpr int tagLength = 6;
constexpr int sixthFieldSemicolons = 5;
constexpr std::size_t pendingCapacity = 1 << 16;
constexpr std::size_t readBlockSize = 1 << 20;
constexpr std::size_t smallestBlockSize = 1 << 12; // files that report no size, like /proc

bool IsTerminator(char c) { return c == '\n' || c == '\r' || c == '\0'; }

// The scans below are what makes loading run near memory speed: a data line
// is mostly bytes nobody looks at, so they are skipped sixteen at a time.
template <bool withSemicolon> const char* FindSpecial(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    const __m128i semicolon = _mm_set1_epi8(';');
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, lineFeed),
                                    _mm_or_si128(_mm_cmpeq_epi8(block, carriageReturn),
                                                 _mm_cmpeq_epi8(block, zero)));
        if constexpr (withSemicolon) {
            hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, semicolon));
        }
        const int mask = _mm_movemask_epi8(hits);
        if (mask != 0) {
            return p + __builtin_ctz(static_cast<unsigned>(mask));
        }
        p += 16;
    }
#endif
    while (p < end && !IsTerminator(*p) && !(withSemicolon && *p == ';')) {
        ++p;
    }
    return p;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor(descriptor) {}
    ~FileDescriptor() {
        if (descriptor >= 0) {
            ::close(descriptor);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return descriptor; }

private:
    int descriptor;
};

// Only a regular file is a sequence file. The open is non-blocking so that a
// FIFO without a writer is refused at once instead of hanging the window.
int OpenRegularFile(const std::string& path, std::size_t& size) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        return -1;
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        return -1;
    }
    ::posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    size = static_cast<std::size_t>(status.st_size);
    return descriptor;
}

} // namespace

SequenceParser::SequenceParser(Sequence& target) : target(target) {}

void SequenceParser::Emit(int step) {
    pendingSteps.push_back(static_cast<std::int8_t>(step));
    pendingClasses.push_back(ClassCode(step));
    if (pendingSteps.size() == pendingCapacity) {
        Flush();
    }
}

void SequenceParser::Flush() {
    target.stepList.AppendRange(pendingSteps);
    target.classList.AppendRange(pendingClasses);
    pendingSteps.clear();
    pendingClasses.clear();
}

void SequenceParser::EndLine() {
    switch (phase) {
    case Phase::Prefix:
    case Phase::Fields:
        Emit(0); // fewer than six fields: the sixth is empty
        break;
    case Phase::SixthField:
        Emit(fieldValue);
        break;
    case Phase::SkipToEnd:
        break; // a tag line, or a data line whose step is out already
    }
    phase = Phase::Prefix;
    tagMatched = 0;
    semicolons = 0;
    lineHasContent = false;
    ++lineNumber;
}

const char* SequenceParser::ConsumeTerminator(const char* terminator, const char* end) {
    EndLine();
    if (*terminator == '\r') {
        if (terminator + 1 == end) {
            pendingCarriageReturn = true; // an LF may open the next block
        } else if (terminator[1] == '\n') {
            return terminator + 2;
        }
    }
    return terminator + 1;
}

bool SequenceParser::Feed(const char* data, std::size_t size) {
    if (stopped) {
        return false;
    }
    const char* p = data;
    const char* const end = data + size;
    if (pendingCarriageReturn && p < end) {
        pendingCarriageReturn = false;
        if (*p == '\n') {
            ++p;
        }
    }
    while (p < end) {
        switch (phase) {
        case Phase::Prefix:
            if (*p == tag[tagMatched]) {
                lineHasContent = true;
                ++p;
                if (++tagMatched == tagLength) {
                    phase = Phase::SkipToEnd;
                }
            } else {
                phase = Phase::Fields; // the byte is looked at again as data
            }
            break;
        case Phase::Fields: {
            const char* special = FindSpecial<true>(p, end);
            lineHasContent = lineHasContent || special > p;
            if (special == end) {
                p = end;
            } else if (*special == ';') {
                lineHasContent = true;
                p = special + 1;
                if (++semicolons == sixthFieldSemicolons) {
                    phase = Phase::SixthField;
                    fieldLength = 0;
                    fieldValue = 0;
                }
            } else {
                p = ConsumeTerminator(special, end);
            }
            break;
        }
        case Phase::SixthField: {
            const char c = *p;
            if (c == ';') {
                Emit(fieldValue);
                phase = Phase::SkipToEnd;
                ++p;
            } else if (IsTerminator(c)) {
                p = ConsumeTerminator(p, end);
            } else if (c >= '0' && c <= '9' && fieldLength < 2) {
                fieldValue = fieldValue * 10 + (c - '0');
                ++fieldLength;
                ++p;
            } else {
                stopped = true;
                Flush();
                return false;
            }
            break;
        }
        case Phase::SkipToEnd: {
            const char* terminator = FindSpecial<false>(p, end);
            p = terminator == end ? end : ConsumeTerminator(terminator, end);
            break;
        }
        }
    }
    Flush();
    return true;
}

int SequenceParser::Finish() {
    if (stopped) {
        return loadStoppedMalformed;
    }
    if (lineHasContent) {
        EndLine();
    }
    Flush();
    return loadComplete;
}

int LoadSequenceFile(Sequence& sequence, const std::string& path, LoadReport* report) {
    LoadReport outcome;
    try {
        std::size_t fileSize = 0;
        const FileDescriptor file(OpenRegularFile(path, fileSize));
        if (file.Get() >= 0) {
            Sequence loaded;
            SequenceParser parser(loaded);
            // A small file needs no large block; one byte more sees the end at once.
            const std::size_t blockSize = std::clamp(fileSize + 1, smallestBlockSize, readBlockSize);
            const std::unique_ptr<char[]> block(new char[blockSize]);
            bool readFailed = false;
            for (;;) {
                const ssize_t count = ::read(file.Get(), block.get(), blockSize);
                if (count < 0 && errno == EINTR) {
                    continue;
                }
                if (count < 0) {
                    readFailed = true;
                    break;
                }
                if (count == 0 || !parser.Feed(block.get(), static_cast<std::size_t>(count))) {
                    break;
                }
            }
            if (!readFailed) {
                outcome.result = parser.Finish();
                if (outcome.result == loadStoppedMalformed) {
                    outcome.malformedLine = parser.LineNumber();
                }
                sequence.Swap(loaded);
            }
        }
    } catch (const std::bad_alloc&) {
        outcome = LoadReport{}; // too large for memory: nothing loaded, nothing changed
    }
    if (report != nullptr) {
        *report = outcome;
    }
    return outcome.result;
}
