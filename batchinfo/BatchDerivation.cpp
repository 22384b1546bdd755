#include "batchinfo/BatchDerivation.h"

#include <memory>

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
    bool operator==(const Group& other) const {
        return batch == other.batch && phase == other.phase;
    }
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

int FindNextBatchOrPhase(const VarObs* collection, const NCIntegralVector<unsigned long, 0>* ids,
                         int pos, bool phase) {
    if (!collection || !ids || ids->empty()) return -1;
    if (pos < 1) return 1;
    if (pos > ids->size()) return -1;
    const GroupReader reader(*collection, *ids, phase);
    return NextGroupStart(reader, pos, reader.At(pos), reader.At(ids->size()));
}

}  // namespace BatchUtilities
