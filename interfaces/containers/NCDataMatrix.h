#pragma once
// NCDataMatrix<T>: a dense matrix (used as NCDataMatrix<float>) with 1-based rows and columns.
//
// Storage is one contiguous buffer, column after column, so GetColumnPtr gives a column's values
// contiguously. Copies share the buffer until one of them changes: copying and assigning are
// O(1), and every changing operation first calls UnlinkMe, which copies the buffer only when
// another matrix still shares it. A change to one copy is therefore never seen by the other.
// Pointers from GetColumnPtr stay valid until this matrix changes or is destroyed. As with any
// value, one matrix object is used by one thread at a time; copies may live on different threads
// as long as no two threads change copies of one buffer at the very same time.
//
// Positions outside the matrix are programmer errors, caught by assert in debug builds. Inserting
// at GetNumRows()+1 or GetNumColumns()+1 appends. Cells that a resize or an insertion adds without
// a given value hold −99.
//
// Stream section: tag "NCDM" version 1, rows and columns (4 bytes each), then every value as a
// 4-byte float, column after column. A stored shape is refused when its cells could not be
// addressed as one buffer, or when it has no cells and its other count is above
// kMaxEmptyDimension: such a shape costs no bytes in the stream, and the first row or column
// added to it would allocate that many cells.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include <vector>

#include "interfaces/containers/NCContainerSupport.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/BinaryIO.h"

template <typename T>
class NCDataMatrix : public ZStreamBase {
    static_assert(sizeof(T) == 4, "values are streamed as 4-byte items");
    using Storage = ncdetail::PodArray<T>;

public:
    using value_type = T;

    // The largest row or column count that a stored matrix without cells (the other count 0) may
    // have: 2^24, so that one row or column added to it stays within 64 MiB.
    static constexpr std::int32_t kMaxEmptyDimension = 1 << 24;

    NCDataMatrix() = default;
    // A rows x cols matrix with every cell `fill`.
    NCDataMatrix(int rows, int cols, T fill = T(-99)) {
        assert(rows >= 0 && cols >= 0);
        mRows = std::max(rows, 0);
        mCols = std::max(cols, 0);
        if (Cells() > 0) {
            mStore = std::make_shared<Storage>();
            mStore->resize(Cells(), fill);
        }
    }
    // A rows x cols matrix whose cells hold no particular values until written: for a producer
    // that writes every cell itself (a file reader), so that the memory is written only once.
    static NCDataMatrix Uninitialised(int rows, int cols) {
        assert(rows >= 0 && cols >= 0);
        NCDataMatrix matrix;
        matrix.mRows = std::max(rows, 0);
        matrix.mCols = std::max(cols, 0);
        if (matrix.Cells() > 0) {
            matrix.mStore = std::make_shared<Storage>();
            matrix.mStore->resize_uninitialised(matrix.Cells());
        }
        return matrix;
    }
    // Copies share the storage until either side changes.
    NCDataMatrix(const NCDataMatrix&) = default;
    NCDataMatrix& operator=(const NCDataMatrix&) = default;
    NCDataMatrix(NCDataMatrix&& other) noexcept : ZStreamBase(other) { Take(other); }
    NCDataMatrix& operator=(NCDataMatrix&& other) noexcept {
        if (this != &other) Take(other);
        return *this;
    }

    int GetNumRows() const { return mRows; }
    int GetNumColumns() const { return mCols; }

    // Makes the storage this matrix's own when another matrix shares it.
    void UnlinkMe() {
        if (mStore && mStore.use_count() > 1) mStore = std::make_shared<Storage>(*mStore);
    }

    // True when both matrices use one buffer (a copy that neither side has changed yet).
    bool SharesStorageWith(const NCDataMatrix& other) const { return mStore && mStore == other.mStore; }

