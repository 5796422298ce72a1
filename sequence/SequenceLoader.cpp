#include "SequenceLoader.h"

#include "ReadOnlyFile.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <new>
#include <span>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr char tag[] = {'Q', 'O', 'R', 'N', '-', 'V'};
constexpr int tagLength = 6;
constexpr int sixthFieldSemicolons = 5;
constexpr std::size_t pendingCapacity = 1 << 14;
// The fast path leaves the last bytes of a block to the state machine, so that
// it may look a few bytes ahead (a tag, a sixth field, the LF of CR LF) unchecked.
constexpr std::ptrdiff_t fastPathMargin = 8;

constexpr std::size_t readBlockSize = 1 << 16; // stays in the cache between the copy and the scan
constexpr std::size_t smallestBlockSize = 1 << 12; // files that report no size, like /proc

constexpr auto classCodes = [] {
    std::array<std::int8_t, 256> codes{};
    for (int step = 0; step < 128; ++step) {
        codes[static_cast<std::size_t>(step)] = ClassCode(step);
    }
    return codes;
}();

// The class codes as a byte shuffle looks them up by the low four bits of a
// step, twice over for the two halves of a 256-bit register.
static_assert(classCodeOfNode.size() <= 16, "a byte shuffle has sixteen entries");
constexpr auto classCodeShuffle = [] {
    std::array<std::int8_t, 32> codes{};
    for (std::size_t k = 0; k < codes.size(); ++k) {
        codes[k] = ClassCode(static_cast<int>(k % 16));
    }
    return codes;
}();

bool IsTerminator(char c) {
    return c == '\n' || c == '\r' || c == '\0';
}

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
        __m128i hits = _mm_or_si128(
            _mm_cmpeq_epi8(block, lineFeed),
            _mm_or_si128(_mm_cmpeq_epi8(block, carriageReturn), _mm_cmpeq_epi8(block, zero)));
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

struct ChunkMasks {
    std::uint64_t semicolons = 0;
    std::uint64_t terminators = 0;
};

// One bit per byte of a 64-byte chunk for ';' and for the line terminators.
struct Sse2Masks {
    static ChunkMasks Of(const char* chunk);
};

#if defined(__x86_64__)
// Half the instructions of the SSE2 masks where the processor has AVX2.
struct Avx2Masks {
    // The four bytes that matter have distinct low nibbles (0, A, B, D), so one
    // table lookup by low nibble and one compare find all of them.
    __attribute__((target("avx2"))) static std::uint64_t Special(__m256i block,
                                                                 std::uint64_t& semicolons) {
        const __m256i byNibble = _mm256_setr_epi8(
            0x00, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0x0A, 0x3B, -1, 0x0D, -1, 0x10, //
            0x00, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0x0A, 0x3B, -1, 0x0D, -1, 0x10);
        const __m256i expected =
            _mm256_shuffle_epi8(byNibble, _mm256_and_si256(block, _mm256_set1_epi8(0x0F)));
        semicolons = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(block, _mm256_set1_epi8(';'))));
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(block, expected)));
    }
    __attribute__((target("avx2"))) static ChunkMasks Of(const char* chunk) {
        std::uint64_t lowSemicolons = 0;
        std::uint64_t highSemicolons = 0;
        const std::uint64_t special =
            Special(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(chunk)), lowSemicolons) |
            Special(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(chunk + 32)),
                    highSemicolons)
                << 32;
        const std::uint64_t semicolons = lowSemicolons | highSemicolons << 32;
        return {semicolons, special & ~semicolons};
    }
};

const bool hasAvx2 = __builtin_cpu_supports("avx2");

// Class codes of 32 steps at once: a 16-entry table lookup, zero beyond the nodes.
__attribute__((target("avx2"))) std::size_t
ClassCodesAvx2(const std::int8_t* steps, std::int8_t* classes, std::size_t count) {
    const __m256i table =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(classCodeShuffle.data()));
    const __m256i nodeCount = _mm256_set1_epi8(static_cast<char>(classCodeOfNode.size()));
    std::size_t k = 0;
    for (; k + 32 <= count; k += 32) {
        const __m256i step = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(steps + k));
        const __m256i known = _mm256_cmpgt_epi8(nodeCount, step); // steps are 0 to 99
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(classes + k),
                            _mm256_and_si256(_mm256_shuffle_epi8(table, step), known));
    }
    return k;
}
#endif

ChunkMasks Sse2Masks::Of(const char* chunk) {
    ChunkMasks masks;
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i zero = _mm_setzero_si128();
    const __m128i semicolon = _mm_set1_epi8(';');
    for (int k = 0; k < 4; ++k) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chunk + 16 * k));
        const __m128i terminators = _mm_or_si128(
            _mm_cmpeq_epi8(block, lineFeed),
            _mm_or_si128(_mm_cmpeq_epi8(block, carriageReturn), _mm_cmpeq_epi8(block, zero)));
        masks.terminators |=
            static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(terminators)))
            << (16 * k);
        masks.semicolons |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(
                                _mm_movemask_epi8(_mm_cmpeq_epi8(block, semicolon))))
                            << (16 * k);
    }
