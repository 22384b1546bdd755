#pragma once
// FullCompoundDataset: a compound dataset with its values. It presents the combined table of
// several datasets as a full data container: GetData yields one matrix with a row per compound
// observation and a column per compound variable, -99 where no dataset has a value. Where two
// datasets hold the same cell, the later dataset in the list wins. The rows, columns, IDs,
// batches and phases are the compound's (CompoundDataset, shared with whoever made it).
//
// The matrix is built on the first request and kept: values that change in the datasets later
// are not seen until it is built again (after a successful SplitDataSet, or when the compound
// it holds was set up again elsewhere and no longer has the matrix's shape).
//
// Choices a caller might not expect:
// - The first dataset's values are taken over whole (one copy, or none when it is the whole
//   table) when its observations and variables are the compound's first rows and columns in the
//   same order; otherwise the matrix starts as -99 and each dataset's values are placed by ID.
// - AppendDACoumns does nothing when the project does not hold the dataset or when its number
//   of observations differs from the compound's (its rows are taken to be the compound's).
//   RemoveDAColumns removes the number of columns the dataset has now (as the project holds it;
//   none when it holds it no longer) from the end, and only when the dataset is combined.
// - GetStrValue returns "" for a position out of range or a variable without a record.
// - Not persistent: only the compound has a section.

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/uuid/uuid.hpp>

#include "compound/CompoundDataset.h"
#include "dataset/NCDataContainer.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/utility/CString.h"

class FullCompoundDataset : public NCDataContainer {
public:
    // Holds a new CompoundDataset(project, datasets); throws as that constructor.
    FullCompoundDataset(boost::shared_ptr<NCProjectBase> project, const std::vector<int>& datasets);
    // Holds `compound` (not null); the project is the compound's.
    explicit FullCompoundDataset(boost::shared_ptr<CompoundDataset> compound);
    ~FullCompoundDataset() override;

    // ---- forwarded to the compound ----
    const CompoundDataset& GetCompoundDataset() const { return *mCompound; }
    const std::vector<int>& GetDatasets() const { return mCompound->GetDatasets(); }
    boost::uuids::uuid GetID() const { return mCompound->GetID(); }
    CString GetName() const { return mCompound->GetName(); }
    float CalculateMatchPercent(const std::atomic<bool>& cancel) const {
        return mCompound->CalculateMatchPercent(cancel);
    }
    const std::map<unsigned long, std::set<int>>& GetVarToDSMap() const { return mCompound->GetVarToDSMap(); }
    // Bit nc::DataType::kObservationLevelBatch of the compound's data type.
    bool IsObservationLevelBatch() const { return mCompound->IsObservationLevelBatch(); }
    // The compound's SplitDataSet; a success drops the matrix, which the next request builds anew.
    bool SplitDataSet(int existing, int added);

    // ---- container interface, the compound's answers ----
    int GetNumber() const override { return mCompound->GetNumber(); }
    int GetDataType() const override { return mCompound->GetDataType(); }
    NCIntegralVector<unsigned long, 0> GetObsIDs() const override { return mCompound->GetObsIDs(); }
    NCIntegralVector<unsigned long, 0> GetVarIDs() const override { return mCompound->GetVarIDs(); }
    int SizeObservations() const override { return mCompound->SizeObservations(); }
    int SizeVariables() const override { return mCompound->SizeVariables(); }
    const std::vector<int>& GetUsedObsAliases() const override { return mCompound->GetUsedObsAliases(); }
    const std::vector<int>& GetUsedVarAliases() const override { return mCompound->GetUsedVarAliases(); }
    unsigned long GetVarID(int var) const override { return mCompound->GetVarID(var); }
    const ObservationInfo* GetObservationInfo(int obs) const override { return mCompound->GetObservationInfo(obs); }
    const VariableInfo* GetVariableInfo(int var) const override { return mCompound->GetVariableInfo(var); }
    const char* GetObservationID(int obs, int alias) const override { return mCompound->GetObservationID(obs, alias); }
    const char* GetVariableID(int var, int alias) const override { return mCompound->GetVariableID(var, alias); }
    boost::shared_ptr<BatchInfoVector const> GetBatchInfoVector() const override {
        return mCompound->GetBatchInfoVector();
    }
    boost::shared_ptr<ClassInfoVector const> GetPhaseInfoVector() const override {
        return mCompound->GetPhaseInfoVector();
    }

    // The value at (obs, var) decoded by the variable's record; builds the matrix first.
    std::string GetStrValue(int obs, int var) const override;

    // True, with `message` set to "Dataset %s and %s have common variables and observations.
    // Duplicated variables will only be used from the second dataset." (the names of i and j),
    // for the first pair of combined datasets (i before j in the list) whose data types both have
    // nc::DataType::kBatchConditions and which share a variable and an observation; false, with
    // `message` untouched, when there is none.
    bool CheckBatchConditionCommonObsAndVar(CString& message) const;

    // Appends dataset `dataset` as new columns: its number to the compound's list, its data type
    // into the compound's, its variable IDs (unmatched) after the compound's, and its values as
    // stored to the right of the matrix when the matrix exists. See the notes above.
    void AppendDACoumns(int dataset);
    // Undoes AppendDACoumns: removes `dataset` from the list and the last columns (as many as
    // the dataset has) from the variable IDs and the matrix. Nothing when it is not combined.
    void RemoveDAColumns(int dataset);

protected:
    // The matrix, built first when needed, copied (sharing storage until either side changes);
    // centred: with the project's local centering subtracted from the copy, when it has any.
    NCDataMatrix<float> DoGetData(bool centred, boost::shared_ptr<DefaultCenterValues const> defaults) const override;

private:
    // A new matrix of the compound's values (see the notes above).
    std::unique_ptr<NCDataMatrix<float>> SetupDataMatrix() const;
    // The matrix, built when it does not exist or no longer has the compound's shape.
    const NCDataMatrix<float>& Matrix() const;

    mutable boost::shared_ptr<NCDataMatrix<float>> mData;
    boost::shared_ptr<CompoundDataset> mCompound;
};
