// One libFuzzer program per target of FuzzTargets.h: NC_FUZZ_TARGET names the target. A finding
// is reported on standard error and ends the run with a trap, which libFuzzer records as a crash
// with the input that caused it.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz/FuzzTargets.h"
#include "varobs/RecordFactory.h"

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    RecordFactory::RegisterRecordClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::Target* const target = fuzz::FindTarget(NC_FUZZ_TARGET);
    if (!target) __builtin_trap();
    const fuzz::Outcome outcome = target->run(data, size);
    if (outcome.verdict == fuzz::Verdict::Finding) {
        std::fprintf(stderr, "finding of fuzz target %s: %s\n", NC_FUZZ_TARGET, outcome.finding.c_str());
        __builtin_trap();
    }
    return 0;
}