#else
    for (int k = 0; k < 64; ++k) {
        masks.semicolons |= static_cast<std::uint64_t>(chunk[k] == ';') << k;
        masks.terminators |= static_cast<std::uint64_t>(IsTerminator(chunk[k])) << k;
    }
#endif
    return masks;
}

// What a byte can be in a sixth field: the end of the field, or a digit.
constexpr std::uint8_t fieldEnd = 1;
constexpr std::uint8_t fieldDigit = 2;
constexpr auto fieldByteKinds = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (const char c : {';', '\n', '\r', '\0'}) {
        kinds[static_cast<unsigned char>(c)] = fieldEnd;
    }
    for (char c = '0'; c <= '9'; ++c) {
        kinds[static_cast<unsigned char>(c)] = fieldDigit;
    }
    return kinds;
}();

// The value of a sixth field starting at `field`, or -1 when it is not empty or
// one or two digits. Reads exactly three bytes and decides without branches:
// the length of the field varies from line to line and would be mispredicted.
inline int SixthFieldValue(const char* field) {
    const auto c0 = static_cast<unsigned char>(field[0]);
    const auto c1 = static_cast<unsigned char>(field[1]);
    const unsigned k0 = fieldByteKinds[c0];
    const unsigned k1 = fieldByteKinds[c1];
    const unsigned k2 = fieldByteKinds[static_cast<unsigned char>(field[2])];
    const unsigned empty = k0 & fieldEnd;
    const unsigned oneDigit = (k0 >> 1) & k1 & fieldEnd;
    const unsigned twoDigits = (k0 >> 1) & (k1 >> 1) & k2 & fieldEnd;
    const int d0 = c0 - '0';
    const int value = empty ? 0 : oneDigit ? d0 : d0 * 10 + (c1 - '0');
    return (empty | oneDigit | twoDigits) ? value : -1;
}

} // namespace

SequenceParser::SequenceParser(Sequence& target)
    : target(&target), pendingSteps(pendingCapacity), pendingClasses(pendingCapacity) {}

void SequenceParser::Flush() {
    std::size_t k = 0;
#if defined(__x86_64__)
    if (hasAvx2) {
        k = ClassCodesAvx2(pendingSteps.data(), pendingClasses.data(), pendingCount);
    }
#endif
    for (; k < pendingCount; ++k) {
        pendingClasses[k] = classCodes[static_cast<std::uint8_t>(pendingSteps[k])];
    }
    target->stepList.AppendRange(std::span(pendingSteps).first(pendingCount));
    target->classList.AppendRange(std::span(pendingClasses).first(pendingCount));
    pendingCount = 0;
}

