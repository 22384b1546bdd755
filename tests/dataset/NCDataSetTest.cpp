#include <sstream>

#include <gtest/gtest.h>

#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/notification/NCError.h"
#include "tests/dataset/DatasetTestProject.h"

using nc::kMissingValue;
using nc::kNoUniqueID;

namespace {

using NCDataSetCoreTest = DatasetTest;

TEST_F(NCDataSetCoreTest, NewDatasetsOwnTheirValues) {
    const auto filled = MakeDataset(2, 3, 2);
    EXPECT_TRUE(filled->IsDirty());
    EXPECT_EQ(filled->SizeObservations(), 3);
    EXPECT_EQ(Value(*filled, 3, 2), 302.0f);
    EXPECT_FALSE(filled->GetBatchInfoVector());
    EXPECT_FALSE(filled->GetPhaseInfoVector());

    NCDataMatrix<float> data(1, 1, 5.0f);
    const NCIntegralVector<unsigned long, 0> ids(1, filled->GetObsID(1));
    const NCIntegralVector<unsigned long, 0> vars(1, filled->GetVarID(1));
    const auto temporary =
        NCDataSet::Create(project, "T", 3, &data, &ids, &vars, {1}, {1}, "log", nullptr, nullptr, true);
    data(1, 1, 6.0f);
    EXPECT_EQ(Value(*temporary, 1, 1), 5.0f) << "the dataset keeps its own copy";
    EXPECT_FALSE(temporary->IsDirty());
    const auto unfilled =
        NCDataSet::Create(project, "U", 4, nullptr, &ids, &vars, {1}, {1}, "", nullptr, nullptr, false);
    EXPECT_EQ(Value(*unfilled, 1, 1), kMissingValue) << "without a matrix every value is missing";
    temporary->clear();
    EXPECT_FALSE(temporary->IsTemporary());
    EXPECT_TRUE(temporary->IsDirty());
}

TEST_F(NCDataSetCoreTest, SetSourceKeepsBatchKindsAndDropsTheSourceOfTheDefaultType) {
    const auto dataset = NCDataSet::Create(project, 2);
    dataset->SetSource(nc::DataType::kDefault, 42);
    EXPECT_EQ(dataset->GetDataType(), nc::DataType::kDefault);
    EXPECT_EQ(dataset->GetSourceID(), kNoUniqueID);
    EXPECT_TRUE(dataset->IsDirty());

    dataset->SetSource(nc::DataType::kBatchConditions, 5);
    dataset->SetSource(nc::DataType::kDefault, 42);
    EXPECT_EQ(dataset->GetDataType(), nc::DataType::kBatchConditions | nc::DataType::kDefault);
    EXPECT_EQ(dataset->GetSourceID(), 42u);

    dataset->SetSource(nc::DataType::kBatchLevel, 9);
    EXPECT_EQ(dataset->GetDataType(), nc::DataType::kBatchLevel)
        << "a type with its own batch kind replaces the old one";
}

TEST_F(NCDataSetCoreTest, SetUsedAliasesMarksDirtyOnlyOnAChangeAndSaveGoesToTheProject) {
    const auto dataset = NCDataSet::Create(project, 2);
    dataset->SetUsedAliases({1}, {1});
    EXPECT_FALSE(dataset->IsDirty());
    dataset->SetUsedAliases({1, 2}, {1});
    EXPECT_TRUE(dataset->IsDirty());
    EXPECT_EQ(dataset->GetUsedObsAliases(), (std::vector<int>{1, 2}));
    dataset->Save();
    EXPECT_EQ(project->GetSavedDatasets(), std::vector<int>{2});
}

TEST_F(NCDataSetCoreTest, IDStringsFollowTheUsedAliasesAndReportMissingRecords) {
    const auto dataset = MakeDataset(2, 2, 2);
    project->GetObservations()[dataset->GetObsID(1)]->AddID(CString("second"));
    dataset->SetUsedAliases({2, 1, 5}, {1});
    EXPECT_STREQ(dataset->GetObservationID(1, 1), "second");
    EXPECT_STREQ(dataset->GetObservationID(1, 2), "O1");
    EXPECT_STREQ(dataset->GetObservationID(1, 3), "") << "column beyond the record's IDs";
    EXPECT_STREQ(dataset->GetObservationID(2, 1), "") << "record without a second ID";
    EXPECT_STREQ(dataset->GetObservationID(3, 1), "") << "observation beyond the dataset";
    EXPECT_STREQ(dataset->GetVariableID(2, 1), "V2");
    EXPECT_STREQ(dataset->GetVariableID(2, 2), "");

    const NCIntegralVector<unsigned long, 0> unknown(1, 999999);
    dataset->AddObservations(&unknown, -1, false);
    dataset->AddVariables(&unknown, -1, false);
    EXPECT_STREQ(dataset->GetVariableID(3, 1), "") << "a variable without a record has no ID";
    try {
        dataset->GetObservationID(3, 1);
        FAIL() << "a missing observation record must throw";
    } catch (const NCError& error) {
        EXPECT_STREQ(error.what(), "An observation ID in the dataset Data could not be found.");
        EXPECT_EQ(error.GetLevel(), 4);
    }

    project.reset();
    EXPECT_STREQ(dataset->GetObservationID(1, 1), "");
    EXPECT_EQ(dataset->GetVariableID(1, 1), nullptr);
    EXPECT_EQ(dataset->GetVariableInfo(1), nullptr);
}

TEST_F(NCDataSetCoreTest, GetDataSharesStorageUntilEitherSideChanges) {
    const auto dataset = MakeDataset(2, 4, 3);
    const NCDataMatrix<float> before = dataset->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    NCDataMatrix<float> other = dataset->GetData(true, boost::shared_ptr<DefaultCenterValues const>());
    EXPECT_TRUE(before.SharesStorageWith(other));

    ASSERT_TRUE(dataset->SetValue(1, 1, 7.0f, false, false, false));
    const NCDataMatrix<float> after = dataset->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    EXPECT_FALSE(before.SharesStorageWith(after));
    EXPECT_EQ(before(1, 1), 101.0f);
    EXPECT_EQ(after(1, 1), 7.0f);

    other(2, 2, -1.0f);
    EXPECT_EQ(Value(*dataset, 2, 2), 202.0f) << "changing a handed-out copy leaves the dataset alone";
    EXPECT_EQ(dataset->GetStrValue(1, 1), "7");
}

TEST_F(NCDataSetCoreTest, ClearAsksTheProjectPerKindAndAVariableVetoStillRemovesObservations) {
    const auto dataset = MakeDataset(2, 3, 2);
    ASSERT_TRUE(dataset->SetValue(1, 1, 1.0f, true, false, false));
    project->SetConsentPolicy([](int, const NCIntegralVector<unsigned long, 0>* vars) { return vars == nullptr; });
    dataset->clear();
    EXPECT_EQ(dataset->SizeObservations(), 0);
    EXPECT_EQ(dataset->SizeVariables(), 2);
    EXPECT_FALSE(dataset->GetIsTrimmed());
    ExpectShapeKept(*dataset);
    ASSERT_EQ(project->GetConsentRequests().size(), 2u);
    EXPECT_EQ(project->GetConsentRequests()[0].variableIDs.size(), 2u);
    EXPECT_FALSE(project->GetConsentRequests()[1].hasVariableList);
    EXPECT_EQ(user->QuestionCount(), 0);
}

TEST_F(NCDataSetCoreTest, GetVariableIDsReadsLoadedOrStoredLists) {
    const auto dataset = MakeDataset(2, 1, 3);
    EXPECT_EQ(NCDataSet::GetVariableIDs(*project, 2), dataset->GetVarIDs());
    EXPECT_EQ(NCDataSet::GetVariableIDs(*project, 5).size(), 0) << "neither loaded nor stored";

    NCIntegralVector<unsigned long, 0> stored;
    stored.push_back(11);
    stored.push_back(12);
    std::ostringstream os;
    os << stored;
    project->GetMemoryStorage().Put(project->GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, 5), os.str());
    EXPECT_EQ(NCDataSet::GetVariableIDs(*project, 5), stored);

    project->GetMemoryStorage().Put(project->GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, 6),
                                    os.str().substr(0, os.str().size() - 2));
    EXPECT_EQ(NCDataSet::GetVariableIDs(*project, 6).size(), 0) << "a damaged list reads as empty";
}

}  // namespace
