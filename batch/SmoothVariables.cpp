// Smoothing the variables of a dataset phase by phase, and creating the smoothed, relative and
// time variables.

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "batch/Smooth.h"
#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchQueries.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/VariableInfo.h"

namespace {

using Positions = NCIntegralVector<int, -99>;

const char* const kPhaseNotFound = "Unable to find the required phase, smoothing aborted.";
const char* const kTimeRecipe = "IndexByPhase(0)";

bool IsMissing(float value) { return value == nc::kMissingValue; }

// Rows first .. first + length - 1 (1-based).
struct Segment {
    int first;
    int length;
};

// The row after the run that begins at `first`: the next phase beginning, or past the last row.
int RunEnd(const Smooth::BatchLayout& layout, int beginningIndex) {
    return beginningIndex < layout.phaseBeginnings.size() ? layout.phaseBeginnings[beginningIndex + 1]
                                                          : layout.numObs + 1;
}

// The segments of every phase (index 1 .. numPhases): in each batch, the run of the first row
// with that phase number. Without phase numbers each batch is one segment of phase 1.
std::vector<std::vector<Segment>> CollectSegments(const Smooth::BatchLayout& layout) {
    std::vector<std::vector<Segment>> segments(static_cast<std::size_t>(layout.numPhases) + 1);
    const Positions& batches = layout.batchBeginnings;
    const Positions& runs = layout.phaseBeginnings;
    const bool numbered = !layout.phaseNumbers.empty();
    std::vector<int> seenInBatch(segments.size(), 0);
    for (int k = 1; k <= batches.size(); ++k) {
        const int first = batches[k];
        const int next = k < batches.size() ? batches[k + 1] : layout.numObs + 1;
        if (!numbered) {
            segments[1].push_back({first, next - first});
            continue;
        }
        for (int row = first; row < next; ++row) {
            const int phase = layout.phaseNumbers[row];
            if (phase < 1 || phase > layout.numPhases || seenInBatch[phase] == k) continue;
            seenInBatch[phase] = k;
            const auto found = std::lower_bound(runs.begin(), runs.end(), row);
            if (found == runs.end() || *found != row) throw NCError(kPhaseNotFound);
            const int index = static_cast<int>(found - runs.begin()) + 1;
            segments[phase].push_back({row, RunEnd(layout, index) - row});
        }
    }
    return segments;
}

float Median(std::vector<float> values) {
    if (values.empty()) return 0.0f;
    const std::size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    const float upper = values[middle];
    if (values.size() % 2 == 1) return upper;
    const float lower = *std::max_element(values.begin(), values.begin() + middle);
    return (lower + upper) / 2.0f;
}

// The column's values, taken from a copy of the matrix that is released at once, so that the
// dataset's own matrix is not shared while columns are appended to it.
std::vector<float> ColumnValues(const NCDataSet& ds, int var) {
    const NCDataMatrix<float> data = ds.GetData(false, nullptr);
    const float* column = data.GetColumnPtr(var);
    return std::vector<float>(column, column + data.GetNumRows());
}

// The direction of each phase from the smoothed variable made from `sourceID` in dataset 1:
// walks its phase runs until every phase 1 .. numPhases has one. Empty when there is nothing to
// learn from.
std::vector<int> PhaseDirections(const NCDataSet& first, const BatchImportSettings* settings, unsigned long sourceID,
                                 int numPhases, const NCObservations& observations) {
    std::vector<int> directions;
    if (!settings) return directions;
    const unsigned long smoothedID = settings->GetSmoothed(sourceID);
    const int column = smoothedID == nc::kNoUniqueID ? 0 : first.GetVarIDs().Find(smoothedID);
    if (column < 1) return directions;

    const Smooth::BatchLayout layout = Smooth::GetBatchLayout(observations, first.GetObsIDs());
    const std::vector<float> values = ColumnValues(first, column);
    directions.assign(static_cast<std::size_t>(numPhases) + 1, 0);
    int undecided = numPhases;
    for (int k = 1; k <= layout.phaseBeginnings.size() && undecided > 0; ++k) {
        const int start = layout.phaseBeginnings[k];
        const int stop = RunEnd(layout, k) - 1;
        const int phase = layout.phaseNumbers.empty() ? 1 : layout.phaseNumbers[start];
        if (phase < 1 || phase > numPhases || directions[phase] != 0) continue;
        const float from = values[start - 1], to = values[stop - 1];
        if (IsMissing(from) || IsMissing(to)) continue;
        directions[phase] = to <= from ? -1 : 1;
        --undecided;
    }
    return directions;
}

bool IsSmoothable(const VariableInfo& info, unsigned long varID) {
    const char* name = info.GetPrimaryAlias();
    return std::strcmp(name, BatchInfo::GetGeneratedTimeVariableName()) != 0 && info.IsY() &&
           (varID == nc::kNoUniqueID || info.GetUniqueID() == varID) && name[0] != '$';
}

// Appends a variable named `name` holding `values`; its column, or 0 when the values were refused.
int AppendColumn(NCDataSet& ds, const CString& name, const std::vector<float>& values) {
    ds.AddVariables(1, name, true, false);
    const int column = ds.SizeVariables();
    return ds.SetColValues(values.data(), column) ? column : 0;
}

}  // namespace

