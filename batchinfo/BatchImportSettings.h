#pragma once
// BatchImportSettings: how a batch project's data were imported and how its generated variables
// relate to their sources: the batch and phase alias columns, the smoothed-variable map, the
// columns concatenated into IDs, down-sizing, the project type and the batch-level phase names.
// The project keeps one; the batch functions read and update it.
//
// The default phase list (an owned ClassInfoVector, may be absent) is copied with the settings,
// deeply. It is always absent for now: it is set together with the phase records.

#include <map>
#include <vector>

#include "batchinfo/ColumnConcatenateInfo.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/ValuePtr.h"

class ClassInfoVector;

class BatchImportSettings : public virtual ZStreamBase {
public:
    // Type 1 is the project type with phases (HasPhases); 0 the default.
    enum EProjectType : int { eProjectTypeDefault = 0, eProjectTypePhases = 1 };

    BatchImportSettings() = default;
    BatchImportSettings(const BatchImportSettings& other) = default;
    BatchImportSettings& operator=(const BatchImportSettings& other) = default;
    ~BatchImportSettings() override = default;

    // The four ID fields become -1, the batch-level phase names and the smoothed map are emptied,
    // down-sizing is cleared; unless keepProjectType, the project type becomes 0 and the column
    // concatenations are emptied.
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

    // Generated variable's unique ID -> its source variable's unique ID.
    const std::map<unsigned long, unsigned long>& GetSmoothedMap() const { return mSmoothed; }
    bool HasSmoothedYs() const { return !mSmoothed.empty(); }

    int SizeColumnConcatInfos() const { return static_cast<int>(mColumnConcatenations.size()); }
    // 1-based; the caller keeps i in range.
    const ColumnConcatenateInfo& GetColumnConcatInfo(int i) const { return mColumnConcatenations[i - 1]; }
    void PushBackColumnConcatInfo(const ColumnConcatenateInfo& info) { mColumnConcatenations.push_back(info); }
    // Does nothing on an empty sequence.
    void PopBackColumnConcatInfo()
    {
        if (!mColumnConcatenations.empty()) mColumnConcatenations.pop_back();
    }

    // Not persistent yet: writing or reading fails (the stream's failbit is set) rather than
    // writing nothing and reporting success.
    bool ZStreamableStartWrite(std::ostream& os) override { return Section::NotAvailable(os); }
    bool ZStreamableStartRead(std::istream& is) override { return Section::NotAvailable(is); }

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
    nc::ValuePtr<ClassInfoVector> mDefaultPhases;  // always empty until the phase records exist
    NCStringVector mBLPhaseNames;
};
