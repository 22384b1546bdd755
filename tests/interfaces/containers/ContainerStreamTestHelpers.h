#pragma once
// Shared checks of the container tests: damaged counts and shapes, which every container reader
// must refuse before it allocates for them, on streams that can tell their size and on pipes.

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>

#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/BinaryIO.h"
#include "tests/LargestAllocation.h"
#include "tests/TestStreams.h"

namespace nctest {

// The tag and version of container class C: the bytes of an empty one without the 4-byte
// numbers it ends with (its count, or a matrix's two-number shape).
template <typename C, int kEndingNumbers>
std::string SectionHeader() {
    std::ostringstream os;
    os << C();
    std::string bytes = os.str();
    bytes.resize(bytes.size() - 4 * kEndingNumbers);
    return bytes;
}

// The section header of C, the given 4-byte numbers (a count or a shape, then anything) and `tail`.
template <typename C, int kEndingNumbers = 1>
std::string SectionWith(std::initializer_list<std::int32_t> numbers, const std::string& tail) {
    std::ostringstream os;
    os << SectionHeader<C, kEndingNumbers>();
    for (const std::int32_t number : numbers) WriteFourBytes(&number, 1, os);
    return os.str() + tail;
}

// Reads `bytes` into a copy of `before`, from a stream that can tell its size and from a pipe:
// each read fails, leaves the copy as it was and allocates less than a megabyte on the way.
template <typename C>
void ExpectReadFailsWithoutAllocating(const std::string& bytes, const C& before) {
    LargestAllocation largest;
    std::istringstream seekable(bytes);
    PipeBuffer pipe(bytes);
    std::istream piped(&pipe);
    for (std::istream* is : {static_cast<std::istream*>(&seekable), &piped}) {
        C object = before;
        *is >> object;
        EXPECT_TRUE(is->fail()) << (is == &piped ? "pipe" : "seekable");
        EXPECT_TRUE(object == before) << "a failed read changed the container";
    }
    if (LargestAllocation::Available()) {
        EXPECT_LT(largest.Bytes(), 1u << 20);
    }
}

}  // namespace nctest
