#include "compound/CompoundDataset.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include <boost/make_shared.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCDataSetInfo.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/streams/Section.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

namespace {

enum SubStream : int {
    kDatasets = 0,
    kIdentifier = 3,  // 1 and 2 are not used
    kDataType = 4,
    kSubStreamCount = 5
};

// "NCCOMPDS" version 1; only version 1 is read, checked after the (empty) base part.
const Section& StreamSection() {
    static const Section section("NCCOMPDS", 1, kSubStreamCount);
    return section;
}

constexpr std::size_t kUUIDTextLength = 36;

boost::uuids::uuid NewRandomID() {
    thread_local boost::uuids::random_generator generator;
    return generator();
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The 36-character text form: two hexadecimal digits per byte, "-" after bytes 4, 6, 8 and 10.
bool ParseUUID(const char* text, boost::uuids::uuid& id) {
    boost::uuids::uuid parsed{};
    std::size_t at = 0;
    for (std::size_t byte = 0; byte < parsed.size(); ++byte) {
        if (byte == 4 || byte == 6 || byte == 8 || byte == 10) {
            if (text[at++] != '-') return false;
        }
        const int high = HexDigit(text[at++]);
        const int low = HexDigit(text[at++]);
        if (high < 0 || low < 0) return false;
        parsed.data[byte] = static_cast<std::uint8_t>(high * 16 + low);
    }
    id = parsed;
    return true;
}

// Unique IDs in ascending order, each with its 1-based position in the list they came from, for
// lookups by halving; equal IDs keep their positions in ascending order. A list that is
// ascending already (imported data usually is) is searched in place: the lookups are then valid
// only until that list changes.
class SortedIDs {
public:
    explicit SortedIDs(const NCIntegralVector<unsigned long, 0>& ids) { Rebuild(ids); }

    void Rebuild(const NCIntegralVector<unsigned long, 0>& ids) {
        mEntries.clear();
        mInPlace = nullptr;
        mSize = static_cast<std::size_t>(ids.size());
        if (std::is_sorted(ids.begin(), ids.end())) {
            mInPlace = ids.data();
            return;
        }
        mEntries.resize(mSize);
        const unsigned long* id = ids.data();
        for (std::size_t i = 0; i < mSize; ++i) mEntries[i] = {id[i], static_cast<int>(i) + 1};
        std::sort(mEntries.begin(), mEntries.end(), [](const Entry& a, const Entry& b) {
            return a.id < b.id || (a.id == b.id && a.position < b.position);
        });
    }

    // The position of the first occurrence of `id`; 0 when absent.
    int Find(unsigned long id) const {
        if (mInPlace) {
            const unsigned long* found = std::lower_bound(mInPlace, mInPlace + mSize, id);
            return found != mInPlace + mSize && *found == id ? static_cast<int>(found - mInPlace) + 1 : 0;
        }
        const auto found = std::lower_bound(mEntries.begin(), mEntries.end(), id,
                                            [](const Entry& entry, unsigned long value) { return entry.id < value; });
        return found != mEntries.end() && found->id == id ? found->position : 0;
    }

private:
    struct Entry {
        unsigned long id;
        int position;
    };
    std::vector<Entry> mEntries;
    const unsigned long* mInPlace = nullptr;
    std::size_t mSize = 0;
};

// Inserts the IDs of `other` that `sorted` (the lookup copy of `ids`) lacks into `ids`, in
// `other`'s order: each run of them just before the next ID that `other` shares with `ids`, the
// run after the last shared one at the end; runs for one place keep their order. The result is
// written in one pass over `ids`, whatever the number of runs; when the shared IDs come in the
// order of `ids` (the usual case) the runs need not even be listed.
void InsertBeforeShared(NCIntegralVector<unsigned long, 0>& ids, const NCIntegralVector<unsigned long, 0>& other,
                        const SortedIDs& sorted) {
    const int n = ids.size();
    const int m = other.size();
    const std::unique_ptr<int[]> shared(new int[static_cast<std::size_t>(m)]);  // position in `ids`, 0: new
    int fresh = 0;
    bool inOrder = true;
    for (int i = 0, last = 0; i < m; ++i) {
        const int position = sorted.Find(other.data()[i]);
        shared[static_cast<std::size_t>(i)] = position;
        if (position == 0) {
            ++fresh;
        } else {
            inOrder = inOrder && position >= last;
            last = position;
        }
    }
    if (fresh == 0) return;

    // A run: other[first, end) goes before position `before` of `ids` (n + 1: at the end).
    struct Run {
        int before;
        int first;
        int end;
    };
    NCIntegralVector<unsigned long, 0> merged(n + fresh);
    unsigned long* to = merged.begin();
    const unsigned long* from = ids.data();
    const unsigned long* news = other.data();
    int copied = 0;  // positions 1 … copied of `ids` are in place
    const auto place = [&](const Run& run) {
        to = std::copy(from + copied, from + (run.before - 1), to);
        copied = run.before - 1;
        to = std::copy(news + run.first, news + run.end, to);
    };
    std::vector<Run> runs;
    int first = 0;  // start of the current run of new IDs
    for (int i = 0; i < m; ++i) {
        const int position = shared[static_cast<std::size_t>(i)];
        if (position == 0) continue;
        if (i > first) {
            if (inOrder) {
                place({position, first, i});
            } else {
                runs.push_back({position, first, i});
            }
        }
        first = i + 1;
    }
    if (!inOrder) {
        std::stable_sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.before < b.before; });
        for (const Run& run : runs) place(run);
    }
    place({n + 1, first, m});
    ids = std::move(merged);
}

