// The boundary search of the batch derivation against a plain scan of the group names, and the
// number of rows it reads.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

using IDList = NCIntegralVector<unsigned long, 0>;
using Positions = NCIntegralVector<int, -99>;

// An observation collection that counts its record lookups.
class CountingObservations : public NCObservations {
public:
    using NCObservations::FindVarObsInfo;
    const VarObsInfo* FindVarObsInfo(unsigned long uniqueID) const override {
        ++lookups;
        return NCObservations::FindVarObsInfo(uniqueID);
    }
    mutable long lookups = 0;
};

// Observations with IDs (primary, batch, phase); alias 2 is the batch column, alias 3 the phase
// column. Each appended group of rows has records of its own.
class Rows {
public:
    explicit Rows(CountingObservations& obs) : mObs(obs) {
        mObs.SetBatchID(2);
        mObs.SetPhaseID(3);
    }

    // Appends `count` rows of that batch and phase. Every group gets two records, used in turn,
    // so that equal names, not equal records, make a group.
    void Append(const std::string& batch, const std::string& phase, int count) {
        const unsigned long first = NewRecord(batch, phase), second = NewRecord(batch, phase);
        mGroups.emplace_back(batch, phase);
        for (int i = 0; i < count; ++i) {
            ids.push_back(i % 2 ? second : first);
            mGroupOfRow.push_back(mGroups.size() - 1);
        }
    }

    // Where a plain scan sees the names change; phases: the pair of names, otherwise the batch.
    std::vector<int> ScanStarts(bool phases) const {
        std::vector<int> starts;
        for (std::size_t i = 0; i < mGroupOfRow.size(); ++i) {
            if (i > 0) {
                const auto& current = mGroups[mGroupOfRow[i]];
                const auto& previous = mGroups[mGroupOfRow[i - 1]];
                if (current.first == previous.first && (!phases || current.second == previous.second)) continue;
            }
            starts.push_back(static_cast<int>(i) + 1);
        }
        return starts;
    }

    IDList ids;

private:
    unsigned long NewRecord(const std::string& batch, const std::string& phase) {
        const unsigned long id = ++mLastID;
        mObs.Add(new ObservationInfo({CString("R" + std::to_string(id)), CString(batch), CString(phase)}, id), nullptr);
        return id;
    }

    CountingObservations& mObs;
    unsigned long mLastID = 0;
    std::vector<std::pair<std::string, std::string>> mGroups;
    std::vector<std::size_t> mGroupOfRow;
};

std::vector<int> ToStd(const Positions* positions) {
    return positions ? std::vector<int>(positions->begin(), positions->end()) : std::vector<int>{-1};
}

// The next scan start after `pos`, -1 when none.
int NextStart(const std::vector<int>& starts, int pos) {
    const auto next = std::upper_bound(starts.begin(), starts.end(), pos);
    return next == starts.end() ? -1 : *next;
}

// A random layout: batches with distinct names (some differing from another only in case), 1 to
// 5,000 rows each (half of them short), split into up to four phases whose names may recur in
// other batches and differ only in case from a neighbour.
void RandomLayout(std::mt19937& random, Rows& rows) {
    static const char* const kPhaseNames[] = {"Phase", "phase", "PHASE", "Heat", "heat", "Cool", ""};
    const int batches = std::uniform_int_distribution<int>(0, 9)(random);
    for (int b = 0; b < batches; ++b) {
        std::string name = "Batch" + std::to_string(b / 2);
        if (b % 2) name[0] = 'b';  // "Batch0" and "batch0" are two batches
        const bool longBatch = std::uniform_int_distribution<int>(0, 1)(random) == 1;
        const int size = std::uniform_int_distribution<int>(1, longBatch ? 5000 : 70)(random);
        const int phases = std::min(size, std::uniform_int_distribution<int>(1, 4)(random));
        // Distinct phase names within the batch, in a random order.
        std::vector<std::string> phaseNames(std::begin(kPhaseNames), std::end(kPhaseNames));
        std::shuffle(phaseNames.begin(), phaseNames.end(), random);
        // Cut points of the phases: distinct, ascending, inside the batch.
        std::vector<int> cuts;
        while (static_cast<int>(cuts.size()) < phases - 1) {
            const int cut = std::uniform_int_distribution<int>(1, size - 1)(random);
            if (std::find(cuts.begin(), cuts.end(), cut) == cuts.end()) cuts.push_back(cut);
        }
        std::sort(cuts.begin(), cuts.end());
        cuts.push_back(size);
        int from = 0;
        for (int k = 0; k < phases; ++k) {
            rows.Append(name, phaseNames[static_cast<std::size_t>(k)], cuts[static_cast<std::size_t>(k)] - from);
            from = cuts[static_cast<std::size_t>(k)];
        }
    }
}

