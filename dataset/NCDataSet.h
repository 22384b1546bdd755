#pragma once
// NCDataSet: a dataset of a project. A matrix of single-precision values with one row per
// observation and one column per variable, the ordered unique IDs of those observations and
// variables, and the dataset's own settings: name, number, import log, data type and source,
// the ID columns shown, batch and phase lists, local centering information and the trimming
// records. The records describing each item live in the project's collections; the dataset
// refers to them by unique ID only. Positions are 1-based.
//
// A dataset is always owned through boost::shared_ptr<NCDataSet> and made by one of the Create
// functions. It keeps only a weak reference to its project; the operations that ask the user,
// consult the project or create records do nothing (or return false / empty) once the project
// is gone.
//
// Invariant kept by every operation: the matrix has as many rows as there are observation IDs
// and as many columns as there are variable IDs.
//
// Changes that could invalidate models are put to the user (UserComm, with the application's
// name as caption) and to the project (ConfirmDatasetChange). A "no" or a veto is reported by a
// false result or an emptied position list, never by an exception, and changes no data.
//
// Choices this class makes where callers might expect otherwise:
// - AddObservations(n) gives each new observation its own secondary ID text: the old number of
//   observations plus 1, plus 2, … (so one new observation in a dataset of 10 gets "11").
// - AddVariables(n, prefix, …, alwaysNew = false) with n > 1 creates or reuses a variable named
//   exactly `prefix` for the first column only; every further column gets a new, distinct
//   numbered name and a record of its own, as with alwaysNew = true.
// - SetValues refuses (returns false, changes nothing) a matrix whose shape differs from the ID
//   lists, so the invariant below holds. It does not mark the dataset dirty: a caller that
//   replaces every value at once marks the dataset itself when that counts as a change.
// - RemoveObservationID takes a 0-based position into the used observation aliases and ignores
//   a position that is negative or not below their number.
// - GetVariableID returns "" when the variable has no record (GetObservationID throws NCError).
// - GetSortOrder throws for a key below 1 as well as for one beyond the end.
// - SortDataset refuses (returns false, changes nothing) an order that is not a permutation of
//   the positions 1 … n, before the user is asked; SortDataset(ids, …) with a repeated ID too.
// - Undoing the trimming of all variables marks the dataset dirty and raises DataSetValueChanged
//   for every value written back, exactly as undoing one variable does: the restored values are
//   a change that must be saved and that views must show.
//
// Sorting and trimming:
// - Unique IDs are looked up by halving when the sort cache says that the list is ascending and
//   through a table of positions otherwise (IDPositionIndex); the cache is recomputed when first
//   needed after IDs were added, replaced or reordered.
// - A cell of a trimmed variable counts as still trimmed while its value equals one of the
//   variable's trim values to within 5e-05 · 2^e, where 2^e is the power of two just above the
//   larger magnitude of the two (frexp): 100 matches 100.004 but not 100.01. A cell changed to
//   anything else is neither listed nor restored.
//
// Batch lists:
// - The batch list is derived from the observations' batch and phase ID texts when it is first
//   asked for (for a dataset whose data type has DataType::kObservationLevelBatch or one of
//   DataType::kOtherBatchKinds) and again on the first request after SetBatchInfoVecDirty, which
//   every change of the observations, their order or their IDs calls. GetBatchInfoVector is const, but a rebuild goes
//   through SetBatchInfoVector: it marks the dataset dirty and stores the project's batch import settings back into it.
// - A rebuild keeps, for batches whose names are still there, the condition values and the
//   included flag, and for their phases (by phase name) the original name, the Y variable and the
//   excluded variables that are still columns of the dataset. Everything else is new.
// - SetBatchInfoVector and a rebuild assign into the list object already held, so a list handed
//   out earlier shows the new content; only SetBatchInfoVector(nullptr) lets go of it.
// - The phase list is never derived; it is what SetPhaseInfoVector (or Create) last stored.
//
// Persistence ("NCDS" section):
// - Only the dataset's own members are written: not its number, its project, or the dirty and
//   temporary flags. The batch list is written as held, with its dirty flag, so a list that was
//   due for derivation is derived after reading.
// - A section without data type, source or used aliases (an older writer) reads as type
//   DataType::kObservationLevelBatch when the project's observations have a batch ID column and
//   DataType::kDefault otherwise, no source, and every ID column of the project's collections in
//   use. Without a project: DataType::kDefault and alias {1}.
// - A read refuses a section whose parts contradict each other: a matrix whose shape is not that
//   of the ID lists, or trimming records that are not one map, one index entry and one trim
//   description per trimmed variable. No operation of the dataset could handle them.

