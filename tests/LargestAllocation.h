#pragma once
// LargestAllocation: the largest single heap allocation made while an instance lives, for the tests
// of the rule that a length read from a stream is checked before anything is allocated for it.
//
// It listens through the sanitizer runtime's allocation hooks, so it sees something only in the
// sanitizer builds (the debug preset); elsewhere Available() is false and the caller skips the
// check. One instance at a time; allocations of every thread count.

#include <atomic>
#include <cstddef>

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                                         void (*free_hook)(const volatile void*)) __attribute__((weak));

namespace nctest {

class LargestAllocation {
public:
    LargestAllocation() {
        Available();
        Largest().store(0);
        Watching().store(true);
    }
    ~LargestAllocation() { Watching().store(false); }
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    // True when allocations can be observed in this build.
    static bool Available() {
        static const bool installed =
            __sanitizer_install_malloc_and_free_hooks && __sanitizer_install_malloc_and_free_hooks(&OnMalloc, &OnFree);
        return installed;
    }

    std::size_t Bytes() const { return Largest().load(); }

private:
    static std::atomic<std::size_t>& Largest() {
        static std::atomic<std::size_t> largest{0};
        return largest;
    }
    static std::atomic<bool>& Watching() {
        static std::atomic<bool> watching{false};
        return watching;
    }
    static void OnFree(const volatile void*) {}
    static void OnMalloc(const volatile void*, std::size_t size) {
        if (!Watching().load(std::memory_order_relaxed)) return;
        std::size_t seen = Largest().load(std::memory_order_relaxed);
        while (size > seen && !Largest().compare_exchange_weak(seen, size)) {
        }
    }
};

}  // namespace nctest
