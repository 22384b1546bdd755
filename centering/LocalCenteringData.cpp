#include "centering/LocalCenteringData.h"

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "centering/DefaultCenterValues.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/streams/Section.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VariableInfo.h"

using nc::kMissingValue;

namespace {
enum SubStream : int { kCentres = 1, kSubStreamCount = 1 };

// "LCD" version 1, the current version only.
const Section& StreamSection() {
    static const Section section("LCD", 1, kSubStreamCount);
    return section;
}

constexpr const char* kUsedAliasesError = "Internale error in LocalCenteringData::GetUsedVarAliases";
constexpr const char* kDisplayNameError = "Internal error in  LocalCenteringData::GetLocalCenteringDataAsMat";
constexpr const char* kBothWildcardsName = "Default";

std::string DisplayName(const CenteringSelector& outer, const CenteringSelector& inner) {
    if (!inner.second.empty() && !outer.second.empty()) return inner.second + " - " + outer.second;
    if (!inner.second.empty()) return inner.second;
    if (!outer.second.empty()) return outer.second;
    return kBothWildcardsName;
}

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Subtracting +0 changes no value, so such runs are skipped; -0 turns -0 into +0 and is applied.
bool IsPositiveZero(float value) { return SameBits(value, 0.0f); }
}  // namespace

// ---- one call's view of the observations ----------------------------------------------------------

// The observations of one centering call: their records, looked up once, and per alias column where
// each run of equal ID texts ends, worked out the first time a centre of that column is used.
class LocalCenteringData::ObservationTexts {
public:
    ObservationTexts(const NCIntegralVector<unsigned long, 0>& obsIDs, const NCObservations& observations) {
        mRecords.reserve(static_cast<std::size_t>(obsIDs.size()));
        for (const unsigned long id : obsIDs) {
            const ObservationInfo* record = observations[id];
            mAllFound = mAllFound && record;
            mRecords.push_back(record);
        }
    }

    int Size() const { return static_cast<int>(mRecords.size()); }
    bool AllFound() const { return mAllFound; }
    // The record of 1-based `row`, or null.
    const ObservationInfo* Record(int row) const { return mRecords[static_cast<std::size_t>(row - 1)]; }

    // The first row after `row` that has a record and another ID text in column `alias`; rows
    // without a record do not end a run. Size() + 1 when there is none or `alias` is below 1 (the
    // wildcard, whose text is empty for every observation).
    int RunEnd(int alias, int row) {
        if (alias < 1) return Size() + 1;
        auto found = mRunEnds.find(alias);
        if (found == mRunEnds.end()) found = mRunEnds.emplace(alias, RunEnds(alias)).first;
        return found->second[static_cast<std::size_t>(row - 1)];
    }

private:
    std::vector<int> RunEnds(int alias) const {
        // Equal texts get equal codes, so the runs are found by comparing numbers.
        std::unordered_map<std::string_view, int> codes;
        const int n = Size();
        std::vector<int> ends(static_cast<std::size_t>(n), n + 1);
        int nextRow = n + 1;
        int nextCode = -1;
        int nextEnd = n + 1;
        for (int row = n; row >= 1; --row) {
            const ObservationInfo* record = Record(row);
            if (!record) continue;
            const int code = codes.emplace(IDText(*record, alias), static_cast<int>(codes.size())).first->second;
            int& end = ends[static_cast<std::size_t>(row - 1)];
            if (nextRow > n)
                end = n + 1;
            else
                end = code != nextCode ? nextRow : nextEnd;
            nextRow = row;
            nextCode = code;
            nextEnd = end;
        }
        return ends;
    }

    std::vector<const ObservationInfo*> mRecords;
    bool mAllFound = true;
    std::map<int, std::vector<int>> mRunEnds;
};

// The centres of one variable as runs of rows with one value; rows outside every run get 0. Runs
// never hold a row without a record and never overlap, but need not be in row order.
struct LocalCenteringData::CentreColumn {
    struct Run {
        int first;  // 1-based rows first … last
        int last;
        float value;
    };
    std::vector<Run> runs;

    void Clear() { runs.clear(); }
    void Append(int row, float value) {
        if (!runs.empty() && runs.back().last + 1 == row && SameBits(runs.back().value, value))
            ++runs.back().last;
        else
            runs.push_back(Run{row, row, value});
    }
    // Rows first … last, leaving out those without a record.
    void AppendRun(int first, int last, float value, const ObservationTexts& texts) {
        if (texts.AllFound()) {
            runs.push_back(Run{first, last, value});
            return;
        }
        for (int row = first; row <= last; ++row)
            if (texts.Record(row)) Append(row, value);
    }
    bool AnyNonZero() const {
        return std::any_of(runs.begin(), runs.end(), [](const Run& run) { return run.value != 0.0f; });
    }
};

