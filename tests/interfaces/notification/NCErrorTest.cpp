#include <gtest/gtest.h>

#include <exception>

#include "interfaces/notification/NCError.h"

namespace {

TEST(NCError, KeepsMessageAndLevel) {
    try {
        throw NCError("Merge of datasets aborted.", static_cast<NCError::Level>(4));
    } catch (const std::exception& e) {
        EXPECT_STREQ("Merge of datasets aborted.", e.what());
        EXPECT_EQ(NCError::Critical, dynamic_cast<const NCError&>(e).GetLevel());
    }
    EXPECT_EQ(NCError::Unspecified, NCError("x").GetLevel());
}

}  // namespace
