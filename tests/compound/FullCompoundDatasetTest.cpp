// FullCompoundDataset: the combined values (later datasets winning, -99 where nobody has a
// value), centred data, the batch-condition check and the extra columns of another dataset.

#include <string>
#include <vector>

#include "centering/LocalCenteringData.h"
#include "compound/FullCompoundDataset.h"
#include "interfaces/constants/DataTypeBits.h"
#include "tests/compound/CompoundTestProject.h"

namespace {

class FullCompoundDatasetTest : public CompoundTest {
protected:
    static NCDataMatrix<float> Data(const NCFullDataContainerBase& container) {
        return container.GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    }
};

constexpr float kMissing = -99.0f;

TEST_F(FullCompoundDatasetTest, LaterDatasetsWinAndUncoveredCellsAreMissing) {
    AddDataset(1, "A B", "V1 V2");
    AddDataset(2, "C D", "V1 V2");  // same variables, other observations: rows below
    AddDataset(3, "A B", "V2 V3");  // same observations, an extra variable: the base is reused
    AddDataset(4, "X B", "V1");     // X precedes the first shared one: built cell by cell
    const FullCompoundDataset below(project, {1, 2});
    const NCDataMatrix<float> stacked = Data(below);
    ASSERT_EQ(stacked.GetNumRows(), 4);
    for (int row = 1; row <= 2; ++row)
        for (int column = 1; column <= 2; ++column) {
            EXPECT_EQ(stacked(row, column), Value(1, row, column));
            EXPECT_EQ(stacked(row + 2, column), Value(2, row, column));
        }

    const FullCompoundDataset wider(project, {1, 3});
    const NCDataMatrix<float> reused = Data(wider);
    ASSERT_EQ(reused.GetNumColumns(), 3);
    for (int row = 1; row <= 2; ++row) {
        EXPECT_EQ(reused(row, 1), Value(1, row, 1));
        EXPECT_EQ(reused(row, 2), Value(3, row, 1)) << "the second dataset's value wins";
        EXPECT_EQ(reused(row, 3), Value(3, row, 2));
    }

    const FullCompoundDataset inserted(project, {1, 4});
    EXPECT_EQ(ObsNames(inserted), "A X B");
    const NCDataMatrix<float> placed = Data(inserted);
    EXPECT_EQ(placed(1, 1), Value(1, 1, 1));
    EXPECT_EQ(placed(2, 1), Value(4, 1, 1));
    EXPECT_EQ(placed(2, 2), kMissing);
    EXPECT_EQ(placed(3, 1), Value(4, 2, 1));
    EXPECT_EQ(placed(3, 2), Value(1, 2, 2));
    EXPECT_EQ(inserted.GetStrValue(2, 2), "");
    EXPECT_EQ(inserted.GetStrValue(3, 2), inserted.GetVariableInfo(2)->Decode(Value(1, 2, 2)));
    EXPECT_EQ(inserted.GetStrValue(4, 1), "") << "beyond the rows";
}

TEST_F(FullCompoundDatasetTest, RegroupedRowsGetTheirOwnValues) {
    Obs("P", "B1"), Obs("Q", "B2"), Obs("R", "B1"), Obs("S", "B1");
    AddDataset(1, "P Q R", "V1", Batches("B1 B2").get());
    AddDataset(2, "R S", "V2", Batches("B1").get());
    project->SetBatchAnswer(true);
    const FullCompoundDataset compound(project, {1, 2});
    ASSERT_EQ(ObsNames(compound), "P R S Q");
    const NCDataMatrix<float> data = Data(compound);
    EXPECT_EQ(data(1, 1), Value(1, 1, 1));
    EXPECT_EQ(data(2, 1), Value(1, 3, 1));
    EXPECT_EQ(data(2, 2), Value(2, 1, 1));
    EXPECT_EQ(data(3, 1), kMissing);
    EXPECT_EQ(data(4, 1), Value(1, 2, 1));
}

TEST_F(FullCompoundDatasetTest, CentredDataSubtractsTheProjectsCentresFromACopy) {
    AddDataset(1, "A B", "V1 V2");
    AddDataset(2, "C", "V2");
    const FullCompoundDataset compound(project, {1, 2});
    const NCDataMatrix<float> raw = Data(compound);
    EXPECT_EQ(compound.GetData(true, nullptr), raw) << "no centres: the values as they are";

    project->GetLocalCenteringData()->AddInfo(10.0f, Var("V2"), -1, nullptr, -1, nullptr);
    const NCDataMatrix<float> centred = compound.GetData(true, nullptr);
    EXPECT_EQ(centred(1, 1), raw(1, 1));
    EXPECT_EQ(centred(3, 2), raw(3, 2) - 10.0f);
    EXPECT_EQ(centred(3, 1), kMissing) << "missing values stay missing";
    EXPECT_EQ(Data(compound), raw) << "the kept matrix is not centred";
}

TEST_F(FullCompoundDatasetTest, BatchConditionCheckNamesTheFirstPairSharingCells) {
    AddDataset(1, "A B", "V1 V2")->SetSource(nc::DataType::kBatchConditions, 5);
    AddDataset(2, "C", "V2")->SetSource(nc::DataType::kBatchConditions, 5);  // no shared observation
    AddDataset(3, "B", "V1");                                                // no batch conditions
    AddDataset(4, "C B", "V3 V2")->SetSource(nc::DataType::kBatchConditions, 5);
    CString message("unchanged");
    EXPECT_FALSE(FullCompoundDataset(project, {1, 2, 3}).CheckBatchConditionCommonObsAndVar(message));
    EXPECT_EQ(std::string(message), "unchanged");
    EXPECT_TRUE(FullCompoundDataset(project, {3, 2, 4, 1}).CheckBatchConditionCommonObsAndVar(message));
    EXPECT_EQ(std::string(message),
              "Dataset D2 and D4 have common variables and observations. Duplicated variables will only be used "
              "from the second dataset.");
}

TEST_F(FullCompoundDatasetTest, ExtraColumnsComeAndGoAndASplitRebuildsTheMatrix) {
    AddDataset(1, "A B", "V1");
    AddDataset(2, "C", "V1");
    AddDataset(5, "Q R S", "W1 W2")->SetSource(0x201, 5);  // as many rows as the compound
    AddDataset(6, "Q", "W3");
    FullCompoundDataset compound(project, {1, 2});
    const NCDataMatrix<float> before = Data(compound);
    const NCIntegralVector<unsigned long, 0> variables = compound.GetVarIDs();

    compound.AppendDACoumns(6);  // a row count other than the compound's
    EXPECT_EQ(compound.GetDatasets(), (std::vector<int>{1, 2}));
    compound.AppendDACoumns(5);
    EXPECT_EQ(compound.GetDatasets(), (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(VarNames(compound), "V1 W1 W2");
    EXPECT_EQ(compound.GetDataType() & 0x200, 0x200);
    const NCDataMatrix<float> appended = Data(compound);
    ASSERT_EQ(appended.GetNumColumns(), 3);
    EXPECT_EQ(appended(3, 3), Value(5, 3, 2));
    EXPECT_EQ(appended(1, 1), before(1, 1));

    compound.RemoveDAColumns(7);
    EXPECT_EQ(compound.SizeVariables(), 3);
    compound.RemoveDAColumns(5);
    EXPECT_EQ(compound.GetDatasets(), (std::vector<int>{1, 2}));
    EXPECT_EQ(compound.GetVarIDs(), variables);
    EXPECT_EQ(Data(compound), before);

    EXPECT_FALSE(compound.SplitDataSet(3, 6));
    EXPECT_TRUE(compound.SplitDataSet(1, 6));
    EXPECT_EQ(ObsNames(compound), "A B Q C");
    const NCDataMatrix<float> split = Data(compound);
    ASSERT_EQ(split.GetNumColumns(), 2);
    EXPECT_EQ(split(3, 2), Value(6, 1, 1));
    EXPECT_EQ(split(4, 1), Value(2, 1, 1));
}

}  // namespace