// ---- the table ----------------------------------------------------------------------------------

const ZStreamableData& LocalCenteringData::StreamData() { return StreamSection().Data(); }

LocalCenteringData::~LocalCenteringData() = default;

const char* LocalCenteringData::IDText(const VarObsInfo& record, int alias) { return record.GetUserID(alias); }

void LocalCenteringData::AddInfo(float value, unsigned long varID, int innerAlias, const char* innerName,
                                 int outerAlias, const char* outerName) {
    const Selector inner = CenteringSelectors::Make(innerAlias, innerName);
    const Selector outer = CenteringSelectors::Make(outerAlias, outerName);
    mUsedVarAliases.clear();
    if (value != kMissingValue) {
        mCentres[varID][outer][inner] = value;
        return;
    }
    const auto variable = mCentres.find(varID);
    if (variable == mCentres.end()) return;
    const auto outerEntry = variable->second.find(outer);
    if (outerEntry == variable->second.end()) return;
    outerEntry->second.erase(inner);
    if (outerEntry->second.empty()) variable->second.erase(outerEntry);
    if (variable->second.empty()) mCentres.erase(variable);
}

void LocalCenteringData::Add(const LocalCenteringData& other) {
    mUsedVarAliases.clear();
    if (&other == this) return;
    for (const auto& [varID, outerMap] : other.mCentres)
        for (const auto& [outer, innerMap] : outerMap)
            for (const auto& [inner, value] : innerMap) mCentres[varID][outer][inner] = value;
}

void LocalCenteringData::PurgeUnUsedVars(const NCVariables& variables) {
    mUsedVarAliases.clear();
    for (auto variable = mCentres.begin(); variable != mCentres.end();)
        variable = variables[variable->first] ? std::next(variable) : mCentres.erase(variable);
}

NCIntegralVector<unsigned long, 0> LocalCenteringData::GetVariableIDs() const {
    NCIntegralVector<unsigned long, 0> ids;
    ids.reserve(static_cast<int>(mCentres.size()));
    for (const auto& entry : mCentres) ids.push_back(entry.first);
    return ids;
}

std::vector<int> LocalCenteringData::GetUsedVarAliases(const NCVariables& variables) const {
    if (mUsedVarAliases.empty()) {
        std::set<int> aliases{1};
        for (const auto& entry : mCentres) {
            const VariableInfo* variable = variables[entry.first];
            if (!variable) throw NCError(kUsedAliasesError);
            const VarObsInfo& record = *variable;
            for (int alias = 2; alias <= record.GetNumIDs(); ++alias)
                if (*record.GetUserID(alias) != '\0') aliases.insert(alias);
        }
        mUsedVarAliases.swap(aliases);
    }
    return std::vector<int>(mUsedVarAliases.begin(), mUsedVarAliases.end());
}

std::unique_ptr<std::map<std::string, int>> LocalCenteringData::GetIDNames() const {
    auto names = std::make_unique<std::map<std::string, int>>();
    for (const auto& [varID, outerMap] : mCentres)
        for (const auto& [outer, innerMap] : outerMap)
            for (const auto& entry : innerMap)
                names->emplace(DisplayName(outer, entry.first), static_cast<int>(names->size()) + 1);
    return names;
}

NCDataMatrix<float> LocalCenteringData::GetLocalCenteringDataAsMat(const std::map<std::string, int>* names) const {
    std::unique_ptr<std::map<std::string, int>> own;
    if (!names) {
        own = GetIDNames();
        names = own.get();
    }
    const int columns = static_cast<int>(names->size());
    NCDataMatrix<float> matrix(static_cast<int>(mCentres.size()), columns, kMissingValue);
    int row = 0;
    for (const auto& [varID, outerMap] : mCentres) {
        ++row;
        for (const auto& [outer, innerMap] : outerMap) {
            for (const auto& [inner, value] : innerMap) {
                const auto column = names->find(DisplayName(outer, inner));
                if (column == names->end() || column->second < 1 || column->second > columns)
                    throw NCError(kDisplayNameError);
                matrix(row, column->second, value);
            }
        }
    }
    return matrix;
}

