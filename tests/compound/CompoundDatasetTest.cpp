// CompoundDataset: the combined rows and columns, merged aliases, batches and phases, the match
// percentage, values of one dataset placed by ID, and the "NCCOMPDS" section.

#include <atomic>
#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <boost/uuid/uuid_io.hpp>

#include "compound/CompoundDataset.h"
#include "dataset/NCDataSetInfo.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "tests/TestStreams.h"
#include "tests/compound/CompoundTestProject.h"

namespace {

class CompoundDatasetTest : public CompoundTest {};

TEST_F(CompoundDatasetTest, OneDatasetIsTakenOverWhole) {
    const auto batches = Batches("B1 B2");
    const auto phases = Phases("Heat Cool");
    auto dataset = AddDataset(4, "A B C", "V1 V2", batches.get(), phases.get());
    dataset->SetUsedAliases({1, 2}, {1});
    const CompoundDataset compound(project, {4});
    EXPECT_EQ(compound.GetObsIDs(), dataset->GetObsIDs());
    EXPECT_EQ(compound.GetVarIDs(), dataset->GetVarIDs());
    EXPECT_EQ(compound.GetUsedObsAliases(), (std::vector<int>{1, 2}));
    EXPECT_EQ(ListNames(compound.GetBatchInfoVector().get()), "B1 B2");
    EXPECT_EQ(ListNames(compound.GetPhaseInfoVector().get()), "Heat Cool");
    EXPECT_NE(compound.GetBatchInfoVector().get(), dataset->GetBatchInfoVector().get()) << "a copy, not shared";
    EXPECT_EQ(compound.GetDataType(), dataset->GetDataType());
    EXPECT_TRUE(compound.IsObservationLevelBatch());
    EXPECT_EQ(compound.GetNumber(), 4);
    EXPECT_EQ(std::string(compound.GetName()), "D4");
    EXPECT_EQ(std::string(compound.GetObservationID(2, 1)), "B");
    EXPECT_EQ(std::string(compound.GetVariableID(2, 1)), "V2");
    EXPECT_EQ(std::string(compound.GetObservationID(4, 1)), "") << "beyond the rows";
    EXPECT_EQ(compound.GetObservationInfo(0), nullptr);
    std::atomic<bool> cancel{false};
    EXPECT_EQ(compound.CalculateMatchPercent(cancel), 100.0f);
}

TEST_F(CompoundDatasetTest, NewObservationsKeepTheirPlaceBesideTheSharedOnes) {
    AddDataset(1, "A B C", "V1 V2")->SetUsedAliases({1}, {1, 3});
    AddDataset(2, "X B Y Z", "V2 V3 V1")->SetUsedAliases({2}, {1, 2});
    AddDataset(3, "C B A", "V2")->SetSource(0x41, 9);
    AddDataset(4, "W X", "V4");  // X came with dataset 2: W goes before it
    const CompoundDataset two(project, {1, 2});
    EXPECT_EQ(ObsNames(two), "A X B C Y Z");
    EXPECT_EQ(VarNames(two), "V1 V2 V3");
    EXPECT_EQ(two.GetUsedObsAliases(), (std::vector<int>{1, 2}));
    EXPECT_EQ(two.GetUsedVarAliases(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(two.GetNumber(), -1);

    const CompoundDataset reordered(project, {1, 3});
    EXPECT_EQ(ObsNames(reordered), "A B C") << "shared observations keep the base order";
    EXPECT_EQ(reordered.GetDataType(), 0x41);

    // Shared observations out of the base order, and a base that is not in ascending unique ID.
    AddDataset(5, "X C Y A Z", "V1");
    EXPECT_EQ(ObsNames(CompoundDataset(project, {1, 5})), "Y A B X C Z");
    EXPECT_EQ(ObsNames(CompoundDataset(project, {3, 5})), "X C B Y A Z");

    const CompoundDataset four(project, {1, 2, 4});
    EXPECT_EQ(ObsNames(four), "A W X B C Y Z");
    EXPECT_EQ(VarNames(four), "V1 V2 V3 V4");
    EXPECT_EQ(std::string(four.GetName()), "D1+D2+D4");

    const auto& map = four.GetVarToDSMap();
    EXPECT_EQ(map.size(), 4u);
    EXPECT_EQ(map.at(Var("V1")), (std::set<int>{1, 2}));
    EXPECT_EQ(map.at(Var("V4")), (std::set<int>{4}));
}

TEST_F(CompoundDatasetTest, BatchesAndPhasesMergeByNameAndBatchesRegroupOnlyWhenTheProjectSaysYes) {
    Obs("P", "B1"), Obs("Q", "B2"), Obs("R", "B1"), Obs("S", "B3"), Obs("T", "B9"), Obs("U", "B4");
    AddDataset(1, "P Q", "V1", Batches("B1 B2").get(), Phases("Heat").get());
    AddDataset(2, "T R S", "V1", Batches("B1 B3").get(), Phases("Heat Cool").get());
    AddDataset(3, "U", "V1", Batches("B4").get(), Phases("Hold").get())->SetSource(0x01, 7);

    const CompoundDataset asIs(project, {1, 2});
    EXPECT_EQ(ListNames(asIs.GetBatchInfoVector().get()), "B1 B2 B3");
    EXPECT_EQ(ListNames(asIs.GetPhaseInfoVector().get()), "Heat Cool");
    EXPECT_EQ(ObsNames(asIs), "P Q T R S") << "the project said no";

    project->SetBatchAnswer(true);
    const CompoundDataset regrouped(project, {1, 2});
    EXPECT_EQ(ObsNames(regrouped), "P R Q S T") << "batch-list order; B9 is in no list and goes last";
    // Dataset 3 adds observations, but its type (no batch bits) does not merge its phases, and
    // no batch occurs twice, so nothing is regrouped.
    const CompoundDataset third(project, {1, 3});
    EXPECT_EQ(ListNames(third.GetBatchInfoVector().get()), "B1 B2 B4");
    EXPECT_EQ(ListNames(third.GetPhaseInfoVector().get()), "Heat");
    EXPECT_EQ(ObsNames(third), "P Q U");
}

TEST_F(CompoundDatasetTest, SplitAndSetupRefuseWhatTheyCannotCombine) {
    for (int number : {3, 5, 7, 9}) AddDataset(number, "O" + std::to_string(number), "V1");
    CompoundDataset compound(project, {3, 5, 9});
    EXPECT_FALSE(compound.SplitDataSet(4, 7));
    EXPECT_FALSE(compound.SplitDataSet(5, 9));
    EXPECT_EQ(compound.GetDatasets(), (std::vector<int>{3, 5, 9}));
    EXPECT_TRUE(compound.SplitDataSet(5, 7));
    EXPECT_EQ(compound.GetDatasets(), (std::vector<int>{3, 5, 7, 9}));
    EXPECT_EQ(ObsNames(compound), "O3 O5 O7 O9");

    try {
        compound.SplitDataSet(3, 42);
        ADD_FAILURE() << "an unknown dataset was combined";
    } catch (const NCError& error) {
        EXPECT_STREQ(error.what(), "The project has no dataset 42.");
    }
    EXPECT_EQ(compound.GetDatasets(), (std::vector<int>{3, 5, 7, 9}));
    EXPECT_EQ(ObsNames(compound), "O3 O5 O7 O9");
    EXPECT_THROW(CompoundDataset(boost::shared_ptr<NCProjectBase>(), {3}), NCError);

    const CompoundDataset empty(project, {});
    EXPECT_TRUE(empty.GetDatasets().empty());
    EXPECT_EQ(empty.SizeObservations() + empty.SizeVariables(), 0);
    EXPECT_EQ(empty.GetDataType(), 0);
    EXPECT_EQ(std::string(empty.GetName()), "");
}

TEST_F(CompoundDatasetTest, MatchPercentMeasuresTheOverlap) {
    AddDataset(1, "A B", "V1 V2");
    AddDataset(2, "A B", "V1 V2");
    AddDataset(3, "C D", "V3 V4");
    AddDataset(4, "B C", "V2 V3");
    std::atomic<bool> cancel{false};
    EXPECT_EQ(CompoundDataset(project, {1, 2}).CalculateMatchPercent(cancel), 100.0f);
    EXPECT_EQ(CompoundDataset(project, {1, 3}).CalculateMatchPercent(cancel), 0.0f);
    // 3 x 3 cells, 7 covered; 4 observations and 4 variables counted: 1 - 2 / (16 - 7).
    EXPECT_FLOAT_EQ(CompoundDataset(project, {1, 4}).CalculateMatchPercent(cancel), 700.0f / 9.0f);
    cancel = true;
    EXPECT_EQ(CompoundDataset(project, {1, 4}).CalculateMatchPercent(cancel), 0.0f);
}

TEST_F(CompoundDatasetTest, DataOfOneDatasetGoesWhereItsIDsAreInAnyOrder) {
    AddDataset(6, "A B C D", "V1 V2 V3");
    NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
    for (const char* name : {"X", "D", "B", "A"}) obsIDs.push_back(Obs(name));  // C is missing, X extra
    for (const char* name : {"V3", "V9", "V1"}) varIDs.push_back(Var(name));
    NCDataMatrix<float> matrix(4, 3, 7.0f);
    CompoundDataset::AddDataFromDS(6, obsIDs, varIDs, *project, matrix);
    for (int column = 1; column <= 3; ++column) EXPECT_EQ(matrix(1, column), 7.0f) << "X is not in the dataset";
    for (int row = 1; row <= 4; ++row) EXPECT_EQ(matrix(row, 2), 7.0f) << "V9 is not in the dataset";
    EXPECT_EQ(matrix(2, 1), Value(6, 4, 3));
    EXPECT_EQ(matrix(3, 3), Value(6, 2, 1));
    EXPECT_EQ(matrix(4, 1), Value(6, 1, 3));

    // A long list in the reverse order: every item is found, also once the scanning budget is spent.
    constexpr int kLong = 3000;
    NCIntegralVector<unsigned long, 0> longIDs, reversed, oneVar;
    NCDataMatrix<float> longValues(kLong, 1);
    for (int i = 1; i <= kLong; ++i) {
        longIDs.push_back(900000UL + static_cast<unsigned long>(i));
        longValues(i, 1, static_cast<float>(i));
    }
    for (int i = kLong; i >= 1; --i) reversed.push_back(longIDs[i]);
    oneVar.push_back(Var("V1"));
    project->AddDataset(
        NCDataSet::Create(project, "long", 7, &longValues, &longIDs, &oneVar, {1}, {1}, "", nullptr, nullptr, false));
    NCDataMatrix<float> longMatrix(kLong, 1, 7.0f);
    CompoundDataset::AddDataFromDS(7, reversed, oneVar, *project, longMatrix);
    int misplaced = 0;
    for (int row = 1; row <= kLong; ++row) misplaced += longMatrix(row, 1) != static_cast<float>(kLong + 1 - row);
    EXPECT_EQ(misplaced, 0);

    NCDataMatrix<float> wrongShape(3, 3, 7.0f);
    CompoundDataset::AddDataFromDS(6, obsIDs, varIDs, *project, wrongShape);
    CompoundDataset::AddDataFromDS(8, obsIDs, varIDs, *project, matrix);
    EXPECT_EQ(wrongShape, NCDataMatrix<float>(3, 3, 7.0f));
}

// ---- the "NCCOMPDS" section ---------------------------------------------------------------------

// A section written by hand: `version`, then the sub-streams given (a part left empty is absent).
std::string Section(int version, const std::vector<int>* datasets, const std::string* id, const int* dataType) {
    std::ostringstream os;
    ZStreamableData(version, "NCCOMPDS").Write(os);
    OutputStreamDirectory directory(os, 5);
    if (datasets) WriteToStream(*datasets, directory.GetOutput(0));
    if (id) directory.GetOutput(3) << *id;
    if (dataType) WriteToStream(*dataType, directory.GetOutput(4));
    directory.Close();
    return os.str();
}

TEST_F(CompoundDatasetTest, SectionKeepsNumbersIdentifierAndTypeAndRecomputesTheRest) {
    AddDataset(1, "A B", "V1", Batches("B1").get())->SetUsedAliases({1, 2}, {1});
    AddDataset(2, "C", "V2")->SetSource(0x101, 3);
    const CompoundDataset written(project, {1, 2});
    const std::string bytes = nctest::WriteObject(written);
    const std::string text = boost::uuids::to_string(written.GetID());
    EXPECT_NE(bytes.find(text), std::string::npos) << "the identifier as lowercase text";

    CompoundDataset read(project);
    ASSERT_TRUE(nctest::ReadObject(bytes, read));
    EXPECT_EQ(read.GetID(), written.GetID());
    EXPECT_EQ(read.GetDatasets(), written.GetDatasets());
    EXPECT_EQ(read.GetDataType(), 0x121);
    EXPECT_EQ(ObsNames(read), "A B C");
    EXPECT_EQ(VarNames(read), "V1 V2");
    EXPECT_EQ(read.GetUsedObsAliases(), (std::vector<int>{1, 2}));
    EXPECT_EQ(ListNames(read.GetBatchInfoVector().get()), "B1");

    // The type read is where the setup starts; the identifier reads in capitals too.
    const std::vector<int> datasets{2};
    std::string upper = text;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const int type = 0x200;
    CompoundDataset fromCapitals(project);
    ASSERT_TRUE(nctest::ReadObject(Section(1, &datasets, &upper, &type), fromCapitals));
    EXPECT_EQ(fromCapitals.GetID(), written.GetID());
    EXPECT_EQ(fromCapitals.GetDataType(), 0x301);
}

TEST_F(CompoundDatasetTest, DamagedOrUnknownSectionsFailTheReadAndChangeNothing) {
    AddDataset(1, "A", "V1");
    const std::vector<int> known{1}, unknown{1, 5};
    const std::string id = "0123456789abcdef0123456789ABCDEF0123";  // no dashes
    const std::string good = "01234567-89ab-cdef-0123-456789abcdef";
    const std::string shortText = good.substr(0, 35);
    const int type = 1;
    // Version, tag and cut streams are checked for every section on the golden files.
    const std::vector<std::string> refused{Section(1, &known, nullptr, &type), Section(1, &known, &id, &type),
                                           Section(1, &known, &shortText, &type), Section(1, &unknown, &good, &type)};
    for (std::size_t i = 0; i < refused.size(); ++i) {
        CompoundDataset compound(project, {1});
        const std::string before = nctest::WriteObject(compound);
        EXPECT_FALSE(nctest::ReadObject(refused[i], compound)) << "section " << i;
        EXPECT_EQ(nctest::WriteObject(compound), before) << "section " << i;
        EXPECT_EQ(ObsNames(compound), "A") << "section " << i;
    }
    CompoundDataset compound(project);
    EXPECT_TRUE(nctest::ReadObject(Section(1, &known, &good, &type), compound));
}

// ---- concurrency --------------------------------------------------------------------------------

// Two datasets of 300,000 observations sharing 100,000 (no records needed: only IDs are compared).
class CompoundDatasetConcurrency : public CompoundTest {};

TEST_F(CompoundDatasetConcurrency, MatchPercentStopsSoonAfterAnotherThreadCancels) {
    constexpr int kRows = 300000;
    NCIntegralVector<unsigned long, 0> vars;
    for (const char* name : {"V1", "V2", "V3", "V4"}) vars.push_back(Var(name));
    for (int number : {1, 2}) {
        NCIntegralVector<unsigned long, 0> obs;
        for (int i = 0; i < kRows; ++i)
            obs.push_back(1000000UL + static_cast<unsigned long>((number - 1) * 200000 + i));
        project->AddDataset(
            NCDataSet::Create(project, "big", number, nullptr, &obs, &vars, {1}, {1}, "", nullptr, nullptr, false));
    }
    const CompoundDataset compound(project, {1, 2});
    ASSERT_EQ(compound.SizeObservations(), 500000);

    using Clock = std::chrono::steady_clock;
    std::atomic<bool> cancel{false};
    const auto start = Clock::now();
    const float full = compound.CalculateMatchPercent(cancel);
    const auto fullTime = Clock::now() - start;
    EXPECT_GT(full, 0.0f);

    float result = -1.0f;
    Clock::time_point finished;
    std::atomic<bool> started{false};
    std::thread worker([&] {
        started = true;
        result = compound.CalculateMatchPercent(cancel);
        finished = Clock::now();
    });
    while (!started) std::this_thread::yield();
    cancel = true;
    const auto cancelledAt = Clock::now();
    worker.join();
    EXPECT_EQ(result, 0.0f);
    EXPECT_LT(finished - cancelledAt, fullTime / 4)
        << "the whole computation took " << std::chrono::duration<double>(fullTime).count() << " s";
}

}  // namespace
