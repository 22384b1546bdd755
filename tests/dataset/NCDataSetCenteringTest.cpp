// Centred data of a dataset: the project's local centres are subtracted from a copy the caller
// owns, and the matrix is copied only when a centre changes something.

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include "centering/DefaultCenterValues.h"
#include "dataset/NCDataSet.h"
#include "tests/centering/CenteringTestProject.h"

namespace {

using Defaults = boost::shared_ptr<DefaultCenterValues const>;

class NCDataSetCenteringTest : public CenteringTest {
protected:
    // Observations of batches B1, B1, B2, B3 and variables X, Y; X holds 11, 12, -99, 14 and Y 5.
    boost::shared_ptr<NCDataSet> MakeDataset() {
        AddObservation({"O1", "B1"});
        AddObservation({"O2", "B1"});
        AddObservation({"O3", "B2"});
        AddObservation({"O4", "B3"});
        x = AddVariable({"X"});
        y = AddVariable({"Y"});
        NCDataMatrix<float> data(4, 2, 5.0f);
        const float xValues[] = {11, 12, -99, 14};
        data.SetColumn(1, xValues);
        auto dataset =
            NCDataSet::Create(project, "Data", 2, &data, &obsIDs, &varIDs, {1}, {1}, "", nullptr, nullptr, false);
        project->AddDataset(dataset);
        return dataset;
    }

    unsigned long x = 0;
    unsigned long y = 0;
};

TEST_F(NCDataSetCenteringTest, CentredDataSubtractsTheBatchCentresFromACopy) {
    const auto dataset = MakeDataset();
    Table().AddInfo(10.0f, x, kBatch, "B1", -1, nullptr);
    Table().AddInfo(1.0f, x, kBatch, "B2", -1, nullptr);
    Table().AddInfo(4.0f, x, kBatch, "B3", -1, nullptr);

    const NCDataMatrix<float> centred = dataset->GetData(true, Defaults());
    EXPECT_EQ(centred(1, 1), 1.0f);
    EXPECT_EQ(centred(2, 1), 2.0f);
    EXPECT_EQ(centred(3, 1), -99.0f) << "a missing value stays missing";
    EXPECT_EQ(centred(4, 1), 10.0f);
    EXPECT_EQ(centred(1, 2), 5.0f) << "a variable without centres is left alone";

    const NCDataMatrix<float> stored = dataset->GetData(false, Defaults());
    EXPECT_EQ(stored(1, 1), 11.0f) << "the dataset's values are not centred";
    EXPECT_FALSE(stored.SharesStorageWith(centred));
}

TEST_F(NCDataSetCenteringTest, WithoutAnyCentreThatChangesItsValuesTheCentredDataIsNotCopied) {
    const auto dataset = MakeDataset();
    const NCDataMatrix<float> stored = dataset->GetData(false, Defaults());
    EXPECT_TRUE(dataset->GetData(true, Defaults()).SharesStorageWith(stored)) << "an empty table";

    Table().AddInfo(3.0f, 12345, -1, nullptr, -1, nullptr);  // a variable of another dataset
    Table().AddInfo(0.0f, x, -1, nullptr, -1, nullptr);
    EXPECT_TRUE(dataset->GetData(true, Defaults()).SharesStorageWith(stored)) << "no centre other than 0";

    // Defaults passed in reach the subtraction: Y, which the table lacks, takes its defaults.
    auto defaults = boost::make_shared<DefaultCenterValues>();
    defaults->AddVar(y, {{{CenteringSelectors::Wildcard(), CenteringSelectors::Wildcard()}, 2.0f}});
    const NCDataMatrix<float> centred = dataset->GetData(true, defaults);
    EXPECT_EQ(centred(1, 2), 3.0f);
    EXPECT_EQ(centred(1, 1), 11.0f);
}

}  // namespace
