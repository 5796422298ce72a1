// Feeds arbitrary bytes to the loader as a file and checks what must hold
// after every load, whatever the bytes.

#include "SequenceLoader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "loader invariant broken: %s\n", what);
        std::abort();
    }
}

void CheckSequence(const Sequence& sequence) {
    const auto steps = sequence.stepList.Elements();
    const auto classes = sequence.classList.Elements();
    Require(steps.size() == classes.size(), "ClassList as long as StepList");
    for (std::size_t k = 0; k < steps.size(); ++k) {
        Require(steps[k] >= 0 && steps[k] <= 99, "every step 0 to 99");
        Require(classes[k] == ClassCode(steps[k]), "every class code that of its step");
    }
}

Sequence PreviousSequence() {
    Sequence previous;
    for (const std::int8_t step : {1, 0, 13, 42}) {
        AppendStep(previous, step);
    }
    return previous;
}

// The same bytes cut into blocks of another size must parse the same.
Sequence ParseInBlocks(const std::uint8_t* data, std::size_t size, std::size_t blockSize,
                       int& result) {
    Sequence parsed;
    SequenceParser parser(parsed);
    for (std::size_t offset = 0; offset < size; offset += blockSize) {
        const std::size_t count = std::min(blockSize, size - offset);
        parser.Feed(reinterpret_cast<const char*>(data) + offset, count);
    }
    result = parser.Finish();
    return parsed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int file = ::memfd_create("sequence.kzt", MFD_CLOEXEC);
    Require(file >= 0, "memfd_create");
    Require(::ftruncate(file, 0) == 0, "truncate");
    Require(::pwrite(file, data, size, 0) == static_cast<ssize_t>(size), "write");
    static const std::string path = "/proc/self/fd/" + std::to_string(file);

    const Sequence previous = PreviousSequence();
    Sequence sequence = previous;
    LoadReport report;
    const int result = LoadSequenceFile(sequence, path, &report);
    Require(result == 1 || result == 0 || result == -1, "result 1, 0 or -1");
    Require(report.result == result, "report matches result");
    Require((result == -1) == (report.malformedLine != 0), "line number only for -1");
    CheckSequence(sequence);
    if (result == 0) {
        Require(sequence == previous, "on 0 the previous sequence untouched");
    }

    // Tiny blocks exercise the byte-wise path, larger ones the 64-byte scan.
    const std::size_t blockSize = size == 0 ? 1 : 1 + (data[0] * 37u) % 300;
    int blockResult = 0;
    const Sequence inBlocks = ParseInBlocks(data, size, blockSize, blockResult);
    Require(blockResult == result, "block size does not change the result");
    Require(std::ranges::equal(inBlocks.stepList.Elements(), sequence.stepList.Elements()),
            "block size does not change the steps");
    return 0;
}
