#pragma once
// DefaultCenterValues: the centres that local centering gives observations its table does not
// cover. Per variable unique ID an ordered list of (selector, default centre); the first element
// that answers for an observation gives its default. LocalCenteringData::Subtract builds them from
// the centres it used the first time and hands them back, so that later data can be centred like
// the data a model was built on. Once handed out they are shared read-only
// (boost::shared_ptr<DefaultCenterValues const>).
//
// Section "DCV", version 1, a directory of one sub-stream, numbered 1: a 4-byte variable count,
// then per variable in ascending unique ID its ID (4 bytes) and its list: a 4-byte count, then per
// element the alias (4 bytes), the name (binary string) and the default (4-byte float). Reading
// first empties the object; only version 1 is read.

#include <istream>
#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "centering/CenteringSelector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class ObservationInfo;

class DefaultCenterValues : public ZStreamBase {
public:
    using Selector = CenteringSelector;
    using DefaultList = std::vector<std::pair<Selector, float>>;
    using DefaultMap = std::map<unsigned long, DefaultList>;
    // The centres that centering used for one variable: (outer selector, inner selector) -> centre.
    using UsedCentres = std::map<std::pair<Selector, Selector>, float>;

    // No variables.
    DefaultCenterValues() = default;
    DefaultCenterValues(const DefaultCenterValues& other) = default;
    DefaultCenterValues& operator=(const DefaultCenterValues& other) = default;
    ~DefaultCenterValues() override;

    // Replaces the list of `varID` by one derived from the centres that centering used:
    // - when some used centre has an outer selector other than the wildcard: per outer selector
    //   (wildcard outer selectors left out) in selector order, the mean of its centres, then the
    //   centre of (wildcard, wildcard) when there is one;
    // - otherwise, when (wildcard, wildcard) was used: that centre alone, for every observation;
    // - otherwise each centre whose inner selector has alias number 3 (the phase column) under its
    //   inner selector, in order, then the mean of all the others for every observation, when
    //   there were others.
    // Means are float sums divided by the count. No used centres give an empty list.
    void AddVar(unsigned long varID, const UsedCentres& used);

    // The default of `varID` for an observation: the first element of the list whose alias number
    // is below 1, or whose name is the observation's ID text in that alias column. 0 when the
    // variable has no list or no element answers.
    float GetDefaultValue(unsigned long varID, const ObservationInfo& observation) const;
    // The same with `name` in place of the observation's ID texts (null counts as empty).
    float GetDefaultValue(unsigned long varID, const CString& name) const;

    bool HasVar(unsigned long varID) const { return mDefaults.count(varID) != 0; }
    unsigned int SizeVars() const { return static_cast<unsigned int>(mDefaults.size()); }
    // The variables' unique IDs, ascending.
    NCIntegralVector<unsigned long, 0> GetVariableIDs() const;
    // The list of `varID`, or null when there is none; valid until this object changes.
    const DefaultList* GetDefaults(unsigned long varID) const;
    // Every variable's list, ascending by unique ID.
    const DefaultMap& GetAllDefaults() const { return mDefaults; }
    void Clear() { mDefaults.clear(); }
    // Takes the variables of `other` that this object lacks; a variable it has keeps its own list.
    void Add(const DefaultCenterValues& other);

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag (nothing changed), another version or a missing or damaged list
    // (the object is then empty); never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

protected:
    // The list built from centres of which at least one has an outer selector other than the
    // wildcard (see AddVar); `used` is a working copy.
    static void AddBatchDefaults(DefaultList& list, UsedCentres used);

private:
    DefaultMap mDefaults;
    SectionFlag mSection;
};
