#pragma once
// CompoundDataset: several datasets of one project presented as one table, without copying any
// values. Its rows are the union of the datasets' observations and its columns the union of their
// variables, both matched by unique ID; it carries merged batch and phase lists, the union of the
// datasets' ID columns and the OR of their data types. Everything is recomputed from the
// project's dataset descriptions (NCProjectBase::GetDataSetInfo) when the compound is set up or
// read; the compound holds dataset numbers, not datasets. FullCompoundDataset adds the values.
//
// Order of the rows and columns: the first dataset's observations and variables come first, in
// its order. A later dataset's new variables are appended in its order; its new observations are
// inserted just before the next observation that it shares with the compound (those after its
// last shared one are appended), so they keep their place relative to the shared ones: base
// A B C with X B Y Z gives A X B C Y Z. When the project answers yes to AskBatchQuestion and a
// batch name occurs in more than one dataset, the observations are then regrouped, stably, in
// the order of the merged batch list.
//
// Choices a caller might not expect:
// - Setting up from an empty list of dataset numbers leaves a compound of no datasets, without
//   observations or variables; its data type, ID columns and batch and phase lists stay as they
//   were (as any setup leaves what the first dataset does not replace).
// - Setting up throws NCError "The project has no dataset %d." for a number that the project
//   does not describe, and "The project of the compound dataset no longer exists." without a
//   project, before anything changes. Reading turns both into a failed read.
// - Observations whose batch name is not in the merged batch list are regrouped after all
//   batches, in their order.
// - The match percentage takes an atomic flag: another thread may set it while the computation
//   reads it. It is 100 when there is nothing to compare (every dataset but one empty). IDs of a
//   dataset that changed after the setup and are no longer in the compound are skipped; the
//   result stays within 0 … 100.
// - GetObservationID and GetVariableID return "" for a position out of range, without a
//   project, or when no record has the unique ID; neither throws.
// - The variable-to-datasets map is built on its first request and kept, also across later setups.
//
// Section "NCCOMPDS", version 1 (only version 1 is read, checked after the empty ZStreamBase
// part): a directory with sub-stream 0 the dataset numbers (a 4-byte count and 4 bytes each), 3
// the identifier as 36 characters of text (lowercase hexadecimal when written, either case read)
// and 4 the data type (4 bytes); all three required. Reading replaces nothing unless all three
// are read and the setup on the numbers read succeeds; the data type read is the setup's start.

#include <atomic>
#include <istream>
#include <map>
#include <ostream>
#include <set>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <boost/uuid/uuid.hpp>

#include "dataset/NCDataContainerBase.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class BatchInfoVector;
class ClassInfoVector;
class NCDataSetInfo;
class NCProjectBase;

class CompoundDataset : public NCDataContainerBase, public virtual ZStreamBase {
public:
    // An empty compound: no datasets, empty lists, data type 0, a new random identifier.
    explicit CompoundDataset(boost::shared_ptr<NCProjectBase> project);
    // The same, then set up from `datasets` (see the notes above for what throws).
    CompoundDataset(boost::shared_ptr<NCProjectBase> project, const std::vector<int>& datasets);
    ~CompoundDataset() override;
    CompoundDataset(const CompoundDataset&) = delete;
    CompoundDataset& operator=(const CompoundDataset&) = delete;

    // The numbers of the combined datasets, in the order given; the first is the base dataset.
    const std::vector<int>& GetDatasets() const { return mDatasets; }
    // The identifier made at construction (or read).
    boost::uuids::uuid GetID() const { return mID; }
    // The names of the combined datasets in list order joined by "+"; "" when there are none.
    CString GetName() const;

