#pragma once
// NCIntegralVector<T, Default>: a vector of integral values with 1-based positions.
//
// Used as the index vector NCIntegralVector<int,-99> (positions), the ID vector
// NCIntegralVector<unsigned long,0> (unique IDs) and BoolVector (flags). `Default` is the value
// of cells that a constructor or resize adds when no fill is given.
//
// Positions run from 1 to size(); inserting at size()+1 appends. A position outside that range
// is a programmer error, caught by assert in debug builds. Searches return a position of 1 or
// more when they find the value and 0 when they do not.
//
// Stream section: tag "NCIV" version 1, a 4-byte count, then the values: int and unsigned long
// as 4 bytes each (unsigned long as its low 32 bits; unique IDs are 32-bit), bool as 1 byte.

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <functional>
#include <istream>
#include <numeric>
#include <ostream>
#include <utility>
#include <vector>

#include "interfaces/containers/NCContainerSupport.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/BinaryIO.h"

template <typename T, T Default>
class NCIntegralVector : public ZStreamBase {
    static_assert(std::is_integral<T>::value, "NCIntegralVector holds integral values");

public:
    using value_type = T;
    using iterator = T*;
    using const_iterator = const T*;

    NCIntegralVector() = default;
    explicit NCIntegralVector(int n, T fill = Default) {
        assert(n >= 0);
        mValues.resize(static_cast<std::size_t>(std::max(n, 0)), fill);
    }
    NCIntegralVector(const NCIntegralVector&) = default;
    NCIntegralVector(NCIntegralVector&&) = default;
    NCIntegralVector& operator=(const NCIntegralVector&) = default;
    NCIntegralVector& operator=(NCIntegralVector&&) = default;

    int size() const { return static_cast<int>(mValues.size()); }
    bool empty() const { return mValues.size() == 0; }

    // Value at 1-based `i`.
    T operator[](int i) const {
        assert(i >= 1 && i <= size());
        return mValues.data()[i - 1];
    }
    // Writable value at 1-based `i`; valid until the vector changes size.
    T& operator()(int i) {
        assert(i >= 1 && i <= size());
        return mValues.data()[i - 1];
    }

    void push_back(T value) { mValues.push_back(value); }

    // Inserts `n` copies of `value` before 1-based `pos` (size()+1 appends).
    void InsertValues(int pos, int n, T value) {
        assert(pos >= 1 && pos <= size() + 1 && n >= 0);
        mValues.insert(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(n), value);
    }
    // Inserts all of `other`'s values before 1-based `pos`; `other` may be this vector.
    void InsertValues(int pos, const NCIntegralVector& other) {
        assert(pos >= 1 && pos <= size() + 1);
        if (&other == this) {
            const NCIntegralVector copy(other);
            InsertValues(pos, copy);
            return;
        }
        mValues.insert(static_cast<std::size_t>(pos - 1), other.mValues.data(), other.mValues.size());
    }
    // Removes `n` values starting at 1-based `pos`.
    void RemoveValues(int pos, int n) {
        assert(n >= 0 && pos >= 1 && pos - 1 + n <= size());
        mValues.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(n));
    }

    // Makes the vector `n` values long, every one `fill`.
    void SetNumValues(int n, T fill) {
        assert(n >= 0);
        mValues.clear();
        mValues.resize(static_cast<std::size_t>(n), fill);
    }
    void SetAllValues(T x) { std::fill(begin(), end(), x); }
    void reserve(int n) { mValues.reserve(static_cast<std::size_t>(std::max(n, 0))); }
    // Keeps the first `n` values, or appends copies of `fill` up to `n`.
    void resize(int n, T fill = Default) {
        assert(n >= 0);
        mValues.resize(static_cast<std::size_t>(n), fill);
    }
    void Clear() { mValues.release(); }

    iterator begin() { return mValues.data(); }
    iterator end() { return mValues.data() + mValues.size(); }
    const_iterator begin() const { return mValues.data(); }
    const_iterator end() const { return mValues.data() + mValues.size(); }
    const T* data() const { return mValues.data(); }

    // Appends `other`'s values; `other` may be this vector.
    void Concat(const NCIntegralVector& other) { InsertValues(size() + 1, other); }

    // Keeps the values at the listed 1-based positions, in the listed order (a position may repeat).
    void Reduce(const NCIntegralVector<int, -99>& positions) {
        ncdetail::PodArray<T> kept;
        kept.reserve(static_cast<std::size_t>(positions.size()));
        for (const int p : positions) {
            assert(p >= 1 && p <= size());
            kept.push_back(mValues.data()[p - 1]);
        }
        mValues.swap(kept);
    }

    bool operator==(const NCIntegralVector& other) const {
        return size() == other.size() && std::equal(begin(), end(), other.begin());
    }
    bool operator!=(const NCIntegralVector& other) const { return !(*this == other); }

    // 1-based position of `value` between `from` and `to` inclusive (to = -1: to the end), 0 when
    // absent. NotSorted searches linearly and finds the first occurrence; Ascending and
    // Descending search a range sorted that way by halving and find the first equal value.
    // `from` may be size()+1 (an empty range).
    int Find(T value, SortType type = NotSorted, int from = 1, int to = -1) const {
        if (to == -1) to = size();
        assert(from >= 1 && from <= size() + 1 && to >= 0 && to <= size());
        if (from > to) return 0;
        const T* first = begin() + (from - 1);
        const T* last = begin() + to;
        const T* found = last;
        if (type == NotSorted) {
            found = std::find(first, last, value);
        } else {
            found = LowerBoundIn(first, last, value, type);
            if (found != last && *found != value) found = last;
        }
        return found == last ? 0 : static_cast<int>(found - begin()) + 1;
    }

    // In a vector sorted by `order`: the first 1-based position whose value does not come before
    // `value` (for Ascending, the first value >= `value`); size()+1 when there is none.
    int LowerBound(T value, SortType order = Ascending) const {
        return static_cast<int>(LowerBoundIn(begin(), end(), value, order) - begin()) + 1;
    }

    // As LowerBound, but only from 1-based `from` onward (1 … size()+1), probing at doubling
    // distances before halving: a run of such searches over increasing values walks a sorted
    // vector in linear time overall. Returns size()+1 when no value from `from` on qualifies.
    int GallopingLowerBound(T value, int from, SortType order = Ascending) const {
        assert(from >= 1 && from <= size() + 1);
        const std::size_t n = mValues.size();
        const std::size_t base = static_cast<std::size_t>(from - 1);
        const T* v = mValues.data();
        if (base >= n || !Before(v[base], value, order)) return from;
        std::size_t passed = 0;  // v[base + passed] comes before `value`
        std::size_t step = 1;
        while (base + step < n && Before(v[base + step], value, order)) {
            passed = step;
            step *= 2;
        }
        const T* found = LowerBoundIn(v + base + passed + 1, v + std::min(base + step + 1, n), value, order);
        return static_cast<int>(found - v) + 1;
    }

    // True when every value is in the given order (equal neighbours allowed); NotSorted: true.
    bool IsSorted(SortType order = Ascending) const {
        if (order == NotSorted) return true;
        return std::is_sorted(begin(), end(), [order](T a, T b) { return Before(a, b, order); });
    }

    // Sorts by `order` (NotSorted leaves the order alone) and optionally keeps one of each value.
    void Sort(SortType order = Ascending, bool removeDuplicates = false) {
        if (order != NotSorted) std::sort(begin(), end(), [order](T a, T b) { return Before(a, b, order); });
        if (removeDuplicates) {
            // Duplicates are neighbours only in a sorted vector.
            if (order == NotSorted) std::sort(begin(), end());
            mValues.resize_uninitialised(static_cast<std::size_t>(std::unique(begin(), end()) - begin()));
        }
    }

    // Stable sort by `order`; `originalPositions` receives, for each new position, the value's
    // former 1-based position.
    void SortWithOriginalIndex(SortType order, NCIntegralVector<int, -99>& originalPositions) {
        NCIntegralVector<int, -99> positions;
        positions.reserve(size());
        for (const int i : ncdetail::StableSortKeepingPositions(mValues, order)) positions.push_back(i + 1);
        originalPositions = std::move(positions);
    }

    bool ZStreamableStartWrite(std::ostream& os) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
        return StreamSection().WritePlain(os, mSection, bases, [&](std::ostream& out) {
            const auto count = static_cast<std::int32_t>(size());
            WriteFourBytes(&count, 1, out);
            return WriteValues(out);
        });
    }

    // Fails (vector unchanged) on a wrong tag, an unknown version, a count that the stream cannot
    // hold, a short stream or, for flags, a byte other than 0 or 1.
    bool ZStreamableStartRead(std::istream& is) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
        return StreamSection().ReadPlain(is, mSection, bases, [&](std::istream& in) {
            std::int32_t count = 0;
            if (!ncdetail::ReadCount(in, kStoredBytes, count)) return false;
            ncdetail::PodArray<T> values;
            if (!ReadValues(values, static_cast<std::size_t>(count), in)) return false;
            mValues.swap(values);
            return true;
        });
    }

    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& Data() { return StreamSection().Data(); }