#include <list>
#include <map>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>

#include "dataset/DSGenVarData.h"
#include "dataset/NCDataContainer.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class NCProjectBase;
class BatchInfoVector;
class ClassInfoVector;
class LocalCenteringInfo;
class TrimdVarStruct;

class NCDataSet : public NCDataContainer, public virtual ZStreamBase, public boost::enable_shared_from_this<NCDataSet> {
public:
    // An empty dataset: no rows or columns, type 1, no source, aliases {1} for both kinds, clean.
    static boost::shared_ptr<NCDataSet> Create(boost::shared_ptr<NCProjectBase> project, int number);
    // A dataset holding copies of everything passed; null ID lists are empty, a null matrix is
    // all missing values in the shape of the ID lists. Dirty unless temporary. A given matrix
    // must have as many rows as obsIDs and columns as varIDs.
    static boost::shared_ptr<NCDataSet> Create(
        boost::shared_ptr<NCProjectBase> project, const char* name, int number, const NCDataMatrix<float>* data,
        const NCIntegralVector<unsigned long, 0>* obsIDs, const NCIntegralVector<unsigned long, 0>* varIDs,
        const std::vector<int>& usedObsAliases, const std::vector<int>& usedVarAliases, const char* importLog,
        const BatchInfoVector* batches, const ClassInfoVector* phases, bool temporary);
    ~NCDataSet() override;
    NCDataSet(const NCDataSet&) = delete;
    NCDataSet& operator=(const NCDataSet&) = delete;

    // ---- container interface ----
    int GetNumber() const override { return mNumber; }
    int GetDataType() const override { return mDataType; }
    NCIntegralVector<unsigned long, 0> GetObsIDs() const override { return mObsIDs; }
    NCIntegralVector<unsigned long, 0> GetVarIDs() const override { return mVarIDs; }
    int SizeObservations() const override { return static_cast<int>(mObsIDs.size()); }
    int SizeVariables() const override { return static_cast<int>(mVarIDs.size()); }
    const std::vector<int>& GetUsedObsAliases() const override { return mUsedObsAliases; }
    const std::vector<int>& GetUsedVarAliases() const override { return mUsedVarAliases; }
    // The caller passes a valid position.
    unsigned long GetObsID(int obs) const override { return mObsIDs[obs]; }
    unsigned long GetVarID(int var) const override { return mVarIDs[var]; }
    // Null when the position is out of range, the project is gone or no record has the unique ID.
    const ObservationInfo* GetObservationInfo(int obs) const override;
    const VariableInfo* GetVariableInfo(int var) const override;
    // The record's ID in the column stored at position `alias` of the used observation aliases.
    // "" when obs is out of range, the project is gone, `alias` is out of range, or that column
    // is beyond the record's IDs. Throws NCError (level 4) "An observation ID in the dataset %s
    // could not be found." when no record has the observation's unique ID.
    const char* GetObservationID(int obs, int alias) const override;
    // The same for variables: null when the project is gone; "" when var or alias is out of
    // range or no record has the variable's unique ID.
    const char* GetVariableID(int var, int alias) const override;
    // The stored value decoded by the variable's record; "" when it has none or a position is out
    // of range.
    std::string GetStrValue(int obs, int var) const override;
    // The batch list, derived first when it is due (see above); empty for a dataset without one.
    boost::shared_ptr<BatchInfoVector const> GetBatchInfoVector() const override;
    // The phase list as stored; empty when there is none.
    boost::shared_ptr<ClassInfoVector const> GetPhaseInfoVector() const override;

    // Hands the dataset to the project's SaveDataset; nothing without a project.
    virtual void Save() const;

    // ---- settings ----
    const char* GetName() const { return mName; }
    void SetName(const CString& name);
    const char* GetImportLog() const { return mImportLog; }
    void SetImportLog(const char* log);
    // False for a temporary dataset, whatever changed.
    bool IsDirty() const { return !mTemporary && mDirty; }
    bool IsTemporary() const { return mTemporary; }
    unsigned long GetSourceID() const { return mSourceID; }
    // Stores `type` as the data type, keeping the DataType::kOtherBatchKinds bits of the current
    // type when `type` has neither; the source becomes `sourceID`, or none (0xC271D501) when the
    // type is exactly DataType::kDefault.
    // Marks dirty.
    void SetSource(int type, unsigned long sourceID);
    // Stores both lists; marks dirty only when either differs from the current one.
    void SetUsedAliases(const std::vector<int>& obs, const std::vector<int>& var);
    // Null when the dataset has none.
    const LocalCenteringInfo* GetLocalCenteringInfo() const { return mLocalCentering.get(); }
    // Gives the dataset the application's local centering information (null: none); it is
    // written with the dataset. Marks the dataset dirty.
    void SetLocalCenteringInfo(boost::shared_ptr<LocalCenteringInfo> info) {
        mLocalCentering = std::move(info);
        mDirty = true;
    }