// Finds IDs in an unsorted list where a linear search resumed after the previous hit would: the
// first occurrence after the previous hit, else the first one before it. It scans as that search
// does while the scanning stays within a budget of a few passes over the list, so lists in
// matching order, even with a few jumps, cost one step per item; once the budget is spent, a
// sorted index (built then, once) gives the same positions by halving, so no order of the items
// costs a scan per item.
class ResumedSearch {
public:
    explicit ResumedSearch(const NCIntegralVector<unsigned long, 0>& ids)
        : mIDs(ids.data()), mSize(ids.size()), mBudget(2 * static_cast<long long>(ids.size()) + 1024) {}

    // The 1-based position found, 0 when `id` is absent.
    int Find(unsigned long id) {
        if (mIndex.empty()) {
            // After the previous hit to the end, then from the start up to the previous hit.
            for (int pass = 0; pass < 2; ++pass) {
                const int from = pass == 0 ? mPrevious : 0;
                const int to = pass == 0 ? mSize : mPrevious;
                for (int p = from; p < to; ++p) {
                    if (--mBudget < 0) return FindInIndex(id);
                    if (mIDs[p] == id) return mPrevious = p + 1;
                }
            }
            return 0;
        }
        return FindInIndex(id);
    }

private:
    using Entry = std::pair<unsigned long, int>;

    int FindInIndex(unsigned long id) {
        if (mIndex.empty()) {
            mIndex.resize(static_cast<std::size_t>(mSize));
            for (int p = 0; p < mSize; ++p) mIndex[static_cast<std::size_t>(p)] = {mIDs[p], p + 1};
            std::sort(mIndex.begin(), mIndex.end());
        }
        const auto after = std::lower_bound(mIndex.begin(), mIndex.end(), Entry{id, mPrevious + 1});
        if (after != mIndex.end() && after->first == id) return mPrevious = after->second;
        const auto first = std::lower_bound(mIndex.begin(), mIndex.end(), Entry{id, 0});
        if (first != mIndex.end() && first->first == id) return mPrevious = first->second;
        return 0;
    }

    const unsigned long* mIDs;
    int mSize;
    long long mBudget;
    std::vector<Entry> mIndex;
    int mPrevious = 0;  // 1-based position of the last hit, 0 before the first
};

// Merges two ascending lists, keeping one copy of values found in both.
std::vector<int> SortedUnion(const std::vector<int>& a, const std::vector<int>& b) {
    std::vector<int> merged;
    merged.reserve(a.size() + b.size());
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(merged));
    return merged;
}

// The alias number of the collection's batch ID column; -1 when it has none.
int BatchAlias(const NCObservations& observations) {
    std::vector<int> all(static_cast<std::size_t>(observations.SizeAliases()));
    for (std::size_t k = 0; k < all.size(); ++k) all[k] = static_cast<int>(k) + 1;
    return observations.GetBatchID(all);
}

}  // namespace

const ZStreamableData& CompoundDataset::StreamData() { return StreamSection().Data(); }

