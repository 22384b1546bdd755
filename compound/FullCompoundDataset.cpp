#include "compound/FullCompoundDataset.h"

#include <algorithm>
#include <utility>

#include <boost/make_shared.hpp>

#include "centering/LocalCenteringData.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCDataSetInfo.h"
#include "dataset/NCProjectBase.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "varobs/VariableInfo.h"

namespace {

// True when two ascending lists share a value.
bool ShareAValue(const std::vector<unsigned long>& a, const std::vector<unsigned long>& b) {
    auto i = a.begin();
    auto j = b.begin();
    while (i != a.end() && j != b.end()) {
        if (*i < *j) {
            ++i;
        } else if (*j < *i) {
            ++j;
        } else {
            return true;
        }
    }
    return false;
}

std::vector<unsigned long> SortedCopy(const NCIntegralVector<unsigned long, 0>& ids) {
    std::vector<unsigned long> sorted(ids.begin(), ids.end());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

// True when `prefix` is the start of `ids`.
bool StartsWith(const NCIntegralVector<unsigned long, 0>& ids, const NCIntegralVector<unsigned long, 0>& prefix) {
    return prefix.size() <= ids.size() && std::equal(prefix.begin(), prefix.end(), ids.begin());
}

}  // namespace

FullCompoundDataset::FullCompoundDataset(boost::shared_ptr<NCProjectBase> project, const std::vector<int>& datasets)
    : NCDataContainer(project), mCompound(boost::make_shared<CompoundDataset>(project, datasets)) {}

FullCompoundDataset::FullCompoundDataset(boost::shared_ptr<CompoundDataset> compound)
    : NCDataContainer(compound->GetProject()), mCompound(std::move(compound)) {}

FullCompoundDataset::~FullCompoundDataset() = default;

bool FullCompoundDataset::SplitDataSet(int existing, int added) {
    if (!mCompound->SplitDataSet(existing, added)) return false;
    mData.reset();
    return true;
}

// ---- the matrix -----------------------------------------------------------------------------------

std::unique_ptr<NCDataMatrix<float>> FullCompoundDataset::SetupDataMatrix() const {
    const CompoundDataset& compound = *mCompound;
    const int rows = compound.mObsIDs.size();
    const int columns = compound.mVarIDs.size();
    const auto project = GetProject();
    if (compound.mDatasets.empty() || !project)
        return std::make_unique<NCDataMatrix<float>>(rows, columns, nc::kMissingValue);

    std::unique_ptr<NCDataMatrix<float>> matrix;
    const boost::shared_ptr<NCDataSet> first = project->GetDataset(compound.mDatasets.front());
    if (first && StartsWith(compound.mObsIDs, first->GetObsIDs()) && StartsWith(compound.mVarIDs, first->GetVarIDs())) {
        const NCDataMatrix<float> values = first->GetData(false, boost::shared_ptr<DefaultCenterValues const>());
        if (values.GetNumRows() == rows && values.GetNumColumns() == columns) {
            matrix = std::make_unique<NCDataMatrix<float>>(values);  // shares the storage until written
        } else {
            // One copy into the full shape; the cells the dataset lacks hold -99, as inserted ones would.
            matrix = std::make_unique<NCDataMatrix<float>>(rows, columns, nc::kMissingValue);
            for (int column = 1; column <= values.GetNumColumns() && values.GetNumRows() > 0; ++column)
                std::copy_n(values.GetColumnPtr(column), values.GetNumRows(), matrix->GetMutableColumnPtr(column));
        }
    } else {
        matrix = std::make_unique<NCDataMatrix<float>>(rows, columns, nc::kMissingValue);
        CompoundDataset::AddDataFromDS(compound.mDatasets.front(), compound.mObsIDs, compound.mVarIDs, *project,
                                       *matrix);
    }
    for (std::size_t d = 1; d < compound.mDatasets.size(); ++d)
        CompoundDataset::AddDataFromDS(compound.mDatasets[d], compound.mObsIDs, compound.mVarIDs, *project, *matrix);
    return matrix;
}

const NCDataMatrix<float>& FullCompoundDataset::Matrix() const {
    if (!mData || mData->GetNumRows() != mCompound->SizeObservations() ||
        mData->GetNumColumns() != mCompound->SizeVariables())
        mData = boost::shared_ptr<NCDataMatrix<float>>(SetupDataMatrix().release());
    return *mData;
}

NCDataMatrix<float> FullCompoundDataset::DoGetData(bool centred,
                                                   boost::shared_ptr<DefaultCenterValues const> defaults) const {
    NCDataMatrix<float> data = Matrix();
    if (!centred) return data;
    const auto project = GetProject();
    if (!project) return data;
    const boost::shared_ptr<LocalCenteringData> centering = project->GetLocalCenteringData();
    if (!centering || centering->SizeVars() == 0) return data;
    centering->Subtract(data, mCompound->mObsIDs, mCompound->mVarIDs, *project, std::move(defaults));
    return data;
}

std::string FullCompoundDataset::GetStrValue(int obs, int var) const {
    if (obs < 1 || obs > SizeObservations() || var < 1 || var > SizeVariables()) return std::string();
    const VariableInfo* record = GetVariableInfo(var);
    if (!record) return std::string();
    return record->Decode(Matrix()(obs, var));
}

// ---- batch conditions -----------------------------------------------------------------------------

bool FullCompoundDataset::CheckBatchConditionCommonObsAndVar(CString& message) const {
    const auto project = GetProject();
    if (!project) return false;
    struct Candidate {
        CString name;
        std::vector<unsigned long> observations;
        std::vector<unsigned long> variables;
    };
    std::vector<Candidate> candidates;  // the datasets with batch conditions, in list order
    for (const int number : mCompound->mDatasets) {
        const boost::shared_ptr<NCDataSetInfo> description = project->GetDataSetInfo(number);
        if (!description || (description->GetDataType() & nc::DataType::kBatchConditions) == 0) continue;
        candidates.push_back({CString(description->GetName()), SortedCopy(description->GetObsIDs(*project)),
                              SortedCopy(description->GetVarIDs(*project))});
    }
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        for (std::size_t j = i + 1; j < candidates.size(); ++j) {
            if (!ShareAValue(candidates[i].variables, candidates[j].variables) ||
                !ShareAValue(candidates[i].observations, candidates[j].observations))
                continue;
            message.Format(
                "Dataset %s and %s have common variables and observations. Duplicated variables will only be used "
                "from the second dataset.",
                candidates[i].name.GetString().c_str(), candidates[j].name.GetString().c_str());
            return true;
        }
    }
    return false;
}

