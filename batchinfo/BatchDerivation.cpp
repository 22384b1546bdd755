#include "batchinfo/BatchDerivation.h"

#include <boost/make_shared.hpp>
#include <memory>
#include <utility>

#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/BatchLookups.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/utility/CString.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/VarObs.h"
#include "varobs/VarObsInfo.h"

namespace {

using IDList = NCIntegralVector<unsigned long, 0>;
using Positions = NCIntegralVector<int, -99>;

// The group of one row: its batch name, and its phase name when phases count.
struct Group {
    CString batch;
    CString phase;
    bool operator==(const Group& other) const { return batch == other.batch && phase == other.phase; }
    bool operator!=(const Group& other) const { return !(*this == other); }
};

// Reads the group of a position of the ID list through the collection.
class GroupReader {
public:
    GroupReader(const VarObs& collection, const IDList& ids, bool withPhase)
        : mCollection(collection), mIDs(ids), mWithPhase(withPhase) {}

    int Size() const { return mIDs.size(); }

    Group At(int pos) const {
        Group group;
        if (const VarObsInfo* record = mCollection[mIDs[pos]]) {
            group.batch = record->GetBatchName(mCollection);
            if (mWithPhase) group.phase = record->GetPhaseName(mCollection);
        }
        return group;
    }

private:
    const VarObs& mCollection;
    const IDList& mIDs;
    bool mWithPhase;
};

constexpr int kFirstStep = 32;
// The one phase of a batch derived without a phase ID column.
constexpr const char* kDefaultPhaseName = "Phase";

// The largest power of two below `distance`; 1 for a distance of 1 (or less).
int PowerOfTwoBelow(int distance) {
    int step = 1;
    while (step * 2 < distance) step *= 2;
    return step;
}

// The first position after `p` whose group differs from `g`, the group at `p`; -1 when `p` is the
// last position or the last row has group `g` (the rest is then one group). `last` is the group of
// the last row.
int NextGroupStart(const GroupReader& reader, int p, const Group& g, const Group& last) {
    const int n = reader.Size();
    if (p >= n || last == g) return -1;

    int q = p + 1;
    int step = kFirstStep;
    bool doubling = true;
    int lastEqual = p;  // the highest position probed (or known) to hold `g`
    for (;;) {
        if (reader.At(q) == g) {
            lastEqual = q;
            step = doubling ? step * 2 : (step > 1 ? step / 2 : 1);
            if (q + step > n) {
                step = PowerOfTwoBelow(n - q);
                doubling = false;
            }
            q += step;
        } else {
            doubling = false;
            // The row before q has group g when it is the last one probed equal; otherwise ask.
            if (q - 1 == lastEqual || reader.At(q - 1) == g) return q;
            step = step > 1 ? step / 2 : 1;
            q -= step;
        }
    }
}

// Every group start of the list in ascending order (empty for an empty list).
Positions GroupStarts(const GroupReader& reader) {
    Positions starts;
    const int n = reader.Size();
    if (n == 0) return starts;
    const Group last = reader.At(n);
    int p = 1;
    while (p != -1) {
        starts.push_back(p);
        p = NextGroupStart(reader, p, reader.At(p), last);
    }
    return starts;
}

const IDList& OrEmpty(const IDList* ids) {
    static const IDList empty;
    return ids ? *ids : empty;
}

}  // namespace