CompoundDataset::CompoundDataset(boost::shared_ptr<NCProjectBase> project)
    : NCDataContainerBase(std::move(project)), mID(NewRandomID()) {}

CompoundDataset::CompoundDataset(boost::shared_ptr<NCProjectBase> project, const std::vector<int>& datasets)
    : CompoundDataset(std::move(project)) {
    SetupDatasets(datasets);
}

CompoundDataset::~CompoundDataset() = default;

// ---- setting up -----------------------------------------------------------------------------------

CompoundDataset::Descriptions CompoundDataset::Describe(const std::vector<int>& datasets) const {
    Descriptions descriptions;
    if (datasets.empty()) return descriptions;
    const auto project = GetProject();
    if (!project) throw NCError("The project of the compound dataset no longer exists.");
    descriptions.reserve(datasets.size());
    for (const int number : datasets) {
        boost::shared_ptr<NCDataSetInfo> description = project->GetDataSetInfo(number);
        if (!description) {
            CString message;
            message.Format("The project has no dataset %d.", number);
            throw NCError(message.GetString());
        }
        descriptions.push_back(std::move(description));
    }
    return descriptions;
}

void CompoundDataset::SetupDatasets(const std::vector<int>& datasets) {
    const auto project = GetProject();
    const Descriptions descriptions = Describe(datasets);  // throws without a project
    if (datasets.empty()) {
        mDatasets.clear();
        mObsIDs.Clear();
        mVarIDs.Clear();
        return;
    }
    Combine(datasets, descriptions, *project);
}

void CompoundDataset::Combine(const std::vector<int>& datasets, const Descriptions& descriptions,
                              const NCProjectBase& project) {
    mDatasets = datasets;
    NCDataSetInfo& base = *descriptions.front();
    mVarIDs = base.GetVarIDs(project);
    mObsIDs = base.GetObsIDs(project);
    mDataType |= base.GetDataType();

    // Lists replaced here are this compound's own; one kept from before may have been handed
    // out, so it is copied before anything is appended to it.
    bool ownBatches = false;
    bool ownPhases = false;
    std::unordered_set<std::string> knownBatches;
    std::unordered_set<std::string> knownPhases;
    if (const BatchInfoVector* batches = base.GetBatchInfoVector(project)) {
        mBatches = boost::make_shared<BatchInfoVector>(*batches);
        ownBatches = true;
        for (const auto& batch : *mBatches)
            if (batch) knownBatches.insert(batch->GetBatchName().GetString());
    }
    const auto appendPhase = [&](const boost::shared_ptr<ClassInfo>& phase) {
        if (!phase) {
            mPhases->push_back(phase);
            return;
        }
        mPhases->push_back(phase->Clone());
        knownPhases.insert(phase->GetPhaseName().GetString());
    };
    if (const ClassInfoVector* phases = base.GetPhaseInfoVector(project)) {
        mPhases = boost::make_shared<ClassInfoVector>();
        ownPhases = true;
        mPhases->reserve(phases->size());
        for (const auto& phase : *phases) appendPhase(phase);
    }
    mUsedObsAliases = base.GetUsedObsAliases();
    mUsedVarAliases = base.GetUsedVarAliases();
    if (datasets.size() == 1) return;

    SortedIDs sortedVars(mVarIDs);
    SortedIDs sortedObs(mObsIDs);
    bool sortedObsCurrent = true;
    bool duplicateBatch = false;
    for (std::size_t d = 1; d < datasets.size(); ++d) {
        NCDataSetInfo& other = *descriptions[d];
        const int otherType = other.GetDataType();
        mDataType |= otherType;
        mUsedVarAliases = SortedUnion(mUsedVarAliases, other.GetUsedVarAliases());
        mUsedObsAliases = SortedUnion(mUsedObsAliases, other.GetUsedObsAliases());

        if (!sortedObsCurrent) {
            sortedObs.Rebuild(mObsIDs);
            sortedObsCurrent = true;
        }
        const int observationsBefore = mObsIDs.size();
        const NCIntegralVector<unsigned long, 0> otherObs = other.GetObsIDs(project);
        InsertBeforeShared(mObsIDs, otherObs, sortedObs);

        const int variablesBefore = mVarIDs.size();
        const NCIntegralVector<unsigned long, 0> otherVars = other.GetVarIDs(project);
        // Found first, appended after: the lookup may search the variable list itself.
        std::vector<unsigned long> newVars;
        for (const unsigned long id : otherVars)
            if (sortedVars.Find(id) == 0) newVars.push_back(id);
        for (const unsigned long id : newVars) mVarIDs.push_back(id);
        bool mergePhases = false;
        if (mVarIDs.size() > variablesBefore) {
            sortedVars.Rebuild(mVarIDs);
            mergePhases = (otherType & nc::DataType::kBatchLevel) != 0;
        }

        if (mObsIDs.size() > observationsBefore) {
            sortedObsCurrent = false;  // rebuilt when the next dataset needs it
            const BatchInfoVector* otherBatches = other.GetBatchInfoVector(project);
            if (otherBatches && mBatches) {
                for (const auto& batch : *otherBatches) {
                    if (!batch) continue;
                    if (!knownBatches.insert(batch->GetBatchName().GetString()).second) {
                        duplicateBatch = true;
                        continue;
                    }
                    if (!ownBatches) {
                        mBatches = boost::make_shared<BatchInfoVector>(*mBatches);
                        ownBatches = true;
                    }
                    mBatches->push_back(batch->Clone());
                }
            }
            if ((otherType & nc::DataType::kObservationLevelBatch) != 0) mergePhases = true;
        }

        const ClassInfoVector* otherPhases = mergePhases ? other.GetPhaseInfoVector(project) : nullptr;
        if (otherPhases) {
            if (!mPhases) {
                mPhases = boost::make_shared<ClassInfoVector>();
                ownPhases = true;
            } else if (!ownPhases) {
                mPhases = boost::make_shared<ClassInfoVector>(*mPhases);
                ownPhases = true;
            }
            for (const auto& phase : *otherPhases)
                if (phase && knownPhases.count(phase->GetPhaseName().GetString()) == 0) appendPhase(phase);
        }
    }

    if (duplicateBatch && mBatches && project.AskBatchQuestion()) RegroupByBatch(project);
}

