#pragma once
// Building blocks shared by the matrix and vector containers: a growable array of plain values
// (also for bool, which std::vector would pack into bits) and the bounded bulk readers that their
// stream readers use.

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <new>
#include <numeric>
#include <type_traits>
#include <vector>

#include "interfaces/utility/BinaryIO.h"

// Order of a sorted container, or the request for a plain linear search.
enum SortType { NotSorted = 0, Ascending = 1, Descending = 2 };

namespace ncdetail {

// Values that are read or written in one go stream this many bytes at a time when the stream
// cannot tell its size, so that a damaged count never allocates more than what really arrives.
constexpr std::size_t kReadChunkBytes = 64 * 1024;

// The memory of value arrays. Small blocks come from operator new; blocks of kLargeValueBlock
// bytes or more are pages of their own that the system may back with huge pages, so that filling
// a large matrix costs a small fraction of the page faults. Allocation throws std::bad_alloc.
constexpr std::size_t kLargeValueBlock = std::size_t{32} << 20;
void* AllocateValueBlock(std::size_t bytes);
void FreeValueBlock(void* block, std::size_t bytes) noexcept;

template <typename T>
struct ValueBlockRelease {
    std::size_t bytes = 0;
    void operator()(T* block) const noexcept { FreeValueBlock(block, bytes); }
};

// A contiguous array of trivially copyable values. Growth by insertion doubles the capacity;
// storage is left uninitialised until written, so a reader can fill a fresh allocation directly.
template <typename T>
class PodArray {
    static_assert(std::is_trivially_copyable<T>::value, "PodArray holds plain values");

public:
    PodArray() = default;
    PodArray(const PodArray& other) { Assign(other.data(), other.mSize); }
    PodArray(PodArray&& other) noexcept { swap(other); }
    PodArray& operator=(const PodArray& other) {
        if (this != &other) {
            PodArray copy(other);
            swap(copy);
        }
        return *this;
    }
    PodArray& operator=(PodArray&& other) noexcept {
        PodArray moved(std::move(other));
        swap(moved);
        return *this;
    }

    void swap(PodArray& other) noexcept {
        std::swap(mData, other.mData);
        std::swap(mSize, other.mSize);
        std::swap(mCapacity, other.mCapacity);
    }

    std::size_t size() const { return mSize; }
    std::size_t capacity() const { return mCapacity; }
    T* data() { return mData.get(); }
    const T* data() const { return mData.get(); }

    // Replaces the content with `n` values copied from `values` (which may not point into *this).
    void Assign(const T* values, std::size_t n) {
        if (n > mCapacity) Reallocate(n);
        if (n > 0) std::memmove(mData.get(), values, n * sizeof(T));
        mSize = n;
    }

    // Makes room for `n` values without changing the content.
    void reserve(std::size_t n) {
        if (n > mCapacity) Reallocate(n);
    }

    // Exact when the array is empty (a fresh allocation of just `n`), geometric otherwise.
    void resize(std::size_t n, T fill) {
        const std::size_t old = mSize;
        resize_uninitialised(n);
        if (n > old) std::fill(mData.get() + old, mData.get() + n, fill);
    }

    // New values beyond the old size are left for the caller to write.
    void resize_uninitialised(std::size_t n) {
        if (n > mCapacity) Reallocate(mSize == 0 ? n : std::max(n, 2 * mCapacity));
        mSize = n;
    }

    void push_back(T value) {
        if (mSize == mCapacity) Reallocate(std::max<std::size_t>(8, 2 * mCapacity));
        mData[mSize++] = value;
    }

    // Opens a gap of `n` values at 0-based `at` and fills it with `fill`.
    void insert(std::size_t at, std::size_t n, T fill) {
        T* gap = OpenGap(at, n);
        std::fill(gap, gap + n, fill);
    }

    // Opens a gap of `n` values at 0-based `at` and copies `values` into it (which may not point into *this).
    void insert(std::size_t at, const T* values, std::size_t n) {
        T* gap = OpenGap(at, n);
        if (n > 0) std::memcpy(gap, values, n * sizeof(T));
    }

