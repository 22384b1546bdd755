#pragma once
// NCObservations: the project-wide collection of observation records (the rows of every dataset
// of a project). Besides what VarObs offers it keeps the set of batch names: every non-empty ID
// found in its batch alias column, in byte-wise order (case-sensitive).
// Persisted as section "NCO", version 1: the tag, the "VO" section, then a stream directory with
// the known batch names. A stream written before the "NCO" section existed holds only "VO"; the
// batch names are then rebuilt from the records.

#include <boost/shared_ptr.hpp>

#include <functional>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "varobs/InfosByUserID.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VarObs.h"

class SectionInput;

class NCObservations : public VarObs {
public:
    // An empty collection without batch names.
    NCObservations();
    ~NCObservations() override;

    // VarObs::Add for an observation record: takes ownership and returns `rec`. The record's ID in
    // the batch alias column, when there is one and it is not empty, becomes a known batch name.
    ObservationInfo* Add(ObservationInfo* rec, InfosByUserID* index);
    // The same for a record handed over as the sole owner (see VarObs::Add); the library's own use.
    ObservationInfo* Add(std::unique_ptr<ObservationInfo> rec, InfosByUserID* index);
    // The observation with that unique ID, or null.
    const ObservationInfo* operator[](unsigned long uniqueID) const;
    ObservationInfo* operator[](unsigned long uniqueID);

    // See VarObs::GetInfosByUserID.
    boost::shared_ptr<InfosByUserID> GetInfosByUserID(int alias) const;

    // The known batch names in byte-wise order, as a list owned by the collection. The pointer
    // stays valid as long as the collection; the content is refreshed by the next call after a
    // change.
    const NCStringVector* GetAllKnownBatchNames() const;

    // The alias numbers 1 … alias count in order, except that alias 2 is left out when there is
    // no batch alias and alias 3 when there is no phase alias.
    std::vector<int> GetAllUsedAliases() const override;

    // Language text LanguageText::kObservationPrimaryIDDescription for alias 1; for any other alias
    // LanguageText::kObservationIDDescription formatted with the alias's raw label.
    std::string GetIDLabelDescription(int alias) const override;

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False for a negative version or one above 1 (before anything else is read) or a failed "VO"
    // section. Batch names that are absent or damaged in the stream are rebuilt from the records;
    // names read are added to the known ones. Never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

protected:
    // The observation with that unique ID, or null.
    const ObservationInfo* FindObservationInfo(unsigned long uniqueID) const;

private:
    // After an Add: the batch name list is rebuilt on demand and the record's batch becomes known.
    void NoteAdded(const ObservationInfo* rec);
    // Rebuilds the known batch names from the records' IDs in the batch alias column.
    void FixBatchNames();
    // Reads sub-stream 1 completely into the known names; false when it is absent or damaged.
    bool ReadBatchNames(SectionInput& in);

    std::set<std::string, std::less<>> mKnownBatchNames;
    mutable NCStringVector mBatchNameList;
    SectionFlag mSection;
};