void CompoundDataset::RegroupByBatch(const NCProjectBase& project) {
    // A name that occurs twice in the list takes its last position.
    std::unordered_map<std::string, int> positions;
    int count = 0;
    for (const auto& batch : *mBatches) {
        if (batch) positions[batch->GetBatchName().GetString()] = count;
        ++count;
    }
    const NCObservations& observations = project.GetObservations();
    const int alias = BatchAlias(observations);
    const int n = mObsIDs.size();
    // A counting sort: stable, one pass to count and one to place. Names not in the list go last.
    const int unlisted = count;
    std::vector<int> keys(static_cast<std::size_t>(n));
    std::vector<int> starts(static_cast<std::size_t>(count) + 2, 0);
    for (int i = 1; i <= n; ++i) {
        const ObservationInfo* record = observations[mObsIDs[i]];
        int key = unlisted;
        if (record) {
            const auto found = positions.find(record->GetUserID(alias));
            if (found != positions.end()) key = found->second;
        }
        keys[static_cast<std::size_t>(i - 1)] = key;
        ++starts[static_cast<std::size_t>(key) + 1];
    }
    for (std::size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
    NCIntegralVector<unsigned long, 0> regrouped(n);
    for (int i = 1; i <= n; ++i)
        regrouped(++starts[static_cast<std::size_t>(keys[static_cast<std::size_t>(i - 1)])]) = mObsIDs[i];
    mObsIDs = std::move(regrouped);
}

bool CompoundDataset::SplitDataSet(int existing, int added) {
    std::vector<int> datasets = mDatasets;
    const auto at = std::find(datasets.begin(), datasets.end(), existing);
    if (at == datasets.end() || std::find(datasets.begin(), datasets.end(), added) != datasets.end()) return false;
    datasets.insert(at + 1, added);
    SetupDatasets(datasets);
    return true;
}

// ---- queries --------------------------------------------------------------------------------------

CString CompoundDataset::GetName() const {
    const auto project = GetProject();
    if (!project) return CString();
    std::string name;
    for (std::size_t d = 0; d < mDatasets.size(); ++d) {
        const boost::shared_ptr<NCDataSetInfo> description = project->GetDataSetInfo(mDatasets[d]);
        if (d > 0) name += '+';
        if (description) name += description->GetName();
    }
    return CString(name);
}

int CompoundDataset::GetNumber() const { return mDatasets.size() == 1 ? mDatasets.front() : -1; }

bool CompoundDataset::IsObservationLevelBatch() const {
    return (GetDataType() & nc::DataType::kObservationLevelBatch) != 0;
}

const ObservationInfo* CompoundDataset::GetObservationInfo(int obs) const {
    if (obs < 1 || obs > mObsIDs.size()) return nullptr;
    const auto project = GetProject();
    return project ? project->GetObservations()[mObsIDs[obs]] : nullptr;
}

const VariableInfo* CompoundDataset::GetVariableInfo(int var) const {
    if (var < 1 || var > mVarIDs.size()) return nullptr;
    const auto project = GetProject();
    return project ? project->GetVariables()[mVarIDs[var]] : nullptr;
}

const char* CompoundDataset::GetObservationID(int obs, int alias) const {
    const ObservationInfo* record = GetObservationInfo(obs);
    return record ? UsedIDText(*record, mUsedObsAliases, alias) : "";
}

const char* CompoundDataset::GetVariableID(int var, int alias) const {
    const VariableInfo* record = GetVariableInfo(var);
    return record ? UsedIDText(*record, mUsedVarAliases, alias) : "";
}

boost::shared_ptr<BatchInfoVector const> CompoundDataset::GetBatchInfoVector() const { return mBatches; }

boost::shared_ptr<ClassInfoVector const> CompoundDataset::GetPhaseInfoVector() const { return mPhases; }

const std::map<unsigned long, std::set<int>>& CompoundDataset::GetVarToDSMap() const {
    if (!mVarToDatasets.empty()) return mVarToDatasets;
    const auto project = GetProject();
    if (!project) return mVarToDatasets;
    for (const int number : mDatasets) {
        const boost::shared_ptr<NCDataSetInfo> description = project->GetDataSetInfo(number);
        if (!description) continue;
        for (const unsigned long id : description->GetVarIDs(*project)) mVarToDatasets[id].insert(number);
    }
    return mVarToDatasets;
}

// ---- match percentage -----------------------------------------------------------------------------

float CompoundDataset::CalculateMatchPercent(const std::atomic<bool>& cancel) const {
    if (mDatasets.size() < 2) return 100.0f;
    const auto project = GetProject();
    if (!project) return 0.0f;
    const auto cancelled = [&cancel] { return cancel.load(std::memory_order_relaxed); };
    const std::size_t rows = static_cast<std::size_t>(mObsIDs.size());
    const std::size_t columns = static_cast<std::size_t>(mVarIDs.size());
    std::vector<std::uint8_t> covered(rows * columns, 0);

    const boost::shared_ptr<NCDataSetInfo> base = project->GetDataSetInfo(mDatasets.front());
    const std::size_t baseRows = base ? static_cast<std::size_t>(base->GetObsIDs(*project).size()) : 0;
    const std::size_t baseColumns = base ? static_cast<std::size_t>(base->GetVarIDs(*project).size()) : 0;
    const std::size_t markedColumns = std::min(baseColumns, columns);
    for (std::size_t row = 0; row < std::min(baseRows, rows); ++row) {
        std::memset(covered.data() + row * columns, 1, markedColumns);
        if (cancelled()) return 0.0f;
    }
    double total = static_cast<double>(baseRows);
    double totalColumns = static_cast<double>(baseColumns);

    const SortedIDs obsPositions(mObsIDs);
    const SortedIDs varPositions(mVarIDs);
    if (cancelled()) return 0.0f;

    std::vector<std::size_t> datasetColumns;
    for (std::size_t d = 1; d < mDatasets.size(); ++d) {
        if (cancelled()) return 0.0f;
        const boost::shared_ptr<NCDataSetInfo> other = project->GetDataSetInfo(mDatasets[d]);
        if (!other) continue;
        const NCIntegralVector<unsigned long, 0> otherObs = other->GetObsIDs(*project);
        const NCIntegralVector<unsigned long, 0> otherVars = other->GetVarIDs(*project);
        total += otherObs.size();
        totalColumns += otherVars.size();
        datasetColumns.clear();
        for (const unsigned long id : otherVars)
            if (const int column = varPositions.Find(id))
                datasetColumns.push_back(static_cast<std::size_t>(column - 1));
        if (cancelled()) return 0.0f;
        int sinceLook = 0;
        for (const unsigned long id : otherObs) {
            if (++sinceLook == 4096) {
                if (cancelled()) return 0.0f;
                sinceLook = 0;
            }
            const int row = obsPositions.Find(id);
            if (row == 0) continue;
            std::uint8_t* cells = covered.data() + static_cast<std::size_t>(row - 1) * columns;
            for (const std::size_t column : datasetColumns) cells[column] = 1;
        }
    }

    const double marked = static_cast<double>(std::count(covered.begin(), covered.end(), std::uint8_t{1}));
    const double empty = static_cast<double>(rows * columns) - marked;
    const double denominator = total * totalColumns - marked;
    if (denominator <= 0.0) return 100.0f;
    const double percent = (1.0 - empty / denominator) * 100.0;
    return static_cast<float>(std::clamp(percent, 0.0, 100.0));
}

// ---- values of one dataset ------------------------------------------------------------------------

void CompoundDataset::AddDataFromDS(int dataset, const NCIntegralVector<unsigned long, 0>& obsIDs,
                                    const NCIntegralVector<unsigned long, 0>& varIDs, const NCProjectBase& project,
                                    NCDataMatrix<float>& matrix) {
    if (matrix.GetNumRows() != obsIDs.size() || matrix.GetNumColumns() != varIDs.size()) return;
    const boost::shared_ptr<NCDataSet> source = project.GetDataset(dataset);
    if (!source) return;
    const NCDataMatrix<float> values = source->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
    const NCIntegralVector<unsigned long, 0> sourceObs = source->GetObsIDs();
    const NCIntegralVector<unsigned long, 0> sourceVars = source->GetVarIDs();
    if (values.GetNumRows() != sourceObs.size() || values.GetNumColumns() != sourceVars.size()) return;

    // (compound row, dataset row) of every dataset observation found, 0-based.
    std::vector<std::pair<int, int>> rows;
    rows.reserve(static_cast<std::size_t>(sourceObs.size()));
    ResumedSearch findRow(obsIDs);
    for (int k = 1; k <= sourceObs.size(); ++k)
        if (const int row = findRow.Find(sourceObs[k])) rows.emplace_back(row - 1, k - 1);
    if (rows.empty()) return;

    ResumedSearch findColumn(varIDs);
    for (int j = 1; j <= sourceVars.size(); ++j) {
        const int column = findColumn.Find(sourceVars[j]);
        if (column == 0) continue;
        const float* from = values.GetColumnPtr(j);
        float* to = matrix.GetMutableColumnPtr(column);
        for (const auto& [row, k] : rows) to[row] = from[k];
    }
}

// ---- stream ---------------------------------------------------------------------------------------

bool CompoundDataset::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [&] { return ZStreamBase::ZStreamableStartWrite(os); },
        [&](SectionOutput& out) {
            out.Write(kDatasets, mDatasets);
            const std::string text = boost::uuids::to_string(mID);
            out.Stream(kIdentifier).write(text.data(), static_cast<std::streamsize>(text.size()));
            out.Write(kDataType, mDataType);
        });
}

bool CompoundDataset::ZStreamableStartRead(std::istream& is) {
    return StreamSection().Read(
        is, mSection, [&] { return ZStreamBase::ZStreamableStartRead(is); },
        [&](SectionInput& in) {
            std::vector<int> datasets;
            in.Required(kDatasets, datasets);
            std::istream& identifier = in.Stream(kIdentifier);
            char text[kUUIDTextLength];
            identifier.read(text, static_cast<std::streamsize>(kUUIDTextLength));
            boost::uuids::uuid id{};
            if (identifier.gcount() != static_cast<std::streamsize>(kUUIDTextLength) || !ParseUUID(text, id))
                throw ZoStreamError("Error when reading from stream");
            int dataType = 0;
            in.Required(kDataType, dataType);

            if (datasets.empty()) {
                mID = id;
                mDataType = dataType;
                SetupDatasets(datasets);
                return true;
            }
            const auto project = GetProject();
            Descriptions descriptions;
            try {
                descriptions = Describe(datasets);
            } catch (const NCError&) {
                return false;
            }
            mID = id;
            mDataType = dataType;
            Combine(datasets, descriptions, *project);
            return true;
        });
}