template <typename TextOf>
bool LocalCenteringData::FindCentre(const OuterMap& outerMap, TextOf&& textOf, Selector& key, float& value) {
    const auto outer = CenteringSelectors::Find(outerMap, textOf, key);
    if (outer == outerMap.end()) return false;
    const auto inner = CenteringSelectors::Find(outer->second, textOf, key);
    if (inner == outer->second.end()) return false;
    value = inner->second;
    return true;
}

bool LocalCenteringData::HasLocalCenteringData(const NCIntegralVector<unsigned long, 0>& varIDs,
                                               const std::vector<CString>& names,
                                               const DefaultCenterValues* defaults) const {
    if (mCentres.empty() && defaults && defaults->SizeVars() == 0) return false;
    Selector key;
    for (const unsigned long varID : varIDs) {
        if (defaults && defaults->HasVar(varID)) {
            for (const CString& name : names)
                if (defaults->GetDefaultValue(varID, name) != 0.0f) return true;
        }
        const auto variable = mCentres.find(varID);
        if (variable == mCentres.end()) continue;
        for (const CString& name : names) {
            const char* text = name;
            float value = 0.0f;
            if (FindCentre(
                    variable->second, [text](int) { return text; }, key, value) &&
                value != 0.0f)
                return true;
        }
    }
    return false;
}

bool LocalCenteringData::HasLocalCenteringData(const std::list<unsigned long>& varIDs,
                                               const NCIntegralVector<unsigned long, 0>& obsIDs,
                                               const NCProjectBase& project,
                                               const DefaultCenterValues* defaults) const {
    if (mCentres.empty() && defaults && defaults->SizeVars() == 0) return false;
    const ObservationTexts texts(obsIDs, project.GetObservations());
    Selector key;
    for (const unsigned long varID : varIDs) {
        const bool withDefaults = defaults && defaults->HasVar(varID);
        const auto variable = mCentres.find(varID);
        const bool inTable = variable != mCentres.end();
        if (!withDefaults && !inTable) continue;
        for (int row = 1; row <= texts.Size(); ++row) {
            const ObservationInfo* record = texts.Record(row);
            if (!record) continue;
            if (withDefaults && defaults->GetDefaultValue(varID, *record) != 0.0f) return true;
            float value = 0.0f;
            if (inTable &&
                FindCentre(
                    variable->second, [record](int alias) { return IDText(*record, alias); }, key, value) &&
                value != 0.0f)
                return true;
        }
    }
    return false;
}

// ---- centering ------------------------------------------------------------------------------------

boost::shared_ptr<DefaultCenterValues const> LocalCenteringData::Centre(
    const NCIntegralVector<unsigned long, 0>& obsIDs, const NCIntegralVector<unsigned long, 0>& varIDs,
    const NCProjectBase& project, boost::shared_ptr<DefaultCenterValues const> defaults, const ColumnSink& sink) const {
    const NCObservations& observations = project.GetObservations();
    const bool byBatch = project.AskBatchQuestion();
    std::map<int, bool> batchAliases;
    const auto isBatchAlias = [&](int alias) {
        if (!byBatch || alias < 1) return false;
        const auto [entry, added] = batchAliases.emplace(alias, false);
        if (added) entry->second = observations.GetBatchID(std::vector<int>{alias}) == 1;
        return entry->second;
    };
    // Once set, uncovered observations of every later variable take defaults too.
    bool batchColumn = false;

    if (mCentres.empty()) {
        if (!defaults) return boost::make_shared<DefaultCenterValues>();
        if (defaults->SizeVars() == 0) return defaults;
    }
    boost::shared_ptr<DefaultCenterValues> made;
    if (!defaults) made = boost::make_shared<DefaultCenterValues>();

    ObservationTexts texts(obsIDs, observations);
    const int rows = texts.Size();
    Selector key;
    CentreColumn column;
    std::vector<int> uncovered;
    DefaultCenterValues::UsedCentres used;
    for (int position = 1; position <= varIDs.size(); ++position) {
        const unsigned long varID = varIDs[position];
        column.Clear();
        const auto variable = mCentres.find(varID);
        if (variable == mCentres.end()) {
            if (!defaults || !defaults->HasVar(varID)) continue;
            for (int row = 1; row <= rows; ++row)
                if (const ObservationInfo* record = texts.Record(row))
                    column.Append(row, defaults->GetDefaultValue(varID, *record));
        } else {
            const OuterMap& outerMap = variable->second;
            used.clear();
            uncovered.clear();
            for (int row = 1; row <= rows;) {
                const ObservationInfo* record = texts.Record(row);
                if (!record) {
                    ++row;
                    continue;
                }
                const auto textOf = [record](int alias) { return IDText(*record, alias); };
                const auto outer = CenteringSelectors::Find(outerMap, textOf, key);
                const auto inner = outer == outerMap.end() ? InnerMap::const_iterator()
                                                           : CenteringSelectors::Find(outer->second, textOf, key);
                if (outer == outerMap.end() || inner == outer->second.end()) {
                    uncovered.push_back(row++);
                    continue;
                }
                const Selector& outerSelector = outer->first;
                const Selector& innerSelector = inner->first;
                const float value = inner->second;
                if (isBatchAlias(outerSelector.first) || isBatchAlias(innerSelector.first)) batchColumn = true;
                used[std::make_pair(outerSelector, innerSelector)] = value;
                // The following observations with the same texts in both matched columns take the
                // same centre without a look-up.
                const int end =
                    std::min(texts.RunEnd(innerSelector.first, row), texts.RunEnd(outerSelector.first, row));
                column.AppendRun(row, end - 1, value, texts);
                row = end;
            }
            if (made) made->AddVar(varID, used);
            if (!defaults && batchColumn) defaults = made;
            if (defaults && batchColumn)
                for (const int row : uncovered)
                    column.Append(row, defaults->GetDefaultValue(varID, *texts.Record(row)));
        }
        if (column.AnyNonZero()) sink(position, column);
    }
    if (made) return made;
    return defaults;
}

