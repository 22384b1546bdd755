#pragma once
// AuxiliaryData: per model number, the auxiliary variables that go with the model's data. Each
// is a record of a variable unique ID, a vector of values (one per observation of the data it
// belongs to) and a few settings. Model 0 holds the auxiliary variables that every model shares:
// the queries for any other model see model 0's records first, then the model's own.
//
// Records of one model keep the order in which they were inserted (or read); models are kept in
// ascending order. ID lists and sizes per model are cached; Insert, Clear and reading empty both
// caches, Reduce keeps them (it changes no ID and no count).
//
// Choices a caller might not expect:
// - Model -1 never has auxiliary data (HasAuxiliaryData), but SizeModel(-1) and
//   GetAuxiliaryVarIDs(-1) still count model 0's records, as for any model other than 0.
// - Copies share their records. Reduce gives each record a reduced copy of its own, so a copy
//   made before Reduce keeps its values: copies behave as independent values.
// - GetAuxiliaryData takes its number of columns from the first row's record; a record with fewer
//   values fills the rest of its row with the missing value -99, one with more is cut.
// - Reduce sets a position beyond a record's values to -99 (as GetAuxiliaryData would show it).
//
// Section "AuxiliaryData", version 2 (only version 2 is read, checked after the empty ZStreamBase
// part): a directory of one sub-stream holding the number of records (4 bytes) and, for every
// record in the order above, its model number (4 bytes) and the record as a directory of six
// sub-streams without tag or version: 0 variable unique ID (4 bytes), 1 flag and 2 setting
// (2 bytes each), 3 source model and 4 count (4 bytes each), 5 the values (an "NCDV" section).
// A read that gets past the version empties the records and both caches first; a record missing
// any of its six sub-streams, or cut short, fails the read, keeping the records read before it.

#include <map>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class NCVariables;

class AuxiliaryData : public ZStreamBase {
public:
    // One auxiliary variable of a model; the defaults are those of a new record.
    struct Record {
        unsigned long varID = 0;
        // Reported by FindAuxiliaryData as a bool, non-zero being true.
        short flag = -1;
        short setting = -1;
        // The model the variable comes from; GetVarIDsFromModel selects on it.
        int sourceModel = -1;
        // Kept and persisted only.
        int count = 0;
        // One row of GetAuxiliaryData.
        NCDataVector<float> values;
    };

    // No records; `variables` (not owned, may be null) is the project's variable collection.
    explicit AuxiliaryData(NCVariables* variables);
    AuxiliaryData(const AuxiliaryData& other) = default;
    AuxiliaryData& operator=(const AuxiliaryData& other) = default;
    ~AuxiliaryData() override;

    // Adds `record` under `model`, after the model's records so far; empties both caches.
    void Insert(int model, const Record& record);

    // False for model -1; true when `model` has records, or when model 0 has records and `model`
    // is not 0.
    bool HasAuxiliaryData(int model) const;
    // The number of records of `model`, plus those of model 0 when `model` is not 0. Cached.
    int SizeModel(int model) const;
    // The variable unique IDs of model 0's records (when `model` is not 0), then those of
    // `model`'s records, each in record order. Cached.
    NCIntegralVector<unsigned long, 0> GetAuxiliaryVarIDs(int model) const;
    // One row per record, in the order of GetAuxiliaryVarIDs(model), holding the record's values;
    // as many columns as the first row's record has values (see above). Built on every call; 0 x 0
    // when there is no record.
    NCDataMatrix<float> GetAuxiliaryData(int model) const;
    // The first of `model`'s own records (not model 0's) for `varID`: fills the outputs and returns
    // true; false, outputs untouched, when there is none.
    bool FindAuxiliaryData(int model, unsigned long varID, bool& flag, short& setting, int& sourceModel) const;
    // The variable unique IDs of all records whose source model is `sourceModel`, models in
    // ascending order, each model's records in record order.
    NCIntegralVector<unsigned long, 0> GetVarIDsFromModel(int sourceModel) const;
    // Every record's values reduced to the positions `keep` lists (1-based), in that order.
    void Reduce(const NCIntegralVector<int, -99>& keep);
    // Removes all records and empties both caches.
    void Clear();

    // Every record with its model, in the order above: a snapshot for inspection.
    std::vector<std::pair<int, Record>> GetRecords() const;
    // The variable collection given at construction.
    NCVariables* GetVariables() const { return mVariables; }

    // Writes the section; true when the stream is still good.
    bool ZStreamableStartWrite(std::ostream& os) override;
    // Reads the section (see above). Another tag or version changes nothing; a missing sub-stream 0
    // or an unreadable count leaves no records.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    using Records = std::multimap<int, boost::shared_ptr<Record>>;

    void ClearCachedData() const;
    // Calls `visit` with each record of `model`, in record order.
    template <typename Visit>
    void VisitModel(int model, Visit&& visit) const;
    // Model 0's records (unless `model` is 0), then `model`'s.
    template <typename Visit>
    void VisitWithShared(int model, Visit&& visit) const;
    bool ReadRecords(std::istream& is);

    Records mRecords;
    NCVariables* mVariables;
    mutable std::map<int, NCIntegralVector<unsigned long, 0>> mIDCache;
    mutable std::map<int, int> mSizeCache;
    SectionFlag mSection;
};