void SequenceParser::Stop() {
    stopped = true;
    Flush();
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

// The fast path for the bulk of a block: finds every ';' and terminator of 64
// bytes at once and settles each line that ends inside [p, end) from those
// positions. Returns where the first line it leaves to the byte-wise state
// machine begins (a line near the end of the block), or nullptr when a
// malformed line stopped parsing.
const char* SequenceParser::ParseWholeLines(const char* p, const char* end) {
#if defined(__x86_64__)
    if (hasAvx2) {
        return ParseWholeLinesAvx2(p, end);
    }
#endif
    return ParseWholeLinesWith<Sse2Masks>(p, end);
}

#if defined(__x86_64__)
// Flattened so that the AVX2 masks are inlined into the whole loop.
__attribute__((target("avx2"), flatten)) const char*
SequenceParser::ParseWholeLinesAvx2(const char* p, const char* end) {
    return ParseWholeLinesWith<Avx2Masks>(p, end);
}
#endif

// Masks for a batch of chunks first, lines second: the masks do not depend on
// where lines begin, and a line is then settled from bits already at hand, so
// the work on consecutive lines overlaps instead of waiting on each other.
template <typename Masks>
inline const char* SequenceParser::ParseWholeLinesWith(const char* p, const char* end) {
    const char* lineStart = p;
    while (end - lineStart >= fastPathMargin + 64) {
        const std::size_t available =
            static_cast<std::size_t>(end - lineStart - fastPathMargin) / 64;
        const std::size_t chunkCount = std::min(available, batchChunks);
        for (std::size_t k = 0; k < chunkCount; ++k) {
            const ChunkMasks masks = Masks::Of(lineStart + 64 * k);
            semicolonMasks[k] = masks.semicolons;
            terminatorMasks[k] = masks.terminators;
        }
        semicolonMasks[chunkCount] = 0;
        terminatorMasks[chunkCount] = 0;
        const char* const batchStart = lineStart;
        lineStart = SettleLines(batchStart, chunkCount);
        // Stopped, or a line longer than a batch, which the state machine streams.
        if (lineStart == nullptr || lineStart == batchStart) {
            return lineStart;
        }
    }
    return lineStart;
}

// Settles every line that ends inside the batch at `base`, whose first line
// starts at `base`; returns where the first line that does not end in it begins, or nullptr when a
// malformed line stopped. It walks the terminator bits in order and takes each line's semicolons as
// the 64 bits from the line's start, so a typical line costs a few bit
// operations and no search.
const char* SequenceParser::SettleLines(const char* base, std::size_t chunkCount) {
    const char* lineStart = base;
    // Steps and line count live in locals here: a store of a byte may alias any
    // member, which would make the compiler reload them around every step.
    std::int8_t* out = pendingSteps.data() + pendingCount;
    std::uint64_t lines = lineNumber;
    const auto keep = [&] {
        pendingCount = static_cast<std::size_t>(out - pendingSteps.data());
        lineNumber = lines;
    };
    std::size_t chunk = 0;
    std::uint64_t terminators = terminatorMasks[0];
    for (;;) {
        while (terminators == 0) {
            if (++chunk == chunkCount) {
                keep();
                return lineStart;
            }
            terminators = terminatorMasks[chunk];
        }
        const std::size_t endOffset = chunk * 64 + std::countr_zero(terminators);
        terminators &= terminators - 1;
        const char* const lineEnd = base + endOffset;
        if (!(lineEnd - lineStart >= tagLength && std::equal(tag, tag + tagLength, lineStart))) {
            const auto startOffset = static_cast<std::size_t>(lineStart - base);
            const std::size_t length = endOffset - startOffset;
            const char* fifth = nullptr;
            if (length <= 64) {
                // The 64 bits from the line's start, out of two neighbouring chunks
                // (the batch keeps a chunk of zeros after its last).
                const unsigned shift = startOffset % 64;
                std::uint64_t semicolons = semicolonMasks[startOffset / 64] >> shift;
                if (shift != 0) {
                    semicolons |= semicolonMasks[startOffset / 64 + 1] << (64 - shift);
                }
                if (length < 64) {
                    semicolons &= (std::uint64_t{1} << length) - 1;
                }
                for (int k = 1; k < sixthFieldSemicolons; ++k) {
                    semicolons &= semicolons - 1; // drop the semicolons before the fifth
                }
                if (semicolons != 0) {
                    fifth = lineStart + std::countr_zero(semicolons);
                }
            } else {
                fifth = FifthSemicolonOfLongLine(base, lineStart, lineEnd);
            }
            // The margin keeps the three bytes after the fifth semicolon in the block.
            const int value = fifth == nullptr ? 0 : SixthFieldValue(fifth + 1);
            if (value < 0) {
                keep();
                Stop();
                return nullptr;
            }
            *out++ = static_cast<std::int8_t>(value);
            if (out == pendingSteps.data() + pendingSteps.size()) {
                keep();
                Flush();
                out = pendingSteps.data();
            }
        }
        ++lines;
        lineStart = lineEnd + 1;
        if (*lineEnd == '\r' && *lineStart == '\n') { // in the block: the margin
            ++lineStart;
            // The LF is the next terminator bit: drop it here, or in the next chunk.
            if ((endOffset + 1) % 64 != 0) {
                terminators &= terminators - 1;
            } else if (chunk + 1 < chunkCount) {
                terminatorMasks[chunk + 1] &= ~std::uint64_t{1};
            }
        }
    }
}

const char* SequenceParser::FifthSemicolonOfLongLine(const char* base, const char* lineStart,
                                                     const char* lineEnd) const {
    int count = 0;
    for (const char* at = lineStart; at < lineEnd; at = base + ((at - base) / 64 + 1) * 64) {
        const auto offset = static_cast<std::size_t>(at - base);
        std::uint64_t semicolons =
            semicolonMasks[offset / 64] & (~std::uint64_t{0} << (offset % 64));
        while (semicolons != 0) {
            const char* semicolon = base + offset / 64 * 64 + std::countr_zero(semicolons);
            if (semicolon >= lineEnd) {
                return nullptr;
            }
            if (++count == sixthFieldSemicolons) {
                return semicolon;
            }
            semicolons &= semicolons - 1;
        }
    }
    return nullptr;
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
        if (phase == Phase::Prefix && !lineHasContent) {
            p = ParseWholeLines(p, end);
            if (p == nullptr) {
                return false;
            }
            if (p == end) {
                break;
            }
        }
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
                Stop();
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

int SequenceParser::PendingStep() const {
    if (stopped || !lineHasContent) {
        return -1;
    }
    switch (phase) {
    case Phase::Prefix:
    case Phase::Fields:
        return 0; // fewer than six fields: the sixth is empty
    case Phase::SixthField:
        return fieldValue;
    case Phase::SkipToEnd:
        break;
    }
    return -1; // a tag line, or a data line whose step is out already
}

int SequenceParser::Finish() {
    if (stopped) {
        return loadStoppedMalformed;
    }
    if (const int step = PendingStep(); step >= 0) {
        Emit(step);
    }
    Flush();
    return loadComplete;
}

LoadReport SequenceParser::Report() const {
    if (stopped) {
        return {loadStoppedMalformed, lineNumber};
    }
    return {loadComplete, 0};
}

bool AppendPendingStep(Sequence& sequence, const SequenceParser& parser) {
    const int step = parser.PendingStep();
    if (step < 0) {
        return false;
    }
    AppendStep(sequence, static_cast<std::int8_t>(step));
    return true;
}

std::size_t ReadBlockSize(std::uint64_t expectedBytes) {
    // A small file needs no large block; one byte more sees the end at once.
    return static_cast<std::size_t>(
        std::clamp<std::uint64_t>(expectedBytes + 1, smallestBlockSize, readBlockSize));
}

void KeepTail(std::string& tail, const char* block, std::size_t count) {
    if (count >= keptTailBytes) {
        tail.assign(block + count - keptTailBytes, keptTailBytes);
        return;
    }
    tail.append(block, count);
    if (tail.size() > keptTailBytes) {
        tail.erase(0, tail.size() - keptTailBytes);
    }
}

namespace {

// Growing the lists by doubling touches every page several times over, and
// fresh pages are costly; a guess from the file size (lines are rarely shorter
// than 16 bytes) lets them grow once. Only a guess: untouched pages cost
// nothing, and a failed reservation just leaves the growing to the lists.
void ReserveForFile(Sequence& sequence, std::size_t fileSize) {
    const std::size_t guess = fileSize / 16;
    try {
        sequence.stepList.Reserve(guess);
        sequence.classList.Reserve(guess);
    } catch (const std::bad_alloc&) {
    }
}

// Why a file was refused, in the loader's terms.
void NoteOpenFailure(LoadReport& report, int error) {
    switch (error) {
    case EISDIR:
        report.failure = LoadFailure::Folder;
        break;
    case ENODEV:
        report.failure = LoadFailure::NotRegularFile;
        break;
    default:
        report.failure = LoadFailure::CannotOpen;
        report.systemError = error;
        break;
    }
}

// Reads `file` to its end into `parser`, noting in `read` how far; false when a
// read failed (noted in its report).
bool ReadWhole(const ReadOnlyFile& file, SequenceParser& parser, SequenceFileRead& read,
               LoadObserver* observer) {
    const std::uint64_t fileSize = file.Stamp().size;
    const std::size_t blockSize = ReadBlockSize(fileSize);
    const std::unique_ptr<char[]> block(new char[blockSize]);
    for (;;) {
        const std::int64_t count = file.ReadAt(block.get(), blockSize, read.offset);
        if (count < 0) {
            read.report.failure = LoadFailure::ReadFailed;
            read.report.systemError = errno;
            return false;
        }
        if (count == 0) {
            return true;
        }
        const auto size = static_cast<std::size_t>(count);
        KeepTail(read.tail, block.get(), size);
        read.offset += size;
        if (!parser.Feed(block.get(), size)) {
            return true;
        }
        if (observer != nullptr) {
            observer->BlockRead(read.offset, fileSize);
        }
    }
}

} // namespace

SequenceFileRead ReadSequenceFile(Sequence& into, const std::string& path, LoadObserver* observer) {
    SequenceFileRead read;
    try {
        const ReadOnlyFile file(path);
        if (!file.IsOpen()) {
            NoteOpenFailure(read.report, file.Error());
            return read;
        }
        ReserveForFile(into, file.Stamp().size);
        auto parser = std::make_unique<SequenceParser>(into);
        if (!ReadWhole(file, *parser, read, observer)) {
            return read;
        }
        read.provisional = AppendPendingStep(into, *parser);
        read.report = parser->Report();
        read.stamp = file.Stamp();
        read.parser = std::move(parser);
    } catch (const std::bad_alloc&) {
        read = SequenceFileRead{}; // too large for memory: nothing loaded
        read.report.failure = LoadFailure::OutOfMemory;
    }
    return read;
}

int LoadSequenceFile(Sequence& sequence, const std::string& path, LoadReport* report,
                     LoadObserver* observer) {
    Sequence loaded;
    const SequenceFileRead read = ReadSequenceFile(loaded, path, observer);
    if (read.report.result != loadNotOpened) {
        sequence.Swap(loaded);
    }
    if (report != nullptr) {
        *report = read.report;
    }
    return read.report.result;
}
