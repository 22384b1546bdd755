#include "varobs/QuantitativeVariableInfo.h"

#include "interfaces/utility/ZoString.h"

QuantitativeVariableInfo::QuantitativeVariableInfo() = default;

QuantitativeVariableInfo::QuantitativeVariableInfo(const CString& id, unsigned long uniqueID, const CString& recipe,
                                                   int sourceModel, int reference, EVariableType type)
    : VariableInfo(id, uniqueID, recipe, sourceModel, reference, type) {}

QuantitativeVariableInfo::QuantitativeVariableInfo(const std::vector<CString>& ids, unsigned long uniqueID,
                                                   EVariableType type, const CString& recipe, int sourceModel,
                                                   int reference, float maturity)
    : VariableInfo(ids, uniqueID, type, recipe, sourceModel, reference, maturity) {}

QuantitativeVariableInfo::QuantitativeVariableInfo(const QuantitativeVariableInfo& other) = default;

QuantitativeVariableInfo& QuantitativeVariableInfo::operator=(const QuantitativeVariableInfo& other) = default;

QuantitativeVariableInfo::~QuantitativeVariableInfo() = default;

float QuantitativeVariableInfo::Encode(const char* text) const {
    float value = -99.0f;
    ZoString::ToFloat(text, value);
    return value;
}

std::string QuantitativeVariableInfo::Decode(float value) const {
    if (value == -99.0f) return std::string();
    return ZoString::Format("%g", static_cast<double>(value));
}

QuantitativeVariableInfo* QuantitativeVariableInfo::Clone() const { return new QuantitativeVariableInfo(*this); }
