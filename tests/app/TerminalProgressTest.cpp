#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "app/TerminalProgress.h"
#include "interfaces/notification/NCProgress.h"

namespace {

// Installs a sink for one test and removes it, and any cancellation request, afterwards.
class ProgressOn : public ::testing::Test {
protected:
    void Install(bool interactive) {
        mSink = std::make_shared<TerminalProgress>(mOut, interactive);
        NCProgress::SetSink(mSink);
    }
    void TearDown() override {
        NCProgress::SetSink(nullptr);
        TerminalProgress::ClearCancel();
    }

    std::ostringstream mOut;
    std::shared_ptr<TerminalProgress> mSink;
};

TEST_F(ProgressOn, PlainLinesSayWhatRanAndHowItEnded) {
    Install(false);
    {
        NCProgress outer("Saving", 0, 10);
        {
            NCProgress inner("Reading data.csv", 0, 200);
            for (int i = 0; i <= 200; ++i) EXPECT_FALSE(inner.SetValue(i));
        }
        NCProgress failed("Aligning", 0, 4);
        failed.SetValue(1);
    }
    // Quick work writes no percentages; a display that ends short of its maximum (an error) says nothing.
    EXPECT_EQ(mOut.str(), "Saving\nReading data.csv\nReading data.csv: done\nAligning\n");
}

TEST_F(ProgressOn, TheBarIsRedrawnInPlaceAndCancellationStopsEveryDisplay) {
    Install(true);
    {
        NCProgress progress("Import", 0, 4);
        progress.SetValue(1);
        progress.SetValue(1);
        progress.SetValue(4);
    }
    const std::string bar = mOut.str();
    EXPECT_NE(bar.find("\rImport [" + std::string(30, '.') + "]   0%"), std::string::npos) << bar;
    EXPECT_NE(bar.find("\rImport [#######"), std::string::npos) << bar;
    EXPECT_NE(bar.find(" 25%"), std::string::npos);
    EXPECT_EQ(bar.find(" 25%"), bar.rfind(" 25%")) << "an unchanged percentage is not drawn again";
    EXPECT_NE(bar.find("Import: done"), std::string::npos);
    EXPECT_EQ(bar.back(), '\n');

    mOut.str("");
    NCProgress progress("Export", 0, 10);
    EXPECT_FALSE(progress.SetValue(1));
    TerminalProgress::RequestCancel();
    EXPECT_TRUE(progress.SetValue(2));
    EXPECT_TRUE(progress.NextSpin());
    NCProgress later("Next", 0, 1);
    EXPECT_TRUE(later.SetValue(0)) << "a request reaches displays made afterwards";
}

}  // namespace