TEST(BatchDerivation, BoundarySearchFindsWhatAPlainScanFinds) {
    std::mt19937 random(20240607);
    for (int layout = 0; layout < 300; ++layout) {
        CountingObservations obs;
        Rows rows(obs);
        RandomLayout(random, rows);
        SCOPED_TRACE("layout " + std::to_string(layout) + " with " + std::to_string(rows.ids.size()) + " rows");
        const int n = rows.ids.size();
        const std::vector<int> batchStarts = rows.ScanStarts(false), phaseStarts = rows.ScanStarts(true);

        const std::unique_ptr<Positions> batches(BatchUtilities::GetBatchBeginnings(&obs, &rows.ids));
        EXPECT_EQ(ToStd(batches.get()), batchStarts);
        const std::unique_ptr<Positions> phases(BatchUtilities::GetPhaseBeginnings(&obs, &rows.ids));
        EXPECT_EQ(ToStd(phases.get()), phaseStarts);

        std::vector<int> expectedLengths;
        for (std::size_t k = 0; k < batchStarts.size(); ++k)
            expectedLengths.push_back((k + 1 < batchStarts.size() ? batchStarts[k + 1] : n + 1) - batchStarts[k]);
        const std::unique_ptr<Positions> lengths(BatchUtilities::GetBatchLength(&obs, &rows.ids));
        EXPECT_EQ(ToStd(lengths.get()), expectedLengths);

        // From any row, the next start after it.
        for (int probe = 0; probe < 20 && n > 0; ++probe) {
            const int pos = std::uniform_int_distribution<int>(1, n)(random);
            EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &rows.ids, pos, false), NextStart(batchStarts, pos));
            EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &rows.ids, pos, true), NextStart(phaseStarts, pos));
        }

        // Without a phase column the phase beginnings are the batch beginnings.
        obs.SetPhaseID(-1);
        const std::unique_ptr<Positions> batchesOnly(BatchUtilities::GetPhaseBeginnings(&obs, &rows.ids));
        EXPECT_EQ(ToStd(batchesOnly.get()), batchStarts);
        EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &rows.ids, 1, true), NextStart(batchStarts, 1));
    }
}

TEST(BatchDerivation, SearchReadsFewRows) {
    // One batch: its start, found without a search (the first and the last row only).
    CountingObservations one;
    Rows single(one);
    single.Append("Only", "P", 100000);
    one.lookups = 0;
    const std::unique_ptr<Positions> starts(BatchUtilities::GetBatchBeginnings(&one, &single.ids));
    EXPECT_EQ(ToStd(starts.get()), std::vector<int>{1});
    EXPECT_LE(one.lookups, 2);

    // 100 batches of 1,000 rows: a few dozen reads per batch, not a thousand.
    CountingObservations many;
    Rows rows(many);
    for (int b = 0; b < 100; ++b) rows.Append("B" + std::to_string(b), "P", 1000);
    many.lookups = 0;
    const std::unique_ptr<Positions> batches(BatchUtilities::GetBatchBeginnings(&many, &rows.ids));
    EXPECT_EQ(batches->size(), 100);
    EXPECT_LT(many.lookups, 100 * 40);
}

TEST(BatchDerivation, AbsentColumnsListsAndPositions) {
    CountingObservations obs;
    Rows rows(obs);
    rows.Append("A", "P1", 3);
    rows.Append("a", "P1", 2);  // differs only in case: another batch

    const std::unique_ptr<Positions> batches(BatchUtilities::GetBatchBeginnings(&obs, &rows.ids));
    EXPECT_EQ(ToStd(batches.get()), (std::vector<int>{1, 4}));

    // Null collection, null or empty list.
    EXPECT_EQ(BatchUtilities::GetBatchBeginnings(nullptr, &rows.ids), nullptr);
    const std::unique_ptr<Positions> none(BatchUtilities::GetBatchBeginnings(&obs, nullptr));
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->empty());
    const IDList empty;
    EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &empty, 0, false), -1);
    EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, nullptr, 1, false), -1);
    EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(nullptr, &rows.ids, 1, false), -1);

    // Positions outside the list.
    EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &rows.ids, 0, false), 1);
    EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &rows.ids, 6, false), -1);
    EXPECT_EQ(BatchUtilities::FindNextBatchOrPhase(&obs, &rows.ids, 5, false), -1);

    // A unique ID without a record reads as empty names: a batch of its own here.
    IDList withUnknown = rows.ids;
    withUnknown.push_back(999);
    const std::unique_ptr<Positions> unknown(BatchUtilities::GetBatchBeginnings(&obs, &withUnknown));
    EXPECT_EQ(ToStd(unknown.get()), (std::vector<int>{1, 4, 6}));

    // No batch column: no batch beginnings; the phase beginnings still follow the phase names.
    obs.SetBatchID(0);
    EXPECT_EQ(BatchUtilities::GetBatchBeginnings(&obs, &rows.ids), nullptr);
    const std::unique_ptr<Positions> phasesOnly(BatchUtilities::GetPhaseBeginnings(&obs, &rows.ids));
    EXPECT_EQ(ToStd(phasesOnly.get()), std::vector<int>{1});
    obs.SetPhaseID(0);
    EXPECT_EQ(BatchUtilities::GetPhaseBeginnings(&obs, &rows.ids), nullptr);
}