private:
    static const Section& StreamSection() {
        static const Section section("NCIV", 1, 0);
        return section;
    }

    static constexpr std::uint64_t kStoredBytes = std::is_same<T, bool>::value ? 1 : 4;
    using Stored = std::conditional_t<std::is_same<T, bool>::value, std::uint8_t,
                                      std::conditional_t<std::is_signed<T>::value, std::int32_t, std::uint32_t>>;

    static bool Before(T a, T b, SortType order) { return order == Descending ? b < a : a < b; }

    static const T* LowerBoundIn(const T* first, const T* last, T value, SortType order) {
        return std::lower_bound(first, last, value, [order](T a, T b) { return Before(a, b, order); });
    }

    bool WriteValues(std::ostream& os) const {
        if constexpr (sizeof(T) == sizeof(Stored) && !std::is_same<T, bool>::value) {
            return WriteFourBytes(mValues.data(), mValues.size(), os);
        }
        Stored chunk[4096];
        for (std::size_t at = 0; at < mValues.size(); at += 4096) {
            const std::size_t n = std::min<std::size_t>(4096, mValues.size() - at);
            for (std::size_t i = 0; i < n; ++i) chunk[i] = static_cast<Stored>(mValues.data()[at + i]);
            if (kStoredBytes == 1 ? !WriteBytes(chunk, n, os) : !WriteFourBytes(chunk, n, os)) return false;
        }
        return os.good();
    }

    static bool ReadValues(ncdetail::PodArray<T>& out, std::size_t count, std::istream& is) {
        if constexpr (sizeof(T) == sizeof(Stored) && !std::is_same<T, bool>::value) {
            return ncdetail::ReadArray(out, count, is);
        }
        ncdetail::PodArray<Stored> stored;
        if (!ncdetail::ReadArray(stored, count, is)) return false;
        out.resize_uninitialised(count);
        for (std::size_t i = 0; i < count; ++i) {
            const Stored s = stored.data()[i];
            if (std::is_same<T, bool>::value && s > 1) {
                is.setstate(std::ios_base::failbit);
                return false;
            }
            out.data()[i] = static_cast<T>(s);
        }
        return true;
    }

    ncdetail::PodArray<T> mValues;
    SectionFlag mSection;
};

typedef NCIntegralVector<bool, 0> BoolVector;
