#pragma once
// BatchLevelComponent: one component a batch-level dataset (one row per batch) was built from:
// the duration or end point of each batch, scores, the raw trajectory of variables, or summary
// statistics of variables. A value type, copied by plain assignment; not a persistent object but
// a record with a tag of its own, written on its own or inside a "CBLI" record.
//
// The index is a component number (scores) or a 1-based variable position (raw data, summaries);
// below 1 it means all of them. The summary types are a bit set of ESummaryType, used by the two
// summary types of component.
//
// Record "BLC", version 1: the tag and version, then a directory of three sub-streams: the type
// (0, 2 bytes), the summary types (1, 4 bytes) and the index (2, 4 bytes). Every sub-stream is
// optional on reading: an absent or short one leaves its field as it was.

#include <istream>
#include <ostream>

class BatchLevelComponent {
public:
    // What the component is; the values are those stored in the stream.
    enum EType : int {
        eDuration = 0,         // duration of each batch
        eEndPoint = 1,         // end point of each batch
        eScores = 2,           // scores; index: component number
        eRawData = 3,          // raw data of variables; index: variable position
        eRawDataExcluded = 4,  // raw data of excluded variables
        eSummary = 5,          // summary of variables; with summary types
        eSummaryExcluded = 6,  // summary of excluded variables; with summary types
    };
    // The statistics of a summary, as bits; the log lists them in this order.
    enum ESummaryType : int {
        eMin = 1,
        eMax = 2,
        eMean = 4,
        eMedian = 8,
        eStdDev = 16,
        eRobustStdDev = 32,
        eInterquartile = 64,
        eSlope = 128,
        eAllSummaryTypes = 255,
    };

    // Scores of all components: type eScores, index -1, summary types 0.
    BatchLevelComponent();
    // For eSummary, `n` is the summary types (index -1); for every other type `n` is the index
    // (summary types 0). eSummaryExcluded takes `n` as its index too.
    BatchLevelComponent(EType type, int n);
    BatchLevelComponent(EType type, int summaryTypes, int index);
    BatchLevelComponent(const BatchLevelComponent&) = default;
    BatchLevelComponent& operator=(const BatchLevelComponent&) = default;

    EType GetType() const { return mType; }
    int GetIndex() const { return mIndex; }
    int GetSummaryTypes() const { return mSummaryTypes; }
    // The version of the record last read (1 until then).
    int GetVersion() const { return mVersion; }

    // Equal type, index and summary types; the version is not compared.
    bool operator==(const BatchLevelComponent& other) const;
    bool operator!=(const BatchLevelComponent& other) const { return !(*this == other); }

    // Writes the tag, the version and the directory; true when the stream is still good.
    bool WriteObject(std::ostream& os) const;
    // False, the component unchanged, on another tag; false on a version other than 1 (the
    // version is kept) or a directory that cannot be read. Otherwise reads every sub-stream
    // present and returns true. The type is taken as stored, also a value outside EType.
    bool ReadObject(std::istream& is);

    static const char* GetTag();
    static int GetCurrentVersion();

private:
    int mVersion;
    const char* mTag;
    EType mType = eScores;
    int mIndex = -1;
    int mSummaryTypes = 0;
};