// ---- extra columns --------------------------------------------------------------------------------

void FullCompoundDataset::AppendDACoumns(int dataset) {
    const auto project = GetProject();
    if (!project) return;
    const boost::shared_ptr<NCDataSet> source = project->GetDataset(dataset);
    if (!source || source->SizeObservations() != mCompound->SizeObservations()) return;
    CompoundDataset& compound = *mCompound;
    const bool matrixCurrent = mData && mData->GetNumRows() == compound.SizeObservations() &&
                               mData->GetNumColumns() == compound.SizeVariables();
    compound.mDatasets.push_back(dataset);
    compound.mDataType |= source->GetDataType();
    compound.mVarIDs.Concat(source->GetVarIDs());
    if (matrixCurrent) {
        mData->ConcatColumns(source->GetData(false, boost::shared_ptr<DefaultCenterValues const>()));
    } else {
        mData.reset();  // built for the new columns on the next request
    }
}

void FullCompoundDataset::RemoveDAColumns(int dataset) {
    CompoundDataset& compound = *mCompound;
    const auto at = std::find(compound.mDatasets.begin(), compound.mDatasets.end(), dataset);
    if (at == compound.mDatasets.end()) return;
    compound.mDatasets.erase(at);
    const auto project = GetProject();
    const boost::shared_ptr<NCDataSet> source = project ? project->GetDataset(dataset) : boost::shared_ptr<NCDataSet>();
    const int removed = std::min(source ? source->SizeVariables() : 0, compound.mVarIDs.size());
    if (removed == 0) return;
    compound.mVarIDs.RemoveValues(compound.mVarIDs.size() - removed + 1, removed);
    if (mData && mData->GetNumColumns() >= removed) mData->RemoveColumns(mData->GetNumColumns() - removed + 1, removed);
}
