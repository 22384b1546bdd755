#pragma once
// NCDataSetInfo: a light, persistent description of a dataset — its sizes, number, name, unique
// IDs, the ID columns it shows, and copies of its batch and phase lists — that the application
// keeps for datasets that are not loaded, so that compound datasets and lists can be built without
// reading the data. The project hands one out by dataset number (NCProjectBase::GetDataSetInfo).
//
// The description is taken from a dataset by Update and otherwise changes only by reading its
// section. The container interface answers from what is stored; the accessors that take a
// project first fill a description read without ID lists (or without a due batch list) from the
// project's loaded dataset of the same number.
//
// Choices a caller might not expect:
// - SizeObservations() and SizeVariables() count the stored ID lists, not the stored sizes. A
//   description read from a section without ID lists shows its sizes through GetNumObservations()
//   and GetNumVariables() only, until an accessor taking a project fills the lists.
// - Update(null) changes nothing.
// - Copies share the batch and phase lists. Neither is ever changed in place (Update and reading
//   replace them), so a copy still behaves as an independent value.
// - GetVariableID returns "" when the position is out of range, the project is gone or no record
//   has the unique ID; only GetObservationID throws for a missing record.
// - A damaged optional part of the section (data type, source, ID lists, used aliases, batch or
//   phase list) reads as its default; only a damaged required part fails the read.
//
// Section "NCDSI", version 3 (only version 3 is read): the empty ZStreamBase part, then a
// directory of 14 sub-streams: 0 number of Y variables, 1 number of observations, 2 number of
// variables, 3 dataset number, 4 name (all required), 5 a reserved byte written as 0 and never
// read, then optional: 6 data type (default 1), 7 source ID (default none), 8 and 9 observation
// and variable IDs (default empty), 10 and 11 used observation and variable aliases (a 4-byte
// count and 4 bytes each; default {1}), 12 the batch list and 13 the phase list (a count, then
// per phase a presence byte and its section), each written only when present.

#include <vector>

#include <boost/shared_ptr.hpp>

#include "dataset/NCDataContainerBase.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class NCDataSet;
class NCProjectBase;
class BatchInfoVector;
class ClassInfoVector;

class NCDataSetInfo : public ZStreamBase, public NCDataContainerBase {
public:
    // An empty description of a dataset of `project`: no items, number 0, type 1, no source,
    // ID column 1 shown for both kinds, no batch or phase list.
    explicit NCDataSetInfo(boost::shared_ptr<NCProjectBase> project);
    // The description of `dataset`, in the dataset's project; an empty one without a project for null.
    explicit NCDataSetInfo(boost::shared_ptr<NCDataSet> dataset);
    NCDataSetInfo(const NCDataSetInfo& other);
    NCDataSetInfo& operator=(const NCDataSetInfo& other);
    ~NCDataSetInfo() override;

    // Takes every member from `dataset`: its sizes, number, name, number of Y variables (of all
    // phases), data type, source ID, ID lists, used aliases, and deep copies of its batch list
    // (derived first when due) and phase list, or none when it has none. Nothing for null.
    void Update(boost::shared_ptr<NCDataSet const> dataset);

    // ---- container interface: what is stored ----
    int GetNumber() const override { return mNumber; }
    int GetDataType() const override { return mDataType; }
    NCIntegralVector<unsigned long, 0> GetObsIDs() const override { return mObsIDs; }
    NCIntegralVector<unsigned long, 0> GetVarIDs() const override { return mVarIDs; }
    const std::vector<int>& GetUsedObsAliases() const override { return mUsedObsAliases; }
    const std::vector<int>& GetUsedVarAliases() const override { return mUsedVarAliases; }
    // The record's ID in the column stored at 1-based position `alias` of the used observation
    // aliases; "" when obs is not a position of the stored ID list, the project is gone, `alias`
    // is out of range or the record lacks that column. Throws NCError (level 4) "An observation
    // ID in the dataset <name> could not be found." when no record has the unique ID.
    const char* GetObservationID(int obs, int alias) const override;
    // The same for variables, but "" also when no record has the unique ID (see above).
    const char* GetVariableID(int var, int alias) const override;
    // The stored batch list; empty when there is none.
    boost::shared_ptr<BatchInfoVector const> GetBatchInfoVector() const override { return mBatches; }

    // ---- the stored description ----
    // The sizes recorded with the description (see the notes above on SizeObservations).
    int GetNumObservations() const { return mNumObservations; }
    int GetNumVariables() const { return mNumVariables; }
    // The number of Y-block variables of the dataset, over all phases.
    int GetNumYVariables() const { return mNumYVariables; }
    const char* GetName() const { return mName; }
    // The dataset's source; nc::kNoUniqueID when it has none.
    unsigned long GetSourceID() const { return mSourceID; }
    // The stored phase list; empty when there is none.
    boost::shared_ptr<ClassInfoVector const> GetPhaseInfoVector() const { return mPhases; }

    // ---- accessors that fill the description from the project's loaded dataset ----
    // When the stored observation (variable) ID list is empty, first Update from
    // project.GetDataset(GetNumber()) if the project holds it; then a copy of the list.
    NCIntegralVector<unsigned long, 0> GetObsIDs(const NCProjectBase& project);
    NCIntegralVector<unsigned long, 0> GetVarIDs(const NCProjectBase& project);
    // First Update as above when the variable ID list is empty, or when there is no batch list
    // and the data type has a batch kind (nc::DataType::kObservationLevelBatch or
    // kOtherBatchKinds); then the stored batch list, null when there is none. The list stays
    // valid until the description is updated, read or destroyed.
    const BatchInfoVector* GetBatchInfoVector(const NCProjectBase& project);
    // First Update as above when the variable ID list is empty; then the stored phase list, null
    // when there is none, valid as the batch list.
    const ClassInfoVector* GetPhaseInfoVector(const NCProjectBase& project);

    // True when the sizes, number, name (exactly, case-sensitive), data type, source or used
    // aliases differ. The ID lists, the number of Y variables and the batch and phase lists are
    // not compared: a value change leaves two descriptions of a dataset equal.
    bool operator!=(const NCDataSetInfo& other) const;
    bool operator==(const NCDataSetInfo& other) const { return !(*this != other); }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 3, or a missing or damaged required part; the
    // optional parts are set to their defaults first. Never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    // Update from the project's loaded dataset of this description's number, if there is one.
    void UpdateFromProject(const NCProjectBase& project);

    int mNumObservations = 0;
    int mNumVariables = 0;
    int mNumber = 0;
    CString mName;
    int mNumYVariables = 0;
    int mDataType = nc::DataType::kDefault;
    unsigned long mSourceID = nc::kNoUniqueID;
    SectionFlag mSection;
    NCIntegralVector<unsigned long, 0> mObsIDs;
    NCIntegralVector<unsigned long, 0> mVarIDs;
    std::vector<int> mUsedObsAliases{1};
    std::vector<int> mUsedVarAliases{1};
    boost::shared_ptr<BatchInfoVector> mBatches;
    boost::shared_ptr<ClassInfoVector> mPhases;
};
