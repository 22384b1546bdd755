// Allocation failures while reading, as SQLite's out-of-memory tests do: every golden file is read
// once for every N, with the Nth allocation of the read failing (std::bad_alloc), until a read
// completes without reaching N. Each read must either succeed with the golden object or fail
// cleanly (a false result, or std::bad_alloc reaching the caller), and leave an object that is
// destroyed without a fault or a leak (LeakSanitizer checks at exit in the debug preset).
//
// The global operator new and delete of this test program are replaced for that (the program's
// definitions take precedence over the C++ runtime's and AddressSanitizer's, also for the calls
// made inside the shared library); they pass everything through to malloc and free unless armed.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>
#include <string>

#include "tests/golden/GoldenObjects.h"

namespace {

std::atomic<bool> gArmed{false};
std::atomic<long> gUntilFailure{0};  // allocations left, the failing one included
std::atomic<bool> gFailed{false};

bool FailThisAllocation() {
    if (!gArmed.load(std::memory_order_relaxed)) return false;
    if (gUntilFailure.fetch_sub(1) != 1) return false;
    gFailed = true;
    return true;
}

void* Allocate(std::size_t size) {
    if (FailThisAllocation()) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* AllocateNoThrow(std::size_t size) noexcept {
    if (FailThisAllocation()) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

// Makes the nth allocation from now fail, once.
void Arm(long n) {
    gFailed = false;
    gUntilFailure = n;
    gArmed = true;
}

// Stops failing; true when the armed allocation was reached (and failed).
bool Disarm() {
    gArmed = false;
    return gFailed.load();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return AllocateNoThrow(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return AllocateNoThrow(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

TEST(AllocationFailure, ArmedAllocatorFailsTheNthAllocationOnce) {
    Arm(2);
    int* first = new int(1);
    bool threw = false;
    try {
        int* second = new int(2);
        delete second;
    } catch (const std::bad_alloc&) {
        threw = true;
    }
    int* third = new int(3);
    EXPECT_TRUE(Disarm());
    EXPECT_TRUE(threw);
    delete first;
    delete third;
}

TEST(AllocationFailure, EveryGoldenReadSucceedsOrFailsCleanlyWhicheverAllocationFails) {
    for (const golden::GoldenEntry& entry : golden::GoldenEntries()) {
        SCOPED_TRACE(entry.name);
        std::ifstream file(std::string(NC_TEST_DATA_DIR) + "/" + golden::GoldenFileName(entry), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(bytes.empty());
        const auto made = entry.make();
        {
            // Unarmed first, so that what a first read sets up once per process is in place.
            const auto warm = entry.makeEmpty();
            std::istringstream is(bytes);
            is >> *warm;
            ASSERT_FALSE(is.fail());
        }
        long n = 1;
        for (;; ++n) {
            auto object = entry.makeEmpty();
            std::istringstream is(bytes);
            bool read = false;
            std::string otherError;
            Arm(n);
            try {
                is >> *object;
                read = !is.fail();
            } catch (const std::bad_alloc&) {
            } catch (const std::exception& error) {
                otherError = error.what();
            }
            const bool failed = Disarm();
            EXPECT_EQ(otherError, "") << "allocation " << n << " failing makes the read throw something else";
            if (read) EXPECT_EQ(entry.difference(*made, *object), "") << "allocation " << n << " failed";
            object.reset();
            if (!failed) {
                EXPECT_TRUE(read) << "the read fails with no allocation failing";
                break;
            }
            if (n > 1000000) {
                ADD_FAILURE() << "the read never completes";
                break;
            }
        }
        // Every full form allocates, also inside the shared library: n == 1 would mean that the
        // replacement operator new is not the one in use. A batch-level component holds three
        // numbers only, and its directory's sub-streams are reused, so it reads without one.
        if (entry.name.find(".full") != std::string::npos && entry.name != "BatchLevelComponent.full") EXPECT_GT(n, 1);
    }
}

}  // namespace