    // ---- batch and phase lists ----
    // Clears the batch-list dirty flag. Null clears data type bit DataType::kObservationLevelBatch
    // and drops the batch list. Otherwise sets that bit (unless the type has one of
    // DataType::kOtherBatchKinds), copies the list (batches cloned) into the list held, and stores
    // a copy of the project's batch import settings back into it. Marks dirty.
    void SetBatchInfoVector(const BatchInfoVector* list);
    // Drops the phase list and, for a non-null list, keeps a copy (phases cloned); marks dirty.
    void SetPhaseInfoVector(const ClassInfoVector* list);
    // The next GetBatchInfoVector derives the batch list again.
    void SetBatchInfoVecDirty() { mBatchesDirty = true; }
    // The batch list of dataset `datasetID`, for changing it in place: the loaded dataset's list
    // as it stands (not derived first), or else the list stored for it in the project's stored
    // batch lists (the RUSPData record under GetStreamName(StreamNameKind::kStoredBatchLists, 0)).
    // Empty when there is none or the stored record cannot be read.
    static boost::shared_ptr<BatchInfoVector> GetMutableBatchInfoVector(NCProjectBase& project, int datasetID);

    // New lists, owned by the caller, of the positions of the X (Y) block's variables among the
    // dataset's columns, restricted through the phase list to the phases named `phaseName` (all
    // phases when null); see BatchUtilities::GetBlockVariables. Without a project: empty lists.
    NCIntegralVector<int, -99>* GetXVariables(const char* phaseName) const;
    NCIntegralVector<int, -99>* GetYVariables(const char* phaseName) const;

    // ---- sorting ----
    // The permutation that sorts the observations (`observations` true) or the variables: element
    // k is the current position of the item that goes to place k. byID: by the IDs at position
    // `key` of the used aliases, as numbers when that ID column is numeric, otherwise as texts
    // compared byte by byte; equal IDs keep their current order. Otherwise by the values of
    // observation `key` (sorting variables) or variable `key` (sorting observations), stably, -99
    // sorting as the number it is. A key outside its range throws Exception "Invalid ID", "Invalid
    // observation number" or "Invalid variable number". By ID without a project: n entries of -99.
    NCIntegralVector<int, -99> GetSortOrder(int key, bool byID, bool observations, bool descending) const;
    // Reorders the observations (variables) by `order`, or by GetSortOrder(key, …) when it is null.
    // In a project whose observations have a batch ID column the user is told "Sorting of batch
    // datasets are not allowed" (caption "Sort Dataset") and nothing changes. Otherwise the user is
    // asked (LanguageText::kSortWithModels or kSort) and, with models, the project; false after a
    // "no", a veto, without a project or for an invalid order. Raises VarObsDeleted.
    bool SortDataset(int key, bool byID, bool observations, bool descending, NCIntegralVector<int, -99>* order);
    // Puts the observations (variables) into the order of `ids` as the form above does; false,
    // changing nothing, unless `ids` holds each of the dataset's IDs exactly once.
    bool SortDataset(const NCIntegralVector<unsigned long, 0>& ids, bool observations);

    // ---- trimming ----
    // True when at least one variable has recorded values before trimming.
    bool GetIsTrimmed() const { return !mValuesBeforeTrim.empty(); }
    // Adds `value` to the trim values of the variable at position `var` when values before
    // trimming are recorded for it (SetValue with recordForTrim); otherwise nothing. Marks dirty
    // when it adds a value.
    void SetTrimValues(int var, float value);
    // The cells still trimmed, as parallel lists of column and row positions (replacing their
    // content): variables in ascending unique ID, their cells in ascending observation unique ID.
    // Shows a progress display (LanguageText::kFindingTrimmedValues), one step per trimmed
    // variable; a cancellation stops the search and leaves the cells found so far. Null: nothing.
    void GetTrimmedIndex(NCIntegralVector<int, -99>* varPositions, NCIntegralVector<int, -99>* obsPositions) const;
    // Writes the recorded values back into the cells still trimmed of the variable at position
    // `var`, or of every variable when `all`, and forgets their trimming records. With models the
    // user (LanguageText::kUndoTrimmingWithModels) and the project are asked first. Each value
    // written back marks dirty and raises DataSetValueChanged. False after a "no", a veto, without
    // a project, or when `var` (not `all`) is out of range or has no trimming records.
    bool ResetDatasetFromTrimming(bool all, int var);

