#include <gtest/gtest.h>

#include "app/ReferenceProject.h"
#include "dataset/PredictionData.h"
#include "interfaces/constants/DataTypeBits.h"

namespace {

// Prediction data with a chosen data type that counts calls of the batch-summary hook.
class CountingPredictionData : public PredictionData {
public:
    CountingPredictionData(boost::shared_ptr<NCProjectBase> project, int type)
        : PredictionData(std::move(project)), mType(type) {}

    int GetNumber() const override { return 1; }
    int GetDataType() const override { return mType; }
    NCIntegralVector<unsigned long, 0> GetObsIDs() const override { return NCIntegralVector<unsigned long, 0>(3, 7); }
    NCIntegralVector<unsigned long, 0> GetVarIDs() const override { return {}; }
    const std::vector<int>& GetUsedObsAliases() const override { return mAliases; }
    const std::vector<int>& GetUsedVarAliases() const override { return mAliases; }
    const char* GetObservationID(int, int) const override { return ""; }
    const char* GetVariableID(int, int) const override { return ""; }
    boost::shared_ptr<BatchInfoVector const> GetBatchInfoVector() const override { return {}; }
    bool HasLaggedValues(int) const override { return false; }
    int GetMaxLag() const override { return 0; }

    int hookCalls = 0;

protected:
    NCDataMatrix<float> DoGetData(bool, boost::shared_ptr<DefaultCenterValues const>) const override { return {}; }
    boost::shared_ptr<PredictionData> DoCreateBatchSummaryPredictionData(int) override {
        ++hookCalls;
        return boost::shared_ptr<PredictionData>(new CountingPredictionData(GetProject(), 1));
    }

private:
    int mType;
    std::vector<int> mAliases{1};
};

TEST(PredictionDataTest, RowsComeFromTheIDsAndBatchSummaryNeedsBatchData) {
    const auto project = ReferenceProject::Create();
    CountingPredictionData plain(project, nc::DataType::kDefault);
    EXPECT_EQ(plain.SizeObservations(), 3);
    EXPECT_EQ(plain.GetObsID(2), 7u);
    EXPECT_EQ(plain.GetObservationInfo(1), nullptr) << "no record with that unique ID";
    EXPECT_FALSE(plain.CreateBatchSummaryPredictionData(1));
    EXPECT_EQ(plain.hookCalls, 0);
    EXPECT_EQ(plain.GetBatchNames().Size(), 0);

    CountingPredictionData batch(project, nc::DataType::kObservationLevelBatch | nc::DataType::kDefault);
    EXPECT_TRUE(batch.CreateBatchSummaryPredictionData(1));
    EXPECT_EQ(batch.hookCalls, 1);
    EXPECT_EQ(batch.GetBatchNames().Size(), 0) << "no batch list, no names";
}

}  // namespace
