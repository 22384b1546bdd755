#pragma once
// A minimal concrete collection for the tests of the collection base: VarObs is abstract (each
// kind of collection describes its own alias columns), and keeps Add and the index protected.

#include <memory>
#include <string>
#include <utility>

#include "varobs/ObservationInfo.h"
#include "varobs/VarObs.h"

class TestCollection : public VarObs {
public:
    using VarObs::Add;
    using VarObs::AddUserID;
    using VarObs::ClearInfosByUserID;
    using VarObs::GetInfosByUserID;
    using VarObs::GetNumeralValues;
    using VarObs::GetRawBatchID;

    std::string GetIDLabelDescription(int alias) const override {
        return "column " + std::to_string(alias) + ": " + GetIDLabelRaw(alias).GetString();
    }

    ObservationInfo* AddObs(std::vector<CString> ids, unsigned long uniqueID, InfosByUserID* index = nullptr) {
        auto record = std::make_unique<ObservationInfo>(ids, uniqueID);
        ObservationInfo* const added = record.get();
        Add(std::move(record), index);
        return added;
    }
};