    // Removes every variable, then every observation, each with the project's consent (asked
    // separately, the user is not asked); empties the trimming records, marks dirty and clears the
    // temporary flag. A veto of one kind keeps that kind only.
    void clear();

    // The variable IDs of dataset `number`: from the loaded dataset when the project holds it,
    // otherwise read from the project's stored list (the stream named by GetStreamName with
    // StreamNameKind::kDatasetVariableIDs); empty when neither exists or the stored list cannot be read.
    static NCIntegralVector<unsigned long, 0> GetVariableIDs(const NCProjectBase& project, int number);

    // ---- generated variables ----
    // True when the record of any of `ids` in the project's variable collection has a recipe;
    // false for an empty list. IDs without a record count as ordinary variables.
    static bool HasGeneratedVariables(const NCProjectBase& project, const NCIntegralVector<unsigned long, 0>& ids);
    // (recipe, unique ID) of each of `ids`, in list order, whose record has a recipe; an empty
    // pointer when there is none.
    static boost::shared_ptr<std::list<DSGenVarData>> GetGenVarList(const NCProjectBase& project,
                                                                    const NCIntegralVector<unsigned long, 0>& ids);

    // ---- editing ----
    // Appends n observations with new records named <LanguageText::kNewObservationPrefix><k>, k = 1, 2, …
    // skipping names the project has; every secondary ID column shown gets the text of the old
    // number of observations + 1, + 2, … New cells hold -99. Raises VarObsAdded.
    void AddObservations(int n);
    // Appends n columns. alwaysNew: each gets a new variable named prefix<k>, k counting from the
    // old number of variables + 1 and skipping names the project has. Otherwise the first column
    // takes the project's variable named `prefix` when this dataset lacks it (no record is made),
    // or a new variable of that name when there is none. New variables are quantitative; unless
    // the data type has DataType::kBatchLevel, their ID in the variables' source column (when shown) is
    // "$Batch Condition". New cells hold -99. Raises VarObsAdded when raiseSignal.
    void AddVariables(int n, const char* prefix, bool raiseSignal, bool alwaysNew);
    // Inserts empty rows (columns) for existing records before `position`; -1, or any position
    // beyond the end, appends. Raises VarObsAdded when raiseSignal.
    void AddObservations(const NCIntegralVector<unsigned long, 0>* ids, int position, bool raiseSignal);
    void AddVariables(const NCIntegralVector<unsigned long, 0>* ids, int position, bool raiseSignal);

    // Removes the columns (rows) at `positions`, which must be ascending. Unless `unchecked`, the
    // user is asked first when `ask` (language texts LanguageText::kRemoveVariables…,
    // kRemoveObservations…, with or without models) and the project is consulted; a "no" or a
    // veto empties `positions` and removes nothing. Positions beyond the current size are skipped. Raises
    // VarObsDeleted.
    void RemoveVariable(NCIntegralVector<int, -99>* positions, bool ask, bool unchecked);
    void RemoveObservation(NCIntegralVector<int, -99>* positions, bool ask, bool unchecked);

    // Stores `value` at (obs, var). recordForTrim: the cell's current value is kept as its value
    // before trimming, unless one is already kept for the cell. ask: when the project has models,
    // the user must agree first. The project is consulted after a yes or when consultProject.
    // False (nothing stored) for positions out of range, a "no", a veto or a missing project.
    // Raises DataSetValueChanged.
    bool SetValue(int obs, int var, float value, bool recordForTrim, bool ask, bool consultProject);
    // `text` encoded by the variable's record; a text the record rejects (or a variable without a
    // record) returns false at once, asking nobody.
    bool SetValue(int obs, int var, const char* text, bool recordForTrim, bool ask, bool consultProject);
    // Replaces the whole matrix; false for null or another shape. Raises VarObsDeleted.
    bool SetValues(NCDataMatrix<float>* values);
    // Overwrites column `var` from one value per observation; false for null or var out of range.
    // Marks dirty and raises VarObsDeleted.
    bool SetColValues(const float* values, int var);
    // The same from integers; false when `values` has fewer elements than there are observations.
    bool SetColValues(NCIntegralVector<int, -99> values, int var);
    // Replaces the unique ID of column var; nothing in dataset number 1 or for var out of range.
    void ChangeVarID(unsigned long newID, int var);
    // Reserves room for n columns; nothing visible changes.
    void ReserveVars(int n);
    // Removes the used observation alias at 0-based `position` (see above). Raises VarObsDeleted.
    void RemoveObservationID(int position);

