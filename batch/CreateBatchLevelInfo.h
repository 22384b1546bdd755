#pragma once
// CreateBatchLevelInfo: how a batch-level dataset was built: the components it was computed from,
// in the order they were added, and whether the average batch stood in where a batch lacks a
// phase. A value type; the batch-level values themselves are computed by the application.
//
// Record "CBLI", version 1: the tag and version, then a directory of two sub-streams: the
// components (0: a 4-byte count, then each component as its own "BLC" record) and the
// average-batch flag (1, one byte).
//
// Choices a caller might not expect:
// - GetLog names a variable by the primary ID (alias 1) of the variable at the component's index
//   in the data; an index beyond the data's variables, a variable without a record or no data at
//   all give the empty name.
// - A summary without any of the eight summary types logs its label, a colon and a space.
// - A component of a type outside BatchLevelComponent::EType (read from a stream) logs an empty
//   label; its line and sentence are still written.

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "batch/BatchLevelComponent.h"

class NCDataContainerBase;

class CreateBatchLevelInfo {
public:
    // No components; the average batch is used for missing phases.
    CreateBatchLevelInfo();
    CreateBatchLevelInfo(const CreateBatchLevelInfo& other);
    CreateBatchLevelInfo& operator=(const CreateBatchLevelInfo& other);
    ~CreateBatchLevelInfo();

    // Appends a component.
    void push_back(const BatchLevelComponent& component);
    // The first component of that type, or null; valid until the components change.
    const BatchLevelComponent* Find(BatchLevelComponent::EType type) const;
    // True when some component is of type eScores.
    bool HasScores() const;

    const std::vector<BatchLevelComponent>& GetComponents() const { return mComponents; }
    bool GetAverageBatchForMissingPhases() const { return mAverageBatchForMissingPhases; }
    void SetAverageBatchForMissingPhases(bool used) { mAverageBatchForMissingPhases = used; }
    // The version of the record last read (1 until then).
    int GetVersion() const { return mVersion; }

    // Equal component lists (same length, pairwise equal) and equal average-batch flags.
    bool operator==(const CreateBatchLevelInfo& other) const;
    bool operator!=(const CreateBatchLevelInfo& other) const { return !(*this == other); }

    // The readable description: per component, in list order, "* <line>\n" followed by
    // "Average batch was used for missing phases\n " (or "... was NOT used ..."); the line is
    // the component's label, for summaries completed by its summary types, e.g.
    // "Summary: variable Temp: min, mean and median". Empty without components.
    std::string GetLog(boost::shared_ptr<const NCDataContainerBase> data) const;

    // Writes the tag, the version and the directory; true when the stream is still good.
    bool WriteObject(std::ostream& os) const;
    // False, the record unchanged, on another tag; false on a version other than 1 (the version
    // is kept). The result is that of the components: false when sub-stream 0 is absent, its
    // count is more than its bytes can hold, or a component does not read (tag, version or
    // fields); once a count that the bytes can hold is read, the list has that length, with the
    // components read so far and defaults from a failed one on. The flag is read in any case: absent or short, it
    // becomes true. A directory that cannot be read fails the read.
    bool ReadObject(std::istream& is);

    static const char* GetTag();
    static int GetCurrentVersion();

private:
    bool ReadComponents(std::istream& is);

    int mVersion;
    const char* mTag;
    std::vector<BatchLevelComponent> mComponents;
    bool mAverageBatchForMissingPhases = true;
};
