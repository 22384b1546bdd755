#pragma once
// VariableInfo: the abstract record of a variable (a column of a dataset). Besides the IDs of
// VarObsInfo it says to which block the variable belongs, how it came about (type and
// reference), its unit, recipe, treatment, classes and maturity, and it converts between the
// text a user types and the float stored in a data matrix. Section "VIO", version 4.

#include <istream>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "interfaces/streams/SectionFlag.h"
#include "interfaces/utility/CString.h"
#include "varobs/VarObsInfo.h"

class QuantitativeVariableInfo;
class QualitativeVariableInfo;
class DateTimeVariableInfo;
class NCVariables;

// The block of a variable; the numbers are persisted. The underlying type is fixed so that any
// stored number converts to the enum with a defined value.
enum EVariableBlock : int { eBlockX = 0, eBlockY = 1, eBlockExcludedX = 2, eBlockExcludedY = 3 };

// How a variable came about; the numbers are persisted. The groups decide what the record's
// reference means (GetComponent, GetSourceVariable, GetDAClass). Values inside a range that has
// no name of its own (7 to 12, 18 and 19) are obtained with static_cast.
enum EVariableType : int {
    eVarTypeDefault = 0,
    eVarTypeBatchCondition = 1,  // not counted as a response by NCVariables::IncludedYExsists
    eVarTypeComponent = 4,       // reference: the component
    eVarTypeFromSource = 5,      // reference: the source variable's unique ID
    eVarTypeSummaryFirst = 6,    // 6 … 13: summaries of a source variable (IsSummary)
    eVarTypeSummaryLast = 13,
    eVarTypeScore = 14,              // hierarchical; primary ID $M<model>.t<component>
    eVarTypeXResidual = 15,          // hierarchical; primary ID $M<model>.XVarRes<component>
    eVarTypeDAClass = 16,            // reference: the DA class
    eVarTypeHierarchicalFirst = 17,  // 17 … 20: further hierarchical variables of a model
    eVarTypeHierarchicalLast = 20
};

class VariableInfo : public VarObsInfo {
public:
    // Block X, type 0, no unit or recipe, source model -1, reference -1, treatment 8, no classes,
    // maturity -99.
    VariableInfo();
    VariableInfo(const CString& id, unsigned long uniqueID, const CString& recipe, int sourceModel, int reference,
                 EVariableType type);
    VariableInfo(const std::vector<CString>& ids, unsigned long uniqueID, EVariableType type, const CString& recipe,
                 int sourceModel, int reference, float maturity);
    VariableInfo(const VariableInfo& other);
    VariableInfo& operator=(const VariableInfo& other);
    ~VariableInfo() override;

    const VariableInfo* AsVariableInfo() const override { return this; }

    // The matrix value of a text the user typed.
    virtual float Encode(const char* text) const = 0;
    // The text of a matrix value; the missing value gives the empty string.
    virtual std::string Decode(float value) const = 0;
    virtual bool IsQualitative() const { return false; }
    // A copy of the record's own type, owned by the caller.
    virtual VariableInfo* Clone() const = 0;
    virtual const QuantitativeVariableInfo* AsQuantitativeVariableInfo() const { return nullptr; }
    virtual const QualitativeVariableInfo* AsQualitativeVariableInfo() const { return nullptr; }
    virtual const DateTimeVariableInfo* AsDateTimeVariableInfo() const { return nullptr; }

    EVariableBlock GetVariableBlock() const { return mBlock; }
    void SetVariableBlock(EVariableBlock block) { mBlock = block; }
    EVariableType GetVariableType() const { return mType; }
    void SetVariableType(EVariableType type) { mType = type; }

    bool IsX() const { return mBlock == eBlockX || mBlock == eBlockExcludedX; }
    bool IsY() const { return mBlock == eBlockY || mBlock == eBlockExcludedY; }
    bool IsIncluded() const { return mBlock == eBlockX || mBlock == eBlockY; }
    // Moves between a block and its excluded twin; any other block is left as it is.
    void SetIncluded(bool included);
    // Types 14, 15 and 17 … 20.
    bool IsHierarchical() const;
    // Types 6 … 13.
    bool IsSummary() const { return mType >= eVarTypeSummaryFirst && mType <= eVarTypeSummaryLast; }

    // The reference when hierarchical or of type 4, else -1.
    int GetComponent() const;
    // The reference for type 16, else -1.
    int GetDAClass() const;
    // The reference as a unique ID for types 5 … 13, else the no-unique-ID value.
    unsigned long GetSourceVariable() const;

    int GetSourceModel() const { return mSourceModel; }
    void UpdateSourceModel(int sourceModel) { mSourceModel = sourceModel; }
    int GetTreatment() const { return mTreatment; }
    void SetTreatment(int treatment) { mTreatment = treatment; }
    float GetMaturity() const { return mMaturity; }
    void SetMaturity(float maturity) { mMaturity = maturity; }
    const CString& GetUnit() const { return mUnit; }
    void SetUnit(const CString& unit) { mUnit = unit; }
    const CString& GetRecipe() const { return mRecipe; }
    void SetRecipe(const CString& recipe) { mRecipe = recipe; }
    bool IsGenerated() const { return !mRecipe.IsEmpty(); }

    const std::set<int>& GetClasses() const { return mClasses; }
    void SetClasses(const std::set<int>& classes) { mClasses = classes; }
    // When the record has no classes and numClasses >= 1, first gives it 1 … numClasses; then
    // adds every member of `classes`.
    void AddClasses(const std::set<int>& classes, int numClasses);

    // The ID in the source alias column of the variables collection among `aliases`; empty when
    // the list has no source column. Implemented with the collections (VariableInfoSourceName.cpp).
    CString GetSourceName(const NCVariables& vars, const std::vector<int>& aliases) const;

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 4 or a missing or unreadable required sub-stream;
    // never throws. Absent optional fields read as no classes, treatment 8 and maturity -99.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    // Old hierarchical variables carry their component only in the primary ID.
    void ReferenceFromPrimaryID();

    CopiedSectionFlag mSection;
    EVariableBlock mBlock = eBlockX;
    EVariableType mType = eVarTypeDefault;
    CString mUnit;
    CString mRecipe;
    int mSourceModel = -1;
    int mReference = -1;
    int mTreatment = 8;
    std::set<int> mClasses;
    float mMaturity = -99.0f;
};