    // ---- merging ----
    // Takes in the observations, variables and values of dataset `other` of the same project as a
    // full compound dataset of the two (this one first, `other` found by its number in the
    // project) presents them; `other` is left as it is. When either dataset has trimming records
    // the user is asked first (caption "Merge Datasets"); any answer but yes throws NCError "Merge
    // of datasets aborted." and nothing changes. Errors of the compound (a dataset the project
    // does not describe, no project) propagate before anything changes. Afterwards the dataset has
    // no trimming records and no local centering information, its import log ends with the merge
    // line and `other`'s log, and it is dirty, saved and signalled (DatasetMerged). Null: nothing.
    void Merge(boost::shared_ptr<NCDataSet const> other);

    // ---- "NCDS" section, version 4 (see the notes on persistence above) ----
    // Writes the dataset's own members; the records stay with the project's collections. Clears
    // the dirty flag when the stream is still good.
    bool ZStreamableStartWrite(std::ostream& os) override;
    // Reads version 4 only. Another tag changes nothing. Once the tag matches, the batch list is
    // due for derivation (unless the section says otherwise) and the dataset is neither
    // temporary nor dirty, also when the version is refused (the values are kept then). A failed
    // field leaves the fields read before it replaced: the caller discards the dataset.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;
    static const ZStreamableData& StreamData();

protected:
    NCDataMatrix<float> DoGetData(bool centred, boost::shared_ptr<DefaultCenterValues const> defaults) const override;

private:
    NCDataSet(boost::shared_ptr<NCProjectBase> project, int number);

    friend struct NCDataSetTestAccess;

    void MarkDirty() { mDirty = true; }
    // Derives the batch list: the first time from the observations alone, afterwards keeping what
    // the user set on the batches and phases of the list held (see the header's notes).
    void UpdateBatchInfoVec();
    void InvalidateSortCache() { mSortCacheValid = false; }
    // Recomputes whether each ID list is ascending when the flags are not current.
    void UpdateSortCache() const;
    void RecordValueBeforeTrim(int obs, int var);
    bool AskUser(int textWithModels, int textWithoutModels, const NCProjectBase& project) const;
    // Removes the listed columns (rows) from the last entry to the first.
    void EraseColumns(const NCIntegralVector<int, -99>& positions);
    void EraseRows(const NCIntegralVector<int, -99>& positions);
    // Sub-stream 14 of the section, the local centering information. Until that class can be
    // streamed, a dataset never holds one: writing adds nothing (and fails for a dataset that
    // holds one, rather than dropping it), reading leaves the dataset without one.
    void WriteLocalCentering(SectionOutput& out) const;
    void ReadLocalCentering(SectionInput& in);
    // The fields of a section read after its version was accepted; false when they contradict
    // each other.
    bool ReadFields(SectionInput& in);

    NCDataMatrix<float> mData;
    std::vector<std::map<unsigned long, float>> mValuesBeforeTrim;
    std::map<unsigned long, int> mTrimmedVarIndex;
    std::vector<boost::shared_ptr<TrimdVarStruct>> mTrimDescriptions;
    mutable bool mVarIDsSorted = false;
    mutable bool mObsIDsSorted = false;
    mutable bool mSortCacheValid = false;
    NCIntegralVector<unsigned long, 0> mVarIDs;
    NCIntegralVector<unsigned long, 0> mObsIDs;
    CString mName;
    CString mImportLog;
    int mNumber;
    bool mDirty = false;
    boost::shared_ptr<LocalCenteringInfo> mLocalCentering;
    int mDataType = nc::DataType::kDefault;
    unsigned long mSourceID = nc::kNoUniqueID;
    boost::shared_ptr<BatchInfoVector> mBatches;
    bool mBatchesDirty = false;
    boost::shared_ptr<ClassInfoVector> mPhases;
    bool mTemporary = false;
    std::vector<int> mUsedObsAliases{1};
    std::vector<int> mUsedVarAliases{1};
    SectionFlag mSection;
};
