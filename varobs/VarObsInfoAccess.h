#pragma once
// VarObsInfoAccess: the narrow interface through which a record tells the collection that owns
// it about a change of one of its IDs (VarObsInfo::SetUserID). Collections implement it; only
// the records call it.

class VarObsInfo;

class VarObsInfoAccess {
public:
    virtual ~VarObsInfoAccess() = default;

protected:
    VarObsInfoAccess() = default;
    VarObsInfoAccess(const VarObsInfoAccess&) = default;
    VarObsInfoAccess& operator=(const VarObsInfoAccess&) = default;

    // Marks alias column `alias` (1-based) as holding numbers (or not).
    virtual void SetIDIsNumeral(int alias, bool numeral) = 0;
    // Drops every cached index from ID text to record; it is rebuilt on the next look-up.
    virtual void ClearInfosByUserID() = 0;

    friend class VarObsInfo;
};