namespace BatchUtilities {

NCIntegralVector<int, -99>* GetBatchBeginnings(const NCObservations* obs,
                                               const NCIntegralVector<unsigned long, 0>* obsIDs) {
    if (!obs || !obs->HasBatches()) return nullptr;
    return new Positions(GroupStarts(GroupReader(*obs, OrEmpty(obsIDs), false)));
}

NCIntegralVector<int, -99>* GetPhaseBeginnings(const NCObservations* obs,
                                               const NCIntegralVector<unsigned long, 0>* obsIDs) {
    if (!obs) return nullptr;
    if (!obs->HasPhases()) return GetBatchBeginnings(obs, obsIDs);
    return new Positions(GroupStarts(GroupReader(*obs, OrEmpty(obsIDs), true)));
}

NCIntegralVector<int, -99>* GetPhaseBeginnings(const NCVariables* vars,
                                               const NCIntegralVector<unsigned long, 0>* varIDs) {
    if (!vars || !vars->HasPhases()) return nullptr;
    return new Positions(GroupStarts(GroupReader(*vars, OrEmpty(varIDs), true)));
}

NCIntegralVector<int, -99>* GetBatchLength(const NCObservations* obs,
                                           const NCIntegralVector<unsigned long, 0>* obsIDs) {
    const std::unique_ptr<Positions> beginnings(GetBatchBeginnings(obs, obsIDs));
    if (!beginnings) return nullptr;
    auto lengths = std::make_unique<Positions>();
    const int count = beginnings->size();
    const int n = OrEmpty(obsIDs).size();
    for (int k = 1; k <= count; ++k) {
        const int next = k < count ? (*beginnings)[k + 1] : n + 1;
        lengths->push_back(next - (*beginnings)[k]);
    }
    return lengths.release();
}

int FindNextBatchOrPhase(const VarObs* collection, const NCIntegralVector<unsigned long, 0>* ids, int pos, bool phase) {
    if (!collection || !ids || ids->empty()) return -1;
    if (pos < 1) return 1;
    if (pos > ids->size()) return -1;
    const GroupReader reader(*collection, *ids, phase);
    return NextGroupStart(reader, pos, reader.At(pos), reader.At(ids->size()));
}

BatchInfoVector* CreateBatchInfoVector(const NCObservations* obs, const NCIntegralVector<unsigned long, 0>* obsIDs) {
    if (!obs || !obs->HasBatches()) return nullptr;
    const IDList& ids = OrEmpty(obsIDs);
    const GroupReader batches(*obs, ids, false);
    const Positions beginnings = GroupStarts(batches);
    const int n = ids.size();

    // Phase runs are found with the same search as FindNextBatchOrPhase; the last row's group is
    // read once for all of them.
    const GroupReader phases(*obs, ids, true);
    const bool hasPhases = obs->HasPhases();
    const Group lastPhase = hasPhases && n > 0 ? phases.At(n) : Group();

    auto list = std::make_unique<BatchInfoVector>();
    for (int k = 1; k <= beginnings.size(); ++k) {
        const int first = beginnings[k];
        const int end = k < beginnings.size() ? beginnings[k + 1] : n + 1;  // one past the batch
        auto batch = boost::make_shared<BatchInfo>(batches.At(first).batch);
        batch->SetNumObs(end - first);

        auto phaseList = std::make_unique<ClassInfoVector>();
        if (hasPhases) {
            for (int pos = first; pos < end;) {
                const Group group = phases.At(pos);
                const int next = NextGroupStart(phases, pos, group, lastPhase);
                const int phaseEnd = next == -1 || next > end ? end : next;
                auto phase = boost::make_shared<ClassInfo>(group.phase);
                phase->SetNumObs(phaseEnd - pos);
                phaseList->push_back(phase);
                pos = phaseEnd;
            }
        } else {
            auto phase = boost::make_shared<ClassInfo>(kDefaultPhaseName);
            phase->SetNumObs(end - first);
            phaseList->push_back(phase);
        }
        batch->SetClassVectorPtr(std::move(phaseList));
        list->push_back(batch);
    }
    return list.release();
}

ClassInfoVector* CreatePhaseInfoVector(const NCObservations* obs, const NCIntegralVector<unsigned long, 0>* obsIDs) {
    if (!obs || !obs->HasPhases()) return nullptr;
    const IDList& ids = OrEmpty(obsIDs);
    const GroupReader reader(*obs, ids, true);
    const Positions beginnings = GroupStarts(reader);
    const int n = ids.size();

    auto list = std::make_unique<ClassInfoVector>();
    for (int k = 1; k <= beginnings.size(); ++k) {
        const int first = beginnings[k];
        const int length = (k < beginnings.size() ? beginnings[k + 1] : n + 1) - first;
        const CString name = reader.At(first).phase;
        const int index = FindPhaseIndex(list.get(), name, false);
        if (index < 0) {
            auto phase = boost::make_shared<ClassInfo>(name);
            phase->SetNumObs(length);
            list->push_back(phase);
        } else {
            ClassInfo& phase = *(*list)[static_cast<std::size_t>(index)];
            phase.SetNumObs(phase.GetNumObs() + length);
        }
    }
    return list.release();
}

}  // namespace BatchUtilities