    // ---- container interface ----
    // The only dataset's number when exactly one is combined, otherwise -1.
    int GetNumber() const override;
    int GetDataType() const override { return mDataType; }
    // Bit nc::DataType::kObservationLevelBatch of GetDataType().
    bool IsObservationLevelBatch() const;
    NCIntegralVector<unsigned long, 0> GetObsIDs() const override { return mObsIDs; }
    NCIntegralVector<unsigned long, 0> GetVarIDs() const override { return mVarIDs; }
    int SizeObservations() const override { return mObsIDs.size(); }
    int SizeVariables() const override { return mVarIDs.size(); }
    const std::vector<int>& GetUsedObsAliases() const override { return mUsedObsAliases; }
    const std::vector<int>& GetUsedVarAliases() const override { return mUsedVarAliases; }
    // The caller passes a valid position.
    unsigned long GetVarID(int var) const override { return mVarIDs[var]; }
    // The project's record of that position's unique ID; null when the position is out of range,
    // the project is gone or there is no such record.
    const ObservationInfo* GetObservationInfo(int obs) const override;
    const VariableInfo* GetVariableInfo(int var) const override;
    // The record's ID in the column stored at 1-based position `alias` of the used aliases; ""
    // as listed above.
    const char* GetObservationID(int obs, int alias) const override;
    const char* GetVariableID(int var, int alias) const override;
    // The merged lists; empty pointers when the compound has none.
    boost::shared_ptr<BatchInfoVector const> GetBatchInfoVector() const override;
    virtual boost::shared_ptr<ClassInfoVector const> GetPhaseInfoVector() const;

    // For each variable unique ID, the numbers of the combined datasets that hold it.
    const std::map<unsigned long, std::set<int>>& GetVarToDSMap() const;

    // Inserts dataset `added` just after `existing` and sets the compound up again. False, with
    // nothing changed, when `existing` is not combined or `added` already is.
    bool SplitDataSet(int existing, int added);

    // How much the combined datasets overlap, in percent: 100 when they all hold the same
    // observations and variables, 0 when they share none (and 100 for fewer than two datasets).
    // The base dataset counts as covering the compound's first rows and columns; later datasets
    // cover the cells of their own observations and variables, found by ID.
    // Returns 0 as soon as it finds `cancel` set; it looks after every row of the base dataset,
    // after building its lookup lists, twice per further dataset and every 4096 of its rows.
    float CalculateMatchPercent(const std::atomic<bool>& cancel) const;

    // Copies the values as stored of dataset `dataset` of `project` into `matrix`, whose rows
    // follow `obsIDs` and columns `varIDs` (its shape must be theirs, otherwise nothing happens).
    // Cells the dataset does not cover, and its IDs not in the lists, are skipped; nothing
    // happens when the project does not hold the dataset. Each ID is looked up where a linear
    // search resumed after the previous hit would find it; lists in matching order take one step
    // per item, any other order a sorted index (never a scan per item).
    static void AddDataFromDS(int dataset, const NCIntegralVector<unsigned long, 0>& obsIDs,
                              const NCIntegralVector<unsigned long, 0>& varIDs, const NCProjectBase& project,
                              NCDataMatrix<float>& matrix);

    // ---- "NCCOMPDS" section, version 1 (see above) ----
    bool ZStreamableStartWrite(std::ostream& os) override;
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }
    static const ZStreamableData& StreamData();

protected:
    // Combines `datasets` (see the notes above). Throws NCError, changing nothing, when the
    // project is gone or does not describe one of the numbers.
    void SetupDatasets(const std::vector<int>& datasets);

private:
    friend class FullCompoundDataset;  // appends and removes the columns of extra datasets
    friend struct CompoundDatasetTestAccess;

    using Descriptions = std::vector<boost::shared_ptr<NCDataSetInfo>>;

    // The description of every number, in order; throws as SetupDatasets.
    Descriptions Describe(const std::vector<int>& datasets) const;
    // SetupDatasets once every description is at hand.
    void Combine(const std::vector<int>& datasets, const Descriptions& descriptions, const NCProjectBase& project);
    // Sorts the observations stably by the position of their batch in the batch list.
    void RegroupByBatch(const NCProjectBase& project);

    NCIntegralVector<unsigned long, 0> mVarIDs;
    NCIntegralVector<unsigned long, 0> mObsIDs;
    boost::shared_ptr<BatchInfoVector> mBatches;
    boost::shared_ptr<ClassInfoVector> mPhases;
    std::vector<int> mDatasets;
    boost::uuids::uuid mID;
    int mDataType = 0;
    std::vector<int> mUsedObsAliases;
    std::vector<int> mUsedVarAliases;
    mutable std::map<unsigned long, std::set<int>> mVarToDatasets;
    SectionFlag mSection;
};