    // New shape; values where old and new shape overlap are kept, new cells hold −99.
    void Resize(int rows, int cols) {
        assert(rows >= 0 && cols >= 0);
        if (rows == mRows) {
            Own().resize(static_cast<std::size_t>(rows) * cols, T(-99));
            mCols = cols;
            return;
        }
        auto fresh = std::make_shared<Storage>();
        fresh->resize(static_cast<std::size_t>(rows) * cols, T(-99));
        const int keepRows = std::min(rows, mRows);
        for (int c = 0; c < std::min(cols, mCols); ++c)
            std::copy_n(Column(c), keepRows, fresh->data() + static_cast<std::size_t>(c) * rows);
        Replace(std::move(fresh), rows, cols);
    }

    // Empty 0 x 0 matrix; the storage is released (or left to the other sharers).
    void Clear() {
        mStore.reset();
        mRows = mCols = 0;
    }

    // Inserts `n` rows of `fill` before 1-based row `pos`.
    void InsertRows(int pos, int n, T fill = T(-99)) {
        assert(pos >= 1 && pos <= mRows + 1 && n >= 0);
        if (n <= 0) return;
        const int rows = mRows + n;
        auto fresh = std::make_shared<Storage>();
        fresh->resize_uninitialised(static_cast<std::size_t>(rows) * mCols);
        for (int c = 0; c < mCols; ++c) {
            const T* from = Column(c);
            T* to = fresh->data() + static_cast<std::size_t>(c) * rows;
            to = std::copy_n(from, pos - 1, to);
            to = std::fill_n(to, n, fill);
            std::copy_n(from + pos - 1, mRows - pos + 1, to);
        }
        Replace(std::move(fresh), rows, mCols);
    }

    // Inserts `n` columns of `fill` before 1-based column `pos`.
    void InsertColumns(int pos, int n, T fill = T(-99)) {
        assert(pos >= 1 && pos <= mCols + 1 && n >= 0);
        if (n <= 0) return;
        Own().insert(Offset(pos - 1), static_cast<std::size_t>(n) * mRows, fill);
        mCols += n;
    }

    // Inserts one row holding `values` (one per column) before 1-based row `pos`. An empty 0 x 0
    // matrix takes its column count from `values`.
    void InsertRow(int pos, const NCDataVector<T>& values) {
        if (mRows == 0 && mCols == 0) mCols = values.size();
        assert(values.size() == mCols);
        InsertRows(pos, 1);
        if (mCols == 0) return;
        T* data = mStore->data();
        for (int c = 0; c < mCols; ++c) data[Offset(c) + pos - 1] = values(c + 1);
    }

    // Inserts one column holding `values` (one per row) before 1-based column `pos`. An empty
    // 0 x 0 matrix takes its row count from `values`.
    void InsertColumn(int pos, const NCDataVector<T>& values) {
        assert(pos >= 1 && pos <= mCols + 1);
        if (mRows == 0 && mCols == 0) mRows = values.size();
        assert(values.size() == mRows);
        Own().insert(Offset(pos - 1), values.data(), static_cast<std::size_t>(mRows));
        ++mCols;
    }

    // Removes `n` rows starting at 1-based row `pos`.
    void RemoveRows(int pos, int n) {
        assert(n >= 0 && pos >= 1 && pos - 1 + n <= mRows);
        if (n <= 0) return;
        const int rows = mRows - n;
        if (mCols > 0) {
            T* data = Own().data();
            // Each column moves towards the front, never over a column still to be moved.
            for (int c = 0; c < mCols; ++c) {
                const T* from = data + Offset(c);
                T* to = data + static_cast<std::size_t>(c) * rows;
                std::memmove(to, from, static_cast<std::size_t>(pos - 1) * sizeof(T));
                std::memmove(to + pos - 1, from + pos - 1 + n,
                             static_cast<std::size_t>(mRows - pos + 1 - n) * sizeof(T));
            }
            mStore->resize_uninitialised(static_cast<std::size_t>(rows) * mCols);
        }
        mRows = rows;
    }

