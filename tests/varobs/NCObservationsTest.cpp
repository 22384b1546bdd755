#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "interfaces/constants/LanguageTextIDs.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/LanguageString.h"
#include "tests/TestStreams.h"
#include "varobs/NCObservations.h"

namespace {

std::unique_ptr<ObservationInfo> Observation(const std::vector<CString>& ids, unsigned long uniqueID) {
    return std::make_unique<ObservationInfo>(ids, uniqueID);
}

std::vector<std::string> Names(const NCObservations& obs) {
    std::vector<std::string> names;
    const NCStringVector* list = obs.GetAllKnownBatchNames();
    for (int i = 1; i <= list->Size(); ++i) names.emplace_back((*list)[i]);
    return names;
}

// Observations of two batches with batch alias 2.
void Fill(NCObservations& obs) {
    obs.Add(Observation({"o1", "B9"}, 1), nullptr);  // before the batch alias is known: not a name
    obs.SetBatchID(2);
    obs.Add(Observation({"o2", "B1"}, 2), nullptr);
    obs.Add(Observation({"o3", "B2"}, 3), nullptr);
    obs.Add(Observation({"o4", "B1"}, 4), nullptr);
    obs.Add(Observation({"o5", ""}, 5), nullptr);
    obs.Add(Observation({"o6"}, 6), nullptr);
    obs[4]->SetDefaultClass(3);
}

std::string WriteBaseOnly(NCObservations& obs) {
    std::ostringstream os;
    EXPECT_TRUE(obs.VarObs::ZStreamableStartWrite(os));
    obs.ZStreamableReset();
    return os.str();
}

// An "NCO" section whose sub-stream 1 holds the given raw bytes, or is absent when `names` is null.
std::string WriteSection(NCObservations& obs, const std::string* names) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, 1, "NCO");
    os << WriteBaseOnly(obs);
    OutputStreamDirectory directory(os, 2);
    if (names) directory.GetOutput(1) << *names;
    directory.Close();
    return os.str();
}

bool Read(NCObservations& obs, const std::string& bytes) { return nctest::ReadObject(bytes, obs); }

}  // namespace

TEST(NCObservations, KnownBatchNamesAreTheNonEmptyBatchIDsInByteOrder) {
    NCObservations obs;
    EXPECT_EQ(obs.GetAllKnownBatchNames()->Size(), 0);
    Fill(obs);
    const NCStringVector* list = obs.GetAllKnownBatchNames();
    EXPECT_EQ(Names(obs), (std::vector<std::string>{"B1", "B2"}));
    obs.Add(Observation({"o7", "a"}, 7), nullptr);
    obs.Add(Observation({"o8", "B0"}, 8), nullptr);
    EXPECT_EQ(Names(obs), (std::vector<std::string>{"B0", "B1", "B2", "a"}));
    EXPECT_EQ(obs.GetAllKnownBatchNames(), list);  // the collection keeps one list
}

TEST(NCObservations, UsedAliasesLeaveOutMissingBatchAndPhaseColumnsAndDescriptionsUseLanguageTexts) {
    NCObservations obs;
    const std::vector<CString> labels = {"", "Batch", "Phase", "Other"};
    obs.Set_ID_Labels(&labels);
    obs.SetPhaseID(4);
    EXPECT_EQ(obs.GetAllUsedAliases(), (std::vector<int>{1, 3, 4}));
    obs.SetBatchID(2);
    obs.SetPhaseID(-1);
    EXPECT_EQ(obs.GetAllUsedAliases(), (std::vector<int>{1, 2, 4}));
    obs.SetPhaseID(3);
    EXPECT_EQ(obs.GetAllUsedAliases(), (std::vector<int>{1, 2, 3, 4}));

    obs.SetIDLabel(2, "Lot %d");
    LanguageString::SetText(nc::LanguageText::kObservationIDDescription, "[%s]");
    const VarObs& base = obs;
    EXPECT_EQ(base.GetIDLabelDescription(1),
              LanguageString::Get(nc::LanguageText::kObservationPrimaryIDDescription).GetString());
    EXPECT_EQ(base.GetIDLabelDescription(2), "[Lot %d]");
    LanguageString::ResetToDefaults();
}

// Plain round trips and damaged copies are covered by the golden files; these are the layouts
// around them.
TEST(NCObservations, StoredBatchNamesAreTakenAsTheyAreOrRebuiltFromTheRecords) {
    NCObservations source;
    Fill(source);

    std::ostringstream stored;
    const std::int32_t count = 2;
    WriteFourBytes(&count, 1, stored);
    WriteBinaryString("Z9", stored);
    WriteBinaryString("A1", stored);
    const std::string names = stored.str();
    NCObservations read;
    ASSERT_TRUE(Read(read, WriteSection(source, &names)));
    EXPECT_EQ(Names(read), (std::vector<std::string>{"A1", "Z9"}));

    const std::string none(4, '\xff');  // a count of -1 adds nothing and rebuilds nothing
    NCObservations empty;
    ASSERT_TRUE(Read(empty, WriteSection(source, &none)));
    EXPECT_EQ(Names(empty).size(), 0U);

    const std::string cut = names.substr(0, names.size() - 1);
    for (const std::string* damaged : {&cut, static_cast<const std::string*>(nullptr)}) {
        NCObservations rebuilt;
        ASSERT_TRUE(Read(rebuilt, WriteSection(source, damaged)));
        EXPECT_EQ(Names(rebuilt), (std::vector<std::string>{"B1", "B2", "B9"}));
    }

    // Streams older than the "NCO" section hold the collection base only: the names are rebuilt
    // (o1's B9 counts too) and the stream is put back where the tag was looked for.
    NCObservations fromBase;
    fromBase.SetBatchID(2);
    fromBase.Add(Observation({"x", "Stale"}, 40), nullptr);
    ASSERT_TRUE(Read(fromBase, WriteBaseOnly(source)));
    EXPECT_EQ(fromBase.GetNumberOfVarObs(), 6);
    EXPECT_EQ(Names(fromBase), (std::vector<std::string>{"B1", "B2", "B9"}));
}
