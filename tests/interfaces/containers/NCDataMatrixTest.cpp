#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "interfaces/containers/NCDataMatrix.h"
#include "tests/interfaces/containers/ContainerStreamTestHelpers.h"

namespace {

using Matrix = NCDataMatrix<float>;

// Cell (r, c) of a test matrix holds 10 * r + c, so any misplaced value is visible.
Matrix Numbered(int rows, int cols) {
    Matrix m(rows, cols);
    for (int c = 1; c <= cols; ++c)
        for (int r = 1; r <= rows; ++r) m(r, c, static_cast<float>(10 * r + c));
    return m;
}

std::vector<float> Column(const Matrix& m, int c) {
    return std::vector<float>(m.GetColumnPtr(c), m.GetColumnPtr(c) + m.GetNumRows());
}

TEST(NCDataMatrix, ColumnsAreContiguousAndPositionsOneBased) {
    Matrix m = Numbered(3, 2);
    EXPECT_EQ(m(3, 2), 32);
    EXPECT_EQ(m.GetColumnPtr(2), m.GetColumnPtr(1) + 3);
    EXPECT_EQ(Column(m, 1), (std::vector<float>{11, 21, 31}));

    m.InsertRows(2, 1, 0.5f);
    m.InsertRows(m.GetNumRows() + 1, 1);  // appends
    EXPECT_EQ(Column(m, 2), (std::vector<float>{12, 0.5f, 22, 32, -99}));
    m.RemoveRows(1, 2);
    EXPECT_EQ(Column(m, 1), (std::vector<float>{21, 31, -99}));
    EXPECT_EQ(Column(m, 2), (std::vector<float>{22, 32, -99}));

    NCDataVector<float> column(3, 7.0f);
    m.InsertColumn(1, column);
    m.InsertColumns(m.GetNumColumns() + 1, 1, 1.0f);
    EXPECT_EQ(m.GetNumColumns(), 4);
    EXPECT_EQ(Column(m, 1), (std::vector<float>{7, 7, 7}));
    EXPECT_EQ(Column(m, 4), (std::vector<float>{1, 1, 1}));
    NCDataVector<float> row(4, 5.0f);
    m.InsertRow(4, row);
    EXPECT_EQ(m(4, 3), 5);
    m.RemoveColumns(1, 1);
    EXPECT_EQ(Column(m, 1), (std::vector<float>{21, 31, -99, 5}));

    const float values[] = {1, 2, 3, 4};
    m.SetColumn(3, values);
    EXPECT_EQ(m.GetColumn(3)(4), 4);

    m.Resize(2, 4);
    EXPECT_EQ(Column(m, 2), (std::vector<float>{22, 32}));
    EXPECT_EQ(Column(m, 4), (std::vector<float>{-99, -99}));

    Matrix empty;
    empty.InsertRow(1, NCDataVector<float>(3, 2.0f));  // takes its width from the row
    EXPECT_EQ(empty.GetNumRows(), 1);
    EXPECT_EQ(empty.GetNumColumns(), 3);
    empty.Clear();
    empty.InsertColumns(1, 0);
    empty.Resize(0, 0);
    EXPECT_TRUE(empty == Matrix());
}

TEST(NCDataMatrix, ReduceAndConcatKeepTheListedOrder) {
    Matrix m = Numbered(2, 4);
    NCIntegralVector<int, -99> keep;
    for (int c : {4, 1, 4}) keep.push_back(c);
    m.ReduceColumns(keep);
    EXPECT_EQ(m.GetNumColumns(), 3);
    EXPECT_EQ(Column(m, 1), (std::vector<float>{14, 24}));
    EXPECT_EQ(Column(m, 2), (std::vector<float>{11, 21}));
    EXPECT_EQ(Column(m, 3), (std::vector<float>{14, 24}));

    m.ReserveColumns(10);
    m.ConcatColumns(Numbered(2, 1));
    m.ConcatColumns(m);
    EXPECT_EQ(m.GetNumColumns(), 8);
    EXPECT_EQ(Column(m, 8), (std::vector<float>{11, 21}));

    NCDataVector<float> x(8, 0.0f);
    x(2, 2.0f);
    x(8, -1.0f);
    const NCDataVector<float> product = m * x;
    EXPECT_EQ(product.size(), 2);
    EXPECT_EQ(product(1), 2 * 11 - 11);
    EXPECT_EQ(product(2), 2 * 21 - 21);

    Matrix rows = Numbered(3, 2);
    const Matrix shared = rows;
    NCIntegralVector<int, -99> keepRows;
    for (int r : {3, 1}) keepRows.push_back(r);
    rows.ReduceRows(keepRows);
    EXPECT_EQ(rows.GetNumRows(), 2);
    EXPECT_EQ(Column(rows, 2), (std::vector<float>{32, 12}));
    EXPECT_EQ(Column(shared, 2), (std::vector<float>{12, 22, 32}));
}

TEST(NCDataMatrix, CopiesShareStorageUntilEitherSideChanges) {
    const Matrix original = Numbered(3, 3);
    Matrix copy = original;
    EXPECT_TRUE(copy.SharesStorageWith(original));
    EXPECT_EQ(copy.GetColumnPtr(2), original.GetColumnPtr(2));

    copy(2, 2, 0.0f);
    EXPECT_FALSE(copy.SharesStorageWith(original));
    EXPECT_EQ(original(2, 2), 22);
    EXPECT_EQ(copy(2, 2), 0);

    // Each kind of change unlinks a shared matrix first; the original never sees it.
    const auto changes = std::vector<void (*)(Matrix&)>{
        [](Matrix& m) { m.InsertRows(1, 1); },
        [](Matrix& m) { m.InsertColumns(2, 1); },
        [](Matrix& m) { m.RemoveRows(1, 1); },
        [](Matrix& m) { m.RemoveColumns(3, 1); },
        [](Matrix& m) { m.Resize(3, 5); },
        [](Matrix& m) { m.GetMutableColumnPtr(1)[0] = 0; },
        [](Matrix& m) { m.SetColumn(1, m.GetColumnPtr(2)); },
        [](Matrix& m) { m.ConcatColumns(m); },
        [](Matrix& m) { m.Clear(); },
    };
    for (auto change : changes) {
        Matrix other = original;
        Matrix shared = original;
        change(shared);
        EXPECT_TRUE(other == original);
        EXPECT_TRUE(other.SharesStorageWith(original));
        EXPECT_EQ(original(1, 1), 11);
        EXPECT_FALSE(shared == original);
    }

    Matrix owner = Numbered(2, 2);
    float* before = owner.GetMutableColumnPtr(1);
    owner.UnlinkMe();  // not shared: nothing to copy
    EXPECT_EQ(owner.GetMutableColumnPtr(1), before);
}

// Matrices of 32 MiB and more live in pages of their own: growing, copying, shrinking and freeing
// them keeps every value, also when they cross that size either way.
TEST(NCDataMatrix, LargeMatricesKeepTheirValuesAcrossGrowthCopiesAndShrinking) {
    const int rows = (ncdetail::kLargeValueBlock / sizeof(float)) / 4 + 3;  // four columns: just over
    Matrix large = Matrix::Uninitialised(rows, 4);
    for (int c = 1; c <= 4; ++c) {
        float* column = large.GetMutableColumnPtr(c);
        for (int r = 0; r < rows; ++r) column[r] = static_cast<float>(r % 1000 + c);
    }
    Matrix copy = large;
    copy.InsertRows(rows + 1, 5, 7.0f);  // a larger block for the copy
    large.Resize(rows, 2);               // below the large size: small storage again
    EXPECT_EQ(copy.GetNumRows(), rows + 5);
    for (int c = 1; c <= 4; ++c) {
        EXPECT_EQ(copy(rows, c), static_cast<float>((rows - 1) % 1000 + c));
        EXPECT_EQ(copy(rows + 5, c), 7.0f);
    }
    EXPECT_EQ(large(rows, 2), static_cast<float>((rows - 1) % 1000 + 2));
    EXPECT_EQ(large(1, 1), 1.0f);
    large.Clear();
    copy = Matrix();
}

// Bytes and plain round trips are pinned by the golden files; these are the shapes a stream may
// give. A shape without cells costs no bytes, so its other count is bounded by kMaxEmptyDimension;
// cells must be in the stream and addressable, also on a pipe, which cannot tell its size.
TEST(NCDataMatrix, StreamShapesAreCheckedBeforeAnythingIsAllocated) {
    using Shape = std::pair<std::int32_t, std::int32_t>;
    const std::int32_t limit = Matrix::kMaxEmptyDimension;
    for (const Shape& shape : {Shape{0, 0}, Shape{0, limit}, Shape{limit, 0}}) {
        Matrix read = Numbered(1, 1);
        ASSERT_TRUE(nctest::ReadObject(nctest::SectionWith<Matrix, 2>({shape.first, shape.second}, ""), read));
        EXPECT_EQ(read.GetNumRows(), shape.first);
        EXPECT_EQ(read.GetNumColumns(), shape.second);  // a matrix without rows keeps its columns
    }
    const std::string zeros(1000, '\0');
    for (const Shape& shape :
         {Shape{0, limit + 1}, Shape{limit + 1, 0}, Shape{0, INT_MAX}, Shape{INT_MAX, 0}, Shape{-1, 0}, Shape{2, -1},
          Shape{INT_MAX, INT_MAX}, Shape{65536, 65536}, Shape{16, 16}}) {
        SCOPED_TRACE(std::to_string(shape.first) + " x " + std::to_string(shape.second));
        nctest::ExpectReadFailsWithoutAllocating(nctest::SectionWith<Matrix, 2>({shape.first, shape.second}, zeros),
                                                 Numbered(1, 1));
    }
}

}  // namespace