boost::shared_ptr<DefaultCenterValues const> LocalCenteringData::GetSubtractionMatrix(
    NCDataMatrix<float>& centres, NCIntegralVector<unsigned long, 0>& centredVarIDs,
    const NCIntegralVector<unsigned long, 0>& obsIDs, const NCIntegralVector<unsigned long, 0>& varIDs,
    const NCProjectBase& project, boost::shared_ptr<DefaultCenterValues const> defaults) const {
    centres.Clear();
    centredVarIDs.Clear();
    // An empty table without defaults to apply leaves the matrix without rows.
    if (!mCentres.empty() || (defaults && defaults->SizeVars() != 0)) centres = NCDataMatrix<float>(obsIDs.size(), 0);
    return Centre(obsIDs, varIDs, project, std::move(defaults), [&](int position, const CentreColumn& column) {
        const int col = centres.GetNumColumns() + 1;
        centres.InsertColumns(col, 1, 0.0f);
        centredVarIDs.push_back(varIDs[position]);
        float* values = centres.GetMutableColumnPtr(col);
        if (!values) return;
        for (const CentreColumn::Run& run : column.runs)
            std::fill(values + run.first - 1, values + run.last, run.value);
    });
}

boost::shared_ptr<DefaultCenterValues const> LocalCenteringData::Subtract(
    NCDataMatrix<float>& data, const NCIntegralVector<unsigned long, 0>& obsIDs,
    const NCIntegralVector<unsigned long, 0>& varIDs, const NCProjectBase& project,
    boost::shared_ptr<DefaultCenterValues const> defaults) const {
    const int rows = std::min(data.GetNumRows(), obsIDs.size());
    // Each centred variable is subtracted from the first column of its unique ID.
    std::unordered_map<unsigned long, int> firstColumns;
    const auto firstColumn = [&](int position) {
        if (firstColumns.empty())
            for (int col = varIDs.size(); col >= 1; --col) firstColumns[varIDs[col]] = col;
        return firstColumns[varIDs[position]];
    };
    return Centre(obsIDs, varIDs, project, std::move(defaults), [&](int position, const CentreColumn& column) {
        const int col = firstColumn(position);
        if (rows == 0 || col > data.GetNumColumns()) return;
        float* values = data.GetMutableColumnPtr(col);
        for (const CentreColumn::Run& run : column.runs) {
            if (IsPositiveZero(run.value) || run.first > rows) continue;
            const float centre = run.value;
            float* const end = values + std::min(run.last, rows);
            for (float* value = values + run.first - 1; value != end; ++value) {
                const float x = *value;
                *value = x == kMissingValue ? x : x - centre;
            }
        }
    });
}

// ---- stream ---------------------------------------------------------------------------------------

bool LocalCenteringData::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; }, [&](SectionOutput& out) { out.Write(kCentres, mCentres); });
}

bool LocalCenteringData::ZStreamableStartRead(std::istream& is) {
    const auto dropCache = [&] {
        mUsedVarAliases.clear();
        return true;
    };
    return StreamSection().Read(is, mSection, dropCache, [&](SectionInput& in) {
        CentreTable read;
        in.Required(kCentres, read);
        mCentres.insert(read.begin(), read.end());
    });
}