    // Removes `n` columns starting at 1-based column `pos`.
    void RemoveColumns(int pos, int n) {
        assert(n >= 0 && pos >= 1 && pos - 1 + n <= mCols);
        if (n <= 0) return;
        Own().erase(Offset(pos - 1), static_cast<std::size_t>(n) * mRows);
        mCols -= n;
    }

    // Keeps the listed 1-based columns, in the listed order (a column may repeat).
    void ReduceColumns(const NCIntegralVector<int, -99>& columns) {
        auto fresh = std::make_shared<Storage>();
        fresh->resize_uninitialised(static_cast<std::size_t>(mRows) * columns.size());
        T* to = fresh->data();
        for (const int c : columns) {
            assert(c >= 1 && c <= mCols);
            to = std::copy_n(Column(c - 1), mRows, to);
        }
        Replace(std::move(fresh), mRows, columns.size());
    }

    // Keeps the listed 1-based rows, in the listed order (a row may repeat), in one pass.
    void ReduceRows(const NCIntegralVector<int, -99>& rows) {
        auto fresh = std::make_shared<Storage>();
        fresh->resize_uninitialised(static_cast<std::size_t>(rows.size()) * mCols);
        T* to = fresh->data();
        for (int c = 0; c < mCols; ++c) {
            const T* from = Column(c);
            for (const int r : rows) {
                assert(r >= 1 && r <= mRows);
                *to++ = from[r - 1];
            }
        }
        Replace(std::move(fresh), rows.size(), mCols);
    }

    // Makes room for `n` columns of the current row count, so appending columns does not move data.
    void ReserveColumns(int n) {
        if (n > 0 && mRows > 0) Own().reserve(static_cast<std::size_t>(n) * mRows);
    }

    // Overwrites 1-based column `col` with GetNumRows() values from `values`.
    void SetColumn(int col, const T* values) {
        assert(col >= 1 && col <= mCols && (mRows == 0 || values));
        if (mRows == 0) return;
        std::memmove(GetMutableColumnPtr(col), values, static_cast<std::size_t>(mRows) * sizeof(T));
    }

    // A copy of 1-based column `col`.
    NCDataVector<T> GetColumn(int col) const {
        NCDataVector<T> column;
        column.CopyVector(GetColumnPtr(col), mRows);
        return column;
    }

    // Appends the columns of `other`, which has the same row count (an empty matrix with no
    // columns takes `other`'s shape). `other` may be this matrix.
    void ConcatColumns(const NCDataMatrix& other) {
        if (mCols == 0 && (mRows == 0 || mRows == other.mRows)) {
            *this = other;
            return;
        }
        assert(other.mRows == mRows);
        if (other.mCols == 0) return;
        const NCDataMatrix keep(other);  // keeps `other`'s values alive while this one changes
        Own().insert(Cells(), keep.mStore->data(), keep.Cells());
        mCols += keep.mCols;
    }

    // Value at 1-based (row, col).
    T operator()(int row, int col) const {
        assert(row >= 1 && row <= mRows && col >= 1 && col <= mCols);
        return mStore->data()[Offset(col - 1) + row - 1];
    }
    // Stores `value` at 1-based (row, col) and returns it.
    T operator()(int row, int col, T value) {
        assert(row >= 1 && row <= mRows && col >= 1 && col <= mCols);
        Own().data()[Offset(col - 1) + row - 1] = value;
        return value;
    }

    // Matrix times `v` (one value per column): one value per row. Plain arithmetic: −99 counts
    // as a number.
    NCDataVector<T> operator*(const NCDataVector<T>& v) const {
        assert(v.size() == mCols);
        std::vector<double> sum(static_cast<std::size_t>(mRows), 0.0);
        for (int c = 0; c < mCols; ++c) {
            const double x = v(c + 1);
            const T* column = Column(c);
            for (int r = 0; r < mRows; ++r) sum[r] += column[r] * x;
        }
        NCDataVector<T> product(mRows, T(0));
        for (int r = 0; r < mRows; ++r) product(r + 1, static_cast<T>(sum[r]));
        return product;
    }

