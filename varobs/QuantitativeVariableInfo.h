#pragma once
// QuantitativeVariableInfo: the record of a numeric variable. Its matrix values are the numbers
// themselves. It has no section of its own: it is written and read as "VIO".

#include <string>
#include <vector>

#include "varobs/VariableInfo.h"

class QuantitativeVariableInfo : public VariableInfo {
public:
    QuantitativeVariableInfo();
    QuantitativeVariableInfo(const CString& id, unsigned long uniqueID, const CString& recipe, int sourceModel,
                             int reference, EVariableType type);
    QuantitativeVariableInfo(const std::vector<CString>& ids, unsigned long uniqueID, EVariableType type,
                             const CString& recipe, int sourceModel, int reference, float maturity);
    QuantitativeVariableInfo(const QuantitativeVariableInfo& other);
    QuantitativeVariableInfo& operator=(const QuantitativeVariableInfo& other);
    ~QuantitativeVariableInfo() override;

    // The number in the text; -99 (missing) when the text is not wholly a number.
    float Encode(const char* text) const override;
    // "" for -99, otherwise the value formatted with "%g".
    std::string Decode(float value) const override;
    QuantitativeVariableInfo* Clone() const override;
    const QuantitativeVariableInfo* AsQuantitativeVariableInfo() const override { return this; }
};
