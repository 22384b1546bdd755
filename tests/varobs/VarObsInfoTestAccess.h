#pragma once
// Test access to the ID operations that VarObsInfo keeps for its collections. Every test that
// needs them includes this header (one definition of the friend for the whole test program).

#include "varobs/VarObsInfo.h"

struct VarObsInfoTestAccess {
    static int Count(const VarObsInfo& record) { return record.GetNumIDs(); }
    static const char* ID(const VarObsInfo& record, int i) { return record.GetUserID(i); }
    static float FloatID(const VarObsInfo& record, int i) { return record.GetUserFloatID(i); }
    static void Insert(VarObsInfo& record, int i, const char* text) { record.InsertID(i, text); }
    static void Move(VarObsInfo& record, int from, int to) { record.MoveID(from, to); }
    static void Swap(VarObsInfo& record, int a, int b) { record.SwapID(a, b); }
};
