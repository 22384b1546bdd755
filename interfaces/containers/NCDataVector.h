#pragma once
// NCDataVector<T>: a vector of measured values (used as NCDataVector<float>) with 1-based
// positions. The value −99 marks an absent value; the statistics skip it.
//
// Positions run from 1 to size(); inserting at size()+1 appends. A position outside that range
// is a programmer error, caught by assert in debug builds.
//
// Stream section: tag "NCDV" version 1, a 4-byte count, then the values as 4-byte floats.

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <istream>
#include <numeric>
#include <ostream>
#include <vector>

#include "interfaces/containers/NCContainerSupport.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/BinaryIO.h"

template <typename T>
class NCDataVector : public ZStreamBase {
    static_assert(sizeof(T) == 4, "values are streamed as 4-byte items");

public:
    using value_type = T;

    NCDataVector() = default;
    explicit NCDataVector(int n, T fill = T(-99)) {
        assert(n >= 0);
        mValues.resize(static_cast<std::size_t>(std::max(n, 0)), fill);
    }
    NCDataVector(const NCDataVector&) = default;
    NCDataVector(NCDataVector&&) = default;
    NCDataVector& operator=(const NCDataVector&) = default;
    NCDataVector& operator=(NCDataVector&&) = default;

    int size() const { return static_cast<int>(mValues.size()); }

    // Value at 1-based `i`.
    T operator()(int i) const {
        assert(i >= 1 && i <= size());
        return mValues.data()[i - 1];
    }
    // Stores `value` at 1-based `i` and returns it.
    T operator()(int i, T value) {
        assert(i >= 1 && i <= size());
        mValues.data()[i - 1] = value;
        return value;
    }

    const T* data() const { return mValues.data(); }

    void push_back(T value) { mValues.push_back(value); }
    void Clear() { mValues.release(); }
    void Reserve(int n) { mValues.reserve(static_cast<std::size_t>(std::max(n, 0))); }
    // Keeps the first `n` values, or appends −99 up to `n`.
    void SetSize(int n) {
        assert(n >= 0);
        mValues.resize(static_cast<std::size_t>(std::max(n, 0)), T(-99));
    }

    // Inserts `n` copies of `value` before 1-based `pos` (size()+1 appends).
    void InsertValues(int pos, int n, T value) {
        assert(pos >= 1 && pos <= size() + 1 && n >= 0);
        mValues.insert(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(n), value);
    }
    // Removes `n` values starting at 1-based `pos`.
    void RemoveValues(int pos, int n) {
        assert(n >= 0 && pos >= 1 && pos - 1 + n <= size());
        mValues.erase(static_cast<std::size_t>(pos - 1), static_cast<std::size_t>(n));
    }
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

    // Replaces the content with `n` values copied from `values`.
    void CopyVector(const T* values, int n) {
        assert(n >= 0 && (n == 0 || values));
        ncdetail::PodArray<T> copy;
        copy.Assign(values, static_cast<std::size_t>(n));
        mValues.swap(copy);
    }
    void SetAllValues(T x) { std::fill(mValues.data(), mValues.data() + mValues.size(), x); }

    // Smallest and largest value other than −99; false (min and max untouched) when there is none.
    bool GetMinMax(T& min, T& max) const {
        bool any = false;
        T low = T(), high = T();
        for (std::size_t i = 0; i < mValues.size(); ++i) {
            const T x = mValues.data()[i];
            if (IsMissing(x)) continue;
            if (!any || x < low) low = x;
            if (!any || x > high) high = x;
            any = true;
        }
        if (any) {
            min = low;
            max = high;
        }
        return any;
    }

    // Median of the values other than −99 and NaN (the mean of the middle two for an even count);
    // −99 when there are none.
    T GetMedian() const {
        std::vector<T> present;
        present.reserve(mValues.size());
        for (std::size_t i = 0; i < mValues.size(); ++i)
            if (!IsMissing(mValues.data()[i]) && mValues.data()[i] == mValues.data()[i])
                present.push_back(mValues.data()[i]);
        if (present.empty()) return T(-99);
        const std::size_t mid = present.size() / 2;
        std::nth_element(present.begin(), present.begin() + mid, present.end());
        const T upper = present[mid];
        if (present.size() % 2 == 1) return upper;
        const T lower = *std::max_element(present.begin(), present.begin() + mid);
        return static_cast<T>((static_cast<double>(lower) + upper) / 2);
    }

    // Adds `x` to every value other than −99.
    NCDataVector& operator+=(T x) {
        for (std::size_t i = 0; i < mValues.size(); ++i) {
            T& v = mValues.data()[i];
            if (!IsMissing(v)) v += x;
        }
        return *this;
    }

    bool operator==(const NCDataVector& other) const {
        return size() == other.size() &&
               std::equal(mValues.data(), mValues.data() + mValues.size(), other.mValues.data());
    }
    bool operator!=(const NCDataVector& other) const { return !(*this == other); }

    // Stable sort in place by `type` (−99 sorts as the number it is; NotSorted keeps the order).
    // Returns, for each new position, the value's former 1-based position; also stored in
    // *order when given.
    NCIntegralVector<int, -99> Sort(NCIntegralVector<int, -99>* order = nullptr, SortType type = Ascending) {
        NCIntegralVector<int, -99> positions;
        positions.reserve(size());
        for (const int i : ncdetail::StableSortKeepingPositions(mValues, type)) positions.push_back(i + 1);
        if (order) *order = positions;
        return positions;
    }

    bool ZStreamableStartWrite(std::ostream& os) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
        return StreamSection().WritePlain(os, mSection, bases, [&](std::ostream& out) {
            const auto count = static_cast<std::int32_t>(size());
            WriteFourBytes(&count, 1, out);
            return WriteFourBytes(mValues.data(), mValues.size(), out);
        });
    }

    // Fails (vector unchanged) on a wrong tag, an unknown version, a count that the stream cannot
    // hold or a short stream.
    bool ZStreamableStartRead(std::istream& is) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
        return StreamSection().ReadPlain(is, mSection, bases, [&](std::istream& in) {
            std::int32_t count = 0;
            if (!ncdetail::ReadCount(in, 4, count)) return false;
            ncdetail::PodArray<T> values;
            if (!ncdetail::ReadArray(values, static_cast<std::uint64_t>(count), in)) return false;
            mValues.swap(values);
            return true;
        });
    }

    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& Data() { return StreamSection().Data(); }

private:
    static bool IsMissing(T x) { return x == T(-99); }

    static const Section& StreamSection() {
        static const Section section("NCDV", 1, 0);
        return section;
    }

    ncdetail::PodArray<T> mValues;
    SectionFlag mSection;
};