    // Removes `n` values from 0-based `at`.
    void erase(std::size_t at, std::size_t n) {
        assert(at + n <= mSize);
        if (n == 0) return;
        std::memmove(mData.get() + at, mData.get() + at + n, (mSize - at - n) * sizeof(T));
        mSize -= n;
    }

    void clear() { mSize = 0; }

    // Releases the storage too.
    void release() {
        mData.reset();
        mSize = mCapacity = 0;
    }

private:
    T* OpenGap(std::size_t at, std::size_t n) {
        assert(at <= mSize);
        if (mSize + n > mCapacity) Reallocate(std::max(mSize + n, 2 * mCapacity));
        if (n > 0) std::memmove(mData.get() + at + n, mData.get() + at, (mSize - at) * sizeof(T));
        mSize += n;
        return mData.get() + at;
    }

    void Reallocate(std::size_t capacity) {
        if (capacity > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        const std::size_t bytes = capacity * sizeof(T);
        std::unique_ptr<T[], ValueBlockRelease<T>> fresh(
            capacity > 0 ? static_cast<T*>(AllocateValueBlock(bytes)) : nullptr, ValueBlockRelease<T>{bytes});
        if (mSize > 0) std::memcpy(fresh.get(), mData.get(), mSize * sizeof(T));
        mData = std::move(fresh);
        mCapacity = capacity;
    }

    std::unique_ptr<T[], ValueBlockRelease<T>> mData;
    std::size_t mSize = 0;
    std::size_t mCapacity = 0;
};

// Reads a 4-byte count and checks it against the bytes that `bytesPerItem` items need.
inline bool ReadCount(std::istream& is, std::uint64_t bytesPerItem, std::int32_t& count) {
    if (!ReadFourBytes(&count, 1, is)) return false;
    if (count < 0) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    return CanStillRead(is, static_cast<std::uint64_t>(count) * bytesPerItem);
}

// Reads `count` items of sizeof(T) bytes (4, 2 or 1) into `out`, which ends up holding exactly
// them. When the stream can tell its size the storage is allocated once and read in place;
// otherwise it grows as the bytes really arrive. `out` is unspecified after a failure.
template <typename T>
bool ReadArray(PodArray<T>& out, std::uint64_t count, std::istream& is) {
    static_assert(sizeof(T) == 4 || sizeof(T) == 2 || sizeof(T) == 1, "items of 1, 2 or 4 bytes");
    const auto readItems = [&is](T* at, std::size_t n) {
        if (sizeof(T) == 4) return ReadFourBytes(at, n, is);
        if (sizeof(T) == 2) return ReadTwoBytes(at, n, is);
        return ReadBytes(at, n, is);
    };
    if (!CanStillRead(is, count * sizeof(T))) return false;
    if (count > SIZE_MAX / sizeof(T)) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    out.release();
    if (StreamBytesLeft(is) >= 0) {
        out.resize_uninitialised(static_cast<std::size_t>(count));
        return readItems(out.data(), static_cast<std::size_t>(count));
    }
    constexpr std::size_t kChunkItems = kReadChunkBytes / sizeof(T);
    while (out.size() < count) {
        const std::size_t at = out.size();
        const std::size_t step = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkItems, count - at));
        out.resize_uninitialised(at + step);
        if (!readItems(out.data() + at, step)) return false;
    }
    return true;
}

// Sorts `values` stably by `order` (NotSorted keeps the order) and returns, for each new
// position, the value's former 0-based position.
template <typename T>
std::vector<int> StableSortKeepingPositions(PodArray<T>& values, SortType order) {
    std::vector<int> index(values.size());
    std::iota(index.begin(), index.end(), 0);
    const T* v = values.data();
    if (order == Ascending)
        std::stable_sort(index.begin(), index.end(), [v](int a, int b) { return v[a] < v[b]; });
    else if (order == Descending)
        std::stable_sort(index.begin(), index.end(), [v](int a, int b) { return v[b] < v[a]; });
    PodArray<T> sorted;
    sorted.reserve(values.size());
    for (const int i : index) sorted.push_back(v[i]);
    values.swap(sorted);
    return index;
}

}  // namespace ncdetail
