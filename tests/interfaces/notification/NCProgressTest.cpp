#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "interfaces/notification/NCProgress.h"

namespace {

class CancellingSink : public NCProgressSink {
public:
    double cancelAt = 3;
    std::vector<std::string> calls;
    void Begin(const char* text, const char*, double, double) override {
        calls.push_back(std::string("Begin ") + text);
    }
    bool Update(double value) override {
        calls.push_back("Update");
        return value >= cancelAt;
    }
    void End() override { calls.push_back("End"); }
};

TEST(NCProgress, ReportsCancellationFromTheSink) {
    auto sink = std::make_shared<CancellingSink>();
    NCProgress::SetSink(sink);
    {
        NCProgress progress("Working", 1, 5, true, true, true);
        EXPECT_FALSE(progress.SetValue(2));
        EXPECT_FALSE(progress.NextSpin());
        EXPECT_TRUE(progress.SetValue(3));
        EXPECT_TRUE(progress.IsCancelled());
        sink->cancelAt = 100;
        EXPECT_TRUE(progress.SetValue(4));  // cancellation is not withdrawn
        NCProgress::SetSink(nullptr);       // the running display keeps its sink
    }
    EXPECT_EQ((std::vector<std::string>{"Begin Working", "Update", "Update", "Update", "End"}), sink->calls);

    NCProgress silent("Silent", 0, 1);
    EXPECT_FALSE(silent.SetValue(1));
}

}  // namespace
