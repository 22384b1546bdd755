#pragma once
// RUSPData: the batch lists and observation IDs of a project's datasets, kept in a stream of the
// project's storage so that a batch list can be changed without loading its dataset (see
// NCDataSet::GetMutableBatchInfoVector). A value type; copies share the batch lists.
//
// Record "RUSPDATA", version 1 (a tag and version, then a directory of two sub-streams):
//   0: a 4-byte count, then per dataset its number (4 bytes), a presence byte and the "BI"
//      section of its batch list;
//   1: a 4-byte count, then per dataset its number and its observation IDs (an ID vector object).
// Reading is forgiving: a sub-stream that is absent or damaged leaves its map empty while the
// other one is still read, and batch lists in the legacy batch-condition layout are converted to
// condition variables of the project as they are read.

#include <boost/shared_ptr.hpp>

#include <istream>
#include <map>
#include <ostream>

#include "batchinfo/BatchInfoVector.h"
#include "interfaces/containers/NCIntegralVector.h"

class NCDataSet;
class NCProjectBase;

class RUSPData {
public:
    using BatchListMap = std::map<int, boost::shared_ptr<BatchInfoVector>>;
    using ObsIDMap = std::map<int, NCIntegralVector<unsigned long, 0>>;

    // An empty record of `project`, which must outlive it.
    explicit RUSPData(NCProjectBase& project);
    // Copies both maps (the batch lists are shared) and the project.
    RUSPData(const RUSPData& other) = default;
    RUSPData& operator=(const RUSPData&) = delete;
    ~RUSPData();

    // Stores the batch list of dataset `ds` (as NCDataSet::GetMutableBatchInfoVector hands it
    // out) and its observation IDs under its number, replacing what was stored for that number;
    // a dataset without a batch list leaves no batch list stored. Null does nothing.
    void Add(boost::shared_ptr<const NCDataSet> ds);
    // The same for a dataset known only by number: `batches` (shared, may be empty) and `obsIDs`.
    void Set(int datasetNumber, const boost::shared_ptr<BatchInfoVector>& batches,
             const NCIntegralVector<unsigned long, 0>& obsIDs);

    // The stored batch list of dataset `number`; empty when there is none.
    boost::shared_ptr<BatchInfoVector> GetBatchInfoVector(int number) const;
    const BatchListMap& GetBatchInfoVectors() const { return mBatchLists; }
    const ObsIDMap& GetObsIDs() const { return mObsIDs; }
    // The version of the record last read (1 until then).
    int GetVersion() const { return mVersion; }

    // Writes the tag, the version and the directory; true when the stream is still good.
    bool WriteObject(std::ostream& os) const;
    // Reads the tag and version, then ReLoad. False on another tag, a version other than 1 or a
    // stream whose directory cannot be read.
    bool ReadObject(std::istream& is);
    // Reads the directory of a record whose tag and version the caller has already read (and
    // found to be "RUSPDATA", 1). False only for a record version other than 1; a damaged
    // sub-stream empties its map instead.
    bool ReLoad(std::istream& is);

    static const char* GetTag();
    static int GetCurrentVersion();

private:
    void UnLoad(std::ostream& os) const;

    int mVersion;
    const char* mTag;
    BatchListMap mBatchLists;
    ObsIDMap mObsIDs;
    NCProjectBase& mProject;
};
