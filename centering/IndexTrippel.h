#pragma once
// IndexTrippel: the key of one imported local centering value, the names of its batch, phase and
// variable. Triples are ordered by phase name, then variable name, then batch name, each compared
// exactly (as strcmp), so the centres of one phase and variable lie next to each other in any
// ordered container, whatever their batches.
//
// In a stream a triple is a nested record "IndexTrippel", version 1: its tag and version, then a
// directory of three binary strings, 0 batch, 1 phase, 2 variable. Reading checks no version.

#include <istream>
#include <ostream>

#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/CString.h"

class IndexTrippel {
public:
    // Three empty names.
    IndexTrippel() = default;
    // Null names count as empty ones.
    IndexTrippel(const char* batch, const char* phase, const char* variable)
        : mBatch(batch), mPhase(phase), mVariable(variable) {}

    const CString& GetBatch() const { return mBatch; }
    const CString& GetPhase() const { return mPhase; }
    const CString& GetVariable() const { return mVariable; }

    // Phase, then variable, then batch, each compared exactly.
    bool operator<(const IndexTrippel& other) const;
    bool operator==(const IndexTrippel& other) const {
        return mBatch == other.mBatch && mPhase == other.mPhase && mVariable == other.mVariable;
    }
    bool operator!=(const IndexTrippel& other) const { return !(*this == other); }
    // Equal phase and variable names; the batches may differ.
    bool HasPhaseAndVariableOf(const IndexTrippel& other) const {
        return mPhase == other.mPhase && mVariable == other.mVariable;
    }

    // The record's tag and version.
    static const ZStreamableData& StreamData();

private:
    CString mBatch;
    CString mPhase;
    CString mVariable;
};

// Writes the nested record; true when the stream is still good.
bool WriteToStream(const IndexTrippel& triple, std::ostream& os);
// Reads the nested record. False, with the triple untouched, on another tag or a missing or short
// name; a ZoStreamError raised inside does not leave the call.
bool ReadValue(IndexTrippel& triple, std::istream& is);