namespace Smooth {

BatchLayout GetBatchLayout(const NCObservations& obs, const NCIntegralVector<unsigned long, 0>& obsIDs) {
    BatchLayout layout;
    layout.numObs = obsIDs.size();
    const std::unique_ptr<Positions> batches(BatchUtilities::GetBatchBeginnings(&obs, &obsIDs));
    if (batches)
        layout.batchBeginnings = *batches;
    else if (layout.numObs > 0)
        layout.batchBeginnings.push_back(1);
    const std::unique_ptr<Positions> runs(BatchUtilities::GetPhaseBeginnings(&obs, &obsIDs));
    layout.phaseBeginnings = runs ? *runs : layout.batchBeginnings;
    int maxPhase = 0;
    const std::unique_ptr<Positions> phases(BatchUtilities::GetObsPhases(maxPhase, &obs, obsIDs));
    if (phases && maxPhase >= 1) {
        layout.phaseNumbers = *phases;
        layout.numPhases = maxPhase;
    }
    return layout;
}

void SmoothVariable(const float* values, const BatchLayout& layout, bool timeVariable,
                    const std::vector<int>& directions, std::vector<float>& smoothed, std::vector<float>& relative) {
    const std::vector<std::vector<Segment>> segments = CollectSegments(layout);
    smoothed.assign(static_cast<std::size_t>(layout.numObs), nc::kMissingValue);
    relative.assign(static_cast<std::size_t>(layout.numObs), nc::kMissingValue);

    for (int phase = 1; phase <= layout.numPhases; ++phase) {
        const std::vector<Segment>& runs = segments[phase];
        if (runs.empty()) continue;

        long total = 0;
        std::vector<float> firsts, lasts;
        for (const Segment& run : runs) {
            total += run.length;
            const float* y = values + run.first - 1;
            int first = 0, last = run.length - 1;
            while (first < run.length && IsMissing(y[first])) ++first;
            while (last >= 0 && IsMissing(y[last])) --last;
            if (first >= last) continue;
            firsts.push_back(y[first]);
            lasts.push_back(y[last]);
        }
        float start = Median(firsts), end = Median(lasts);
        const int direction = phase < static_cast<int>(directions.size()) ? directions[phase] : 0;
        if ((direction == 1 && end < start) || (direction == -1 && end > start)) std::swap(start, end);

        const Window window =
            timeVariable ? Window{1, false} : ChoosePhaseWindow(static_cast<float>(total) / runs.size());
        const NCDataMatrix<float> hat = GetHatMatrix(window.size, window.quadratic);
        for (const Segment& run : runs) {
            float* s = smoothed.data() + run.first - 1;
            SmoothSegment(values + run.first - 1, s, run.length, start, end, &hat);
            float* r = relative.data() + run.first - 1;
            for (int k = 0; k < run.length; ++k) r[k] = s[k] - s[0] + 0.0f;
        }
    }
}

int CreateAndInsertSmoothedYs(boost::shared_ptr<NCDataSet> ds, BatchImportSettings* settings, unsigned long varID,
                              std::vector<CString>* createdNames) {
    if (!ds) return 0;
    const auto project = ds->GetProject();
    if (!project) return 0;
    boost::shared_ptr<NCDataSet> first;
    if (ds->GetNumber() > 1) {
        first = project->GetDataset(1);
        if (!first) return 0;
    }
    const NCObservations& observations = project->GetObservations();
    NCVariables& variables = project->GetVariables();
    const BatchLayout layout = GetBatchLayout(observations, ds->GetObsIDs());
    const int extraColumns = varID == nc::kNoUniqueID ? 3 : 2;

    int smoothedCount = 0, relativeCount = 0;
    const int columns = ds->SizeVariables();  // only the columns there before
    for (int var = 1; var <= columns; ++var) {
        const VariableInfo* info = ds->GetVariableInfo(var);
        if (!info || !IsSmoothable(*info, varID)) continue;
        const unsigned long sourceID = info->GetUniqueID();
        const CString sourceName(info->GetPrimaryAlias());

        const std::vector<int> directions =
            first ? PhaseDirections(*first, settings, sourceID, layout.numPhases, observations) : std::vector<int>();
        std::vector<float> smoothed, relative;
        SmoothVariable(ColumnValues(*ds, var).data(), layout, IsTimeVariableName(sourceName), directions, smoothed,
                       relative);
        ds->ReserveVars(ds->SizeVariables() + extraColumns);

        // A new column starts as an excluded Y variable, like its source; registering it decides
        // its inclusion. The dataset may have numbered the name asked for, so the record's is reported.
        const auto created = [&](int column) {
            const unsigned long id = ds->GetVarID(column);
            VariableInfo* record = variables[id];
            if (record) record->SetVariableBlock(eBlockExcludedY);
            if (createdNames && record) createdNames->push_back(CString(record->GetPrimaryAlias()));
            return id;
        };
        CString name;
        name.Format("$%s [smoothed]", sourceName.c_str());
        const int smoothedColumn = AppendColumn(*ds, name, smoothed);
        if (smoothedColumn > 0) {
            const unsigned long id = created(smoothedColumn);
            if (settings) settings->IncludeNewVar(id, sourceID, &variables, true, false, false);
            ++smoothedCount;
        }
        name.Format(smoothedColumn > 0 ? "$%s [Rel.smoothed]" : "$%s [Relative]", sourceName.c_str());
        const int relativeColumn = AppendColumn(*ds, name, relative);
        if (relativeColumn > 0) {
            const unsigned long id = created(relativeColumn);
            if (settings) settings->IncludeNewVar(id, sourceID, &variables, smoothedColumn == 0, true, false);
            ++relativeCount;
        }
    }
    if (smoothedCount > 0 && relativeCount > 0) return 2;
    return relativeCount > 0 ? 1 : 0;
}

bool CreateAndInsert_DollarTime(boost::shared_ptr<NCDataSet> ds, BatchImportSettings* settings) {
    if (!ds) return false;
    const auto project = ds->GetProject();
    if (!project) return false;
    NCVariables& variables = project->GetVariables();
    const BatchLayout layout = GetBatchLayout(project->GetObservations(), ds->GetObsIDs());

    Positions time(layout.numObs, 0);
    for (int k = 1; k <= layout.phaseBeginnings.size(); ++k) {
        const int start = layout.phaseBeginnings[k];
        for (int row = start; row < RunEnd(layout, k); ++row) time(row) = row - start;
    }

    const char* timeName = BatchInfo::GetGeneratedTimeVariableName();
    int column = 0;
    for (int var = 1; var <= ds->SizeVariables() && column == 0; ++var) {
        const VariableInfo* info = ds->GetVariableInfo(var);
        if (info && std::strcmp(info->GetPrimaryAlias(), timeName) == 0) column = var;
    }
    if (column == 0) {
        ds->AddVariables(1, timeName, true, false);
        column = ds->SizeVariables();
        if (VariableInfo* added = variables[ds->GetVarID(column)]) added->SetRecipe(kTimeRecipe);
    }
    ds->SetColValues(time, column);

    const unsigned long id = ds->GetVarID(column);
    if (settings) settings->IncludeNewVar(id, nc::kNoUniqueID, &variables, false, false, true);
    VariableInfo* record = variables[id];
    if (!record) return true;
    record->SetIncluded(false);
    std::set<int> covered;
    if (!variables.IncludedYExsists(covered)) {
        record->SetIncluded(true);
        return true;
    }
    const int numPhases = layout.phaseNumbers.empty() ? 0 : layout.numPhases;
    std::set<int> uncovered;
    for (int phase = 1; phase <= numPhases; ++phase)
        if (!covered.count(phase)) uncovered.insert(phase);
    if (!covered.count(0) && !uncovered.empty()) {
        record->SetIncluded(true);
        record->SetClasses(static_cast<int>(uncovered.size()) == numPhases ? std::set<int>() : uncovered);
    }
    return true;
}

}  // namespace Smooth
