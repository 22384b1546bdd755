#pragma once
// The fuzz targets of the stream readers, one per reader family, as plain functions: the
// libFuzzer programs (FuzzMain.cpp) and the regression test (tests/fuzz/FuzzRegressionsTest.cpp)
// run the very same checks.
//
// Each target reads one object of its family from the input. When that read fails the input is
// rejected, and that is all a damaged stream may cause. When it succeeds the object is written,
// those bytes are read into a new object (which must succeed and consume every byte) and written
// again: both writes must give the same bytes. The input read again through a stream that
// cannot seek must, when it reads, write the same bytes as well. Anything else is a finding: a
// second read that fails, a write that fails, bytes that change, an exception that escapes a
// reader, a contract that a read object breaks. Crashes, leaks and sanitizer reports are
// findings of the fuzzing engine itself.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ZStreamBase;

namespace fuzz {

enum class Verdict {
    Rejected,      // the input does not read as an object of the target's family
    RoundTripped,  // it reads, and the object writes, reads back and writes the same bytes
    Finding,       // a fault of the library (see above)
};

struct Outcome {
    Verdict verdict = Verdict::Rejected;
    std::string finding;  // what went wrong, for a finding
};

// Containers inputs start with one byte that picks the container type (modulo the count).
enum ContainerKind : std::uint8_t {
    kIndexVector,   // NCIntegralVector<int, -99>
    kIDVector,      // NCIntegralVector<unsigned long, 0>
    kFlagVector,    // NCIntegralVector<bool, 0>
    kDataVector,    // NCDataVector<float>
    kDataMatrix,    // NCDataMatrix<float>
    kStringVector,  // NCStringVector
    kContainerKinds
};

// The sub-stream numbers 0 … kProbedSubStreams-1 are the ones the directory target looks for;
// a directory of this library uses fewer. Chunks of other numbers are skipped, as any reader does.
constexpr int kProbedSubStreams = 32;

struct Target {
    // Also the folder name of its regression inputs (fuzz/regressions/<name>/) and, with the
    // prefix "fuzz_", the name of its libFuzzer program.
    std::string name;
    std::function<Outcome(const std::uint8_t* data, std::size_t size)> run;
    // The input that makes the target read `object`; false when the object is not of the
    // target's family. Seed corpora are made with it from the golden objects.
    std::function<bool(const ZStreamBase& object, std::string& input)> frame;
};

// Every target, in a fixed order: containers, directory, records, variables, observations, label,
// the batch records: phase, batch, batchlist, settings (with its column concatenations), dvinfo;
// aligner (the batch aligner's grid);
// local centering: fulllci (the name-keyed centres), lci (their per-phase averages), lcd (the
// project's table of centres), dcv (default centre values); dsinfo (the description of a dataset),
// auxdata (the auxiliary variables of models), cbli (the description of a batch-level dataset,
// with its "BLC" components) and compound (a compound dataset, read into the golden objects'
// project).
const std::vector<Target>& Targets();
// The target of that name, or null.
const Target* FindTarget(const std::string& name);

}  // namespace fuzz
