#include <sstream>

#include <gtest/gtest.h>

#include "tests/dataset/DatasetTestProject.h"

namespace {

// Writing writes nothing and fails the stream; reading fails it too, whatever the stream holds.
void ExpectStreamingFails(const char* what, ZStreamBase& object) {
    std::ostringstream os;
    os << object;
    EXPECT_TRUE(os.fail()) << what;
    EXPECT_TRUE(os.str().empty()) << what;

    std::istringstream is(std::string(64, '\0'));
    is >> object;
    EXPECT_TRUE(is.fail()) << what;
}

using NotYetPersistentTest = DatasetTest;

TEST_F(NotYetPersistentTest, ClassesWithoutASectionFailTheStream) {
    const auto dataset = MakeDataset(1, 2, 2);
    ExpectStreamingFails("NCDataSet", *dataset);
}

}  // namespace