    // The GetNumRows() contiguous values of 1-based column `col`; valid until this matrix changes.
    const T* GetColumnPtr(int col) const {
        assert(col >= 1 && col <= mCols);
        return mStore ? mStore->data() + Offset(col - 1) : nullptr;
    }
    // As GetColumnPtr, for writing: the storage is made this matrix's own first.
    T* GetMutableColumnPtr(int col) {
        assert(col >= 1 && col <= mCols);
        if (Cells() == 0) return nullptr;
        return Own().data() + Offset(col - 1);
    }

    // Same shape and equal values.
    bool operator==(const NCDataMatrix& other) const {
        if (mRows != other.mRows || mCols != other.mCols) return false;
        if (Cells() == 0 || mStore == other.mStore) return true;
        return std::equal(mStore->data(), mStore->data() + Cells(), other.mStore->data());
    }
    bool operator!=(const NCDataMatrix& other) const { return !(*this == other); }

    bool ZStreamableStartWrite(std::ostream& os) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
        return StreamSection().WritePlain(os, mSection, bases, [&](std::ostream& out) {
            const std::int32_t shape[2] = {mRows, mCols};
            WriteFourBytes(shape, 2, out);
            return WriteFourBytes(mStore ? mStore->data() : nullptr, Cells(), out);
        });
    }

    // Fails (matrix unchanged) on a wrong tag, an unknown version, a negative shape, a shape
    // refused as described at the top, a shape the stream cannot hold, or a short stream. The
    // values are read straight into the new storage, allocated once; a stream that cannot tell
    // its size is read in steps as the bytes arrive.
    bool ZStreamableStartRead(std::istream& is) override {
        const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
        return StreamSection().ReadPlain(is, mSection, bases, [&](std::istream& in) {
            std::int32_t shape[2] = {0, 0};
            if (!ReadFourBytes(shape, 2, in)) return false;
            const std::uint64_t cells =
                static_cast<std::uint64_t>(std::max(shape[0], 0)) * static_cast<std::uint64_t>(std::max(shape[1], 0));
            const bool emptyTooLong = cells == 0 && std::max(shape[0], shape[1]) > kMaxEmptyDimension;
            if (shape[0] < 0 || shape[1] < 0 || emptyTooLong || cells > PTRDIFF_MAX / sizeof(T)) {
                in.setstate(std::ios_base::failbit);
                return false;
            }
            if (!CanStillRead(in, cells * 4)) return false;
            std::shared_ptr<Storage> fresh;
            if (cells > 0) {
                fresh = std::make_shared<Storage>();
                if (!ncdetail::ReadArray(*fresh, cells, in)) return false;
            }
            mStore = std::move(fresh);
            mRows = shape[0];
            mCols = shape[1];
            return true;
        });
    }

    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& Data() { return StreamSection().Data(); }

private:
    static const Section& StreamSection() {
        static const Section section("NCDM", 1, 0);
        return section;
    }

    std::size_t Cells() const { return static_cast<std::size_t>(mRows) * static_cast<std::size_t>(mCols); }
    std::size_t Offset(int zeroBasedColumn) const { return static_cast<std::size_t>(zeroBasedColumn) * mRows; }
    const T* Column(int zeroBasedColumn) const { return mStore ? mStore->data() + Offset(zeroBasedColumn) : nullptr; }

    // The storage, made this matrix's own (created when there is none).
    Storage& Own() {
        if (!mStore)
            mStore = std::make_shared<Storage>();
        else
            UnlinkMe();
        return *mStore;
    }

    void Replace(std::shared_ptr<Storage> store, int rows, int cols) {
        mStore = std::move(store);
        mRows = rows;
        mCols = cols;
    }

    void Take(NCDataMatrix& other) {
        mStore = std::move(other.mStore);
        mRows = other.mRows;
        mCols = other.mCols;
        other.mStore.reset();
        other.mRows = other.mCols = 0;
    }

    std::shared_ptr<Storage> mStore;  // null when the matrix has no cells
    int mRows = 0;
    int mCols = 0;
    SectionFlag mSection;
};