TEST(BatchDerivation, PhaseBeginningsOfVariables) {
    NCVariables vars;
    IDList ids;
    const char* const layout[][2] = {{"B", "x"}, {"B", "x"}, {"B", "y"}, {"C", "y"}, {"C", "y"}};
    unsigned long id = 10;
    for (const auto& names : layout) {
        vars.Add(new QuantitativeVariableInfo({CString("V" + std::to_string(id)), CString(names[0]), CString(names[1])},
                                              id, eVarTypeDefault, CString(), -1, -1, -99.0f),
                 nullptr);
        ids.push_back(id++);
    }
    vars.SetBatchID(2);
    EXPECT_EQ(BatchUtilities::GetPhaseBeginnings(&vars, &ids), nullptr);
    vars.SetPhaseID(3);
    const std::unique_ptr<Positions> phases(BatchUtilities::GetPhaseBeginnings(&vars, &ids));
    EXPECT_EQ(ToStd(phases.get()), (std::vector<int>{1, 3, 4}));
}

// (name, number of observations) of each phase of a list.
std::vector<std::pair<std::string, int>> PhasesOf(const ClassInfoVector* phases) {
    std::vector<std::pair<std::string, int>> result;
    if (!phases) return result;
    for (const auto& phase : *phases) result.emplace_back(phase->GetPhaseName().GetString(), phase->GetNumObs());
    return result;
}

using PhaseList = std::vector<std::pair<std::string, int>>;

TEST(BatchDerivation, CreateBatchInfoVectorFromTheRows) {
    CountingObservations obs;
    Rows rows(obs);
    rows.Append("B1", "Heat", 3);
    rows.Append("B1", "Cool", 2);
    rows.Append("b1", "Heat", 40);  // differs from B1 only in case: a batch of its own
    rows.Append("B2", "A", 1);      // a phase name that recurs after another gets a record per run
    rows.Append("B2", "B", 1);
    rows.Append("B2", "A", 1);
    // Not the last batch: the search takes the rest as one group when the last row has the
    // batch and phase of the row it starts from.
    rows.Append("B3", "A", 2);

    const std::unique_ptr<BatchInfoVector> batches(BatchUtilities::CreateBatchInfoVector(&obs, &rows.ids));
    ASSERT_NE(batches, nullptr);
    ASSERT_EQ(batches->size(), 4u);
    const std::vector<std::string> names{"B1", "b1", "B2", "B3"};
    const std::vector<int> sizes{5, 40, 3, 2};
    const std::vector<PhaseList> phases{
        {{"Heat", 3}, {"Cool", 2}}, {{"Heat", 40}}, {{"A", 1}, {"B", 1}, {"A", 1}}, {{"A", 2}}};
    for (int k = 0; k < 4; ++k) {
        const auto batch = (*static_cast<const BatchInfoVector*>(batches.get()))[k];
        EXPECT_EQ(batch->GetBatchName().GetString(), names[k]);
        EXPECT_EQ(batch->GetNumObs(nullptr, true), sizes[k]);
        EXPECT_EQ(PhasesOf(batch->GetClassVector()), phases[k]);
        EXPECT_TRUE(batch->IsIncluded());
        EXPECT_EQ(batch->GetBatchConditionValues().size(), 0);
    }
    EXPECT_TRUE(batches->GetBCVariableIDs().empty());

    // Without a phase column every batch gets one phase "Phase" holding all of its rows.
    obs.SetPhaseID(0);
    const std::unique_ptr<BatchInfoVector> plain(BatchUtilities::CreateBatchInfoVector(&obs, &rows.ids));
    ASSERT_EQ(plain->size(), 4u);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(PhasesOf((*plain)[k]->GetClassVector()), (PhaseList{{"Phase", sizes[k]}}));
    EXPECT_EQ(BatchUtilities::CreatePhaseInfoVector(&obs, &rows.ids), nullptr);

    // Without a batch column, or without a collection, there is no batch list.
    obs.SetBatchID(0);
    EXPECT_EQ(BatchUtilities::CreateBatchInfoVector(&obs, &rows.ids), nullptr);
    EXPECT_EQ(BatchUtilities::CreateBatchInfoVector(nullptr, &rows.ids), nullptr);
    EXPECT_EQ(BatchUtilities::CreatePhaseInfoVector(nullptr, &rows.ids), nullptr);
}

TEST(BatchDerivation, CreatePhaseInfoVectorMergesNamesIgnoringCase) {
    CountingObservations obs;
    Rows rows(obs);
    rows.Append("B1", "Heat", 3);
    rows.Append("B1", "Cool", 2);
    rows.Append("B2", "heat", 400);
    rows.Append("B2", "Cool", 1);
    rows.Append("B3", "Cool", 5);  // the same phase name in the next batch is another run
    rows.Append("B3", "Hold", 7);

    const std::unique_ptr<ClassInfoVector> phases(BatchUtilities::CreatePhaseInfoVector(&obs, &rows.ids));
    EXPECT_EQ(PhasesOf(phases.get()), (PhaseList{{"Heat", 403}, {"Cool", 8}, {"Hold", 7}}));

    const IDList none;
    const std::unique_ptr<ClassInfoVector> empty(BatchUtilities::CreatePhaseInfoVector(&obs, &none));
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->empty());
}

}  // namespace
