// Shapes that a stream may give a matrix: a shape without cells costs no bytes, so its other
// count is bounded by NCDataMatrix::kMaxEmptyDimension; the cells must be addressable.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <sstream>
#include <string>

#include "interfaces/containers/NCDataMatrix.h"
#include "tests/interfaces/containers/ContainerStreamTestHelpers.h"

namespace {

// The section of a matrix of that shape whose values are all missing from the stream.
std::string Header(std::int32_t rows, std::int32_t cols) {
    std::ostringstream os;
    NCDataMatrix<float>::Data().Write(os);
    const std::int32_t shape[2] = {rows, cols};
    WriteFourBytes(shape, 2, os);
    return os.str();
}

// True when the shape reads; a matrix that fails to read keeps its 1 x 1 content.
bool Reads(std::int32_t rows, std::int32_t cols) {
    NCDataMatrix<float> matrix(1, 1, 5.0f);
    std::istringstream is(Header(rows, cols));
    is >> matrix;
    if (is.fail()) {
        EXPECT_EQ(matrix.GetNumRows(), 1);
        EXPECT_EQ(matrix(1, 1), 5.0f);
        return false;
    }
    EXPECT_EQ(matrix.GetNumRows(), rows);
    EXPECT_EQ(matrix.GetNumColumns(), cols);
    return true;
}

TEST(NCDataMatrixShape, EmptyShapesAreBoundedAndCellsMustBeThere) {
    const std::int32_t limit = NCDataMatrix<float>::kMaxEmptyDimension;
    EXPECT_TRUE(Reads(0, 0));
    EXPECT_TRUE(Reads(0, limit));
    EXPECT_TRUE(Reads(limit, 0));
    EXPECT_FALSE(Reads(0, limit + 1));
    EXPECT_FALSE(Reads(limit + 1, 0));
    EXPECT_FALSE(Reads(0, INT_MAX));
    EXPECT_FALSE(Reads(INT_MAX, 0));
    EXPECT_FALSE(Reads(-1, 0));
    EXPECT_FALSE(Reads(2, 2));  // cells whose values are not in the stream

    // Neither can a stream that cannot tell its size hold more cells than can be addressed.
    nctest::PipeBuffer pipe(Header(INT_MAX, INT_MAX) + std::string(64, '\0'));
    std::istream piped(&pipe);
    NCDataMatrix<float> matrix;
    piped >> matrix;
    EXPECT_TRUE(piped.fail());
    EXPECT_EQ(matrix.GetNumRows(), 0);
}

}  // namespace
