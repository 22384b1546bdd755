#pragma once
// BatchImportSettings: how a batch project's data were imported and how its generated variables
// relate to their sources: the batch and phase alias columns, the smoothed-variable map, the
// columns concatenated into IDs, down-sizing, the project type and the batch-level phase names.
// The project keeps one; the batch functions read and update it.
//
// The default phase list (the phases with their Y variable and excluded variables) is owned by
// the settings; copies of the settings clone its phases.
//
// Section "WSINFO", version 2: a directory of the project type (sub-stream 0, 2 bytes), the batch
// and phase ID import columns, the batch-level phase names, the batch and phase IDs (5, 6), the
// smoothed map, the default phase list (8, only when there is one), the column concatenations
// and the down-sizing fields (10 to 12).

#include <map>
#include <vector>

#include "batchinfo/ColumnConcatenateInfo.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/ValuePtr.h"

class ClassInfoVector;
class NCVariables;

class BatchImportSettings : public virtual ZStreamBase {
public:
    // Type 1 is the project type with phases (HasPhases); 0 the default.
    enum EProjectType : int { eProjectTypeDefault = 0, eProjectTypePhases = 1 };

    BatchImportSettings() = default;
    BatchImportSettings(const BatchImportSettings& other) = default;
    BatchImportSettings& operator=(const BatchImportSettings& other) = default;
    ~BatchImportSettings() override = default;

    // The four ID fields become -1, the batch-level phase names and the smoothed map are emptied,
    // the default phase list is dropped, down-sizing is cleared; unless keepProjectType, the
    // project type becomes 0 and the column concatenations are emptied.
    void Reset(bool keepProjectType);

    bool IsBatch() const { return mBatchID > 0; }
    bool HasPhases() const { return mPhaseID > 0 && mProjectType == eProjectTypePhases; }

    EProjectType GetProjectType() const { return mProjectType; }
    void SetProjectType(EProjectType type) { mProjectType = type; }
    int GetBatchID() const { return mBatchID; }
    void SetBatchID(int alias) { mBatchID = alias; }
    int GetPhaseID() const { return mPhaseID; }
    void SetPhaseID(int alias) { mPhaseID = alias; }
    int GetBatchIDImportColumn() const { return mBatchIDImportColumn; }
    void SetBatchIDImportColumn(int column) { mBatchIDImportColumn = column; }
    int GetPhaseIDImportColumn() const { return mPhaseIDImportColumn; }
    void SetPhaseIDImportColumn(int column) { mPhaseIDImportColumn = column; }
    bool GetHasBeenDownSized() const { return mHasBeenDownSized; }
    void SetHasBeenDownSized(bool downSized) { mHasBeenDownSized = downSized; }
    int GetDownSizeHeader() const { return mDownSizeHeader; }
    void SetDownSizeHeader(int header) { mDownSizeHeader = header; }
    int GetDownSizeInterval() const { return mDownSizeInterval; }
    void SetDownSizeInterval(int interval) { mDownSizeInterval = interval; }
    NCStringVector GetBLPhaseNames() const { return mBLPhaseNames; }
    void SetBLPhaseNames(const NCStringVector& names) { mBLPhaseNames = names; }

    // The default phase list; null when there is none, or when `requirePhases` and there is no
    // phase ID.
    const ClassInfoVector* GetDefaultClassInfoVector(bool requirePhases) const;
    ClassInfoVector* GetDefaultClassInfoVector(bool requirePhases);
    // Replaces the default phase list by a copy of `phases` (null: none); passing the current
    // list changes nothing.
    void SetDefaultClassInfoVector(const ClassInfoVector* phases);

    // Generated variable's unique ID -> its source variable's unique ID.
    const std::map<unsigned long, unsigned long>& GetSmoothedMap() const { return mSmoothed; }
    bool HasSmoothedYs() const { return !mSmoothed.empty(); }
    // True when some generated variable was smoothed from variable `id`.
    bool IsSmoothed(unsigned long id) const;
    // The generated variable smoothed from `id` (the lowest such ID); kNoUniqueID when none.
    unsigned long GetSmoothed(unsigned long id) const;
    // The source of generated variable `id` when the map has one and `variables` holds it;
    // kNoUniqueID otherwise.
    unsigned long GetSourceVar(unsigned long id, const NCVariables* variables) const;

    // Registers generated variable `newID` of `variables` (nothing happens when it is not there):
    // - its block becomes included (`include`) or excluded;
    // - with a phase ID and a default phase list, per phase: it is included as `include`; with
    //   `time` it becomes the Y variable of a phase without one (and included there) and is
    //   excluded elsewhere; otherwise, when included and `sourceID` is a variable, it takes the
    //   source's inclusion and Y role in the phase and the source is excluded there;
    // - with `sourceID` in `variables`: when included, the source's block becomes excluded; the
    //   new variable takes the source's variable type and unit; with `smoothed`, the map gets
    //   newID -> sourceID;
    // - without such a source and with `time`: its block becomes excluded Y when the project
    //   already has an included Y variable, Y otherwise.
    // The records of `variables` are changed although the collection is passed as const.
    void IncludeNewVar(unsigned long newID, unsigned long sourceID, const NCVariables* variables, bool smoothed,
                       bool include, bool time);
    // Forgets `id` as a generated variable, excludes its block (X to excluded X, Y to excluded Y)
    // and excludes it in every phase of the default phase list.
    void ExcludeVar(unsigned long id, const NCVariables* variables);

    int SizeColumnConcatInfos() const { return static_cast<int>(mColumnConcatenations.size()); }
    // 1-based; the caller keeps i in range.
    const ColumnConcatenateInfo& GetColumnConcatInfo(int i) const { return mColumnConcatenations[i - 1]; }
    void PushBackColumnConcatInfo(const ColumnConcatenateInfo& info) { mColumnConcatenations.push_back(info); }
    // Does nothing on an empty sequence.
    void PopBackColumnConcatInfo() {
        if (!mColumnConcatenations.empty()) mColumnConcatenations.pop_back();
    }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // Resets everything (Reset(false)) first. False on another tag, a version other than 2, or a
    // missing or short required field; never throws. Streams without the default phase list or
    // the down-sizing fields read as no list, not down-sized, header 1 and interval 1.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    int mBatchID = -1;
    int mPhaseID = -1;
    int mBatchIDImportColumn = -1;
    int mPhaseIDImportColumn = -1;
    std::map<unsigned long, unsigned long> mSmoothed;
    std::vector<ColumnConcatenateInfo> mColumnConcatenations;
    bool mHasBeenDownSized = false;
    int mDownSizeHeader = 1;
    int mDownSizeInterval = 1;
    EProjectType mProjectType = eProjectTypeDefault;
    nc::ValuePtr<ClassInfoVector> mDefaultPhases;
    NCStringVector mBLPhaseNames;
    SectionFlag mSection;
};
