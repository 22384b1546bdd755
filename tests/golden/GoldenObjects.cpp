#include "tests/golden/GoldenObjects.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <set>
#include <sstream>
#include <typeinfo>

#include <boost/make_shared.hpp>
#include <boost/uuid/string_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

#include "batch/BatchAligner.h"
#include "batch/BatchLevelComponent.h"
#include "batch/CreateBatchLevelInfo.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "batchinfo/ColumnConcatenateInfo.h"
#include "batchinfo/DVInfo.h"
#include "batchinfo/RUSPData.h"
#include "centering/AVGLocalCenteringInfo.h"
#include "centering/DefaultCenterValues.h"
#include "centering/LocalCenteringData.h"
#include "centering/LocalCenteringInfo.h"
#include "compound/CompoundDataset.h"
#include "dataset/AuxiliaryData.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCDataSetInfo.h"
#include "dataset/NCProjectBase.h"
#include "dataset/ProjectStorage.h"
#include "dataset/TrimdVarStruct.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/CString.h"
#include "interfaces/utility/LanguageString.h"
#include "interfaces/utility/SimpDateTime.h"
#include "tests/compound/CompoundDatasetTestAccess.h"
#include "tests/dataset/NCDataSetTestAccess.h"
#include "tests/golden/LightRecordObject.h"
#include "tests/varobs/VarObsInfoTestAccess.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/RecordFactory.h"
#include "varobs/SelectedLabel.h"

namespace golden {
using nc::kConstantVariableUniqueID;
using nc::kNoUniqueID;

namespace {

using ZoTimeUtl::SimpDateTime;

// ---- comparing members -------------------------------------------------------------------------

std::string Text(int value) { return std::to_string(value); }
std::string Text(unsigned value) { return std::to_string(value); }
std::string Text(long value) { return std::to_string(value); }
std::string Text(unsigned long value) { return std::to_string(value); }
std::string Text(bool value) { return value ? "true" : "false"; }
std::string Text(const std::string& value) { return "\"" + value + "\""; }
std::string Text(const CString& value) { return Text(value.GetString()); }
std::string Text(const SimpDateTime& value) {
    return value.IsValid() ? value.ToLocalString("yyyy-MM-dd HH:mm:ss.ffffff") : "not a date and time";
}
std::string Text(const std::vector<int>& values) {
    std::string text = "{";
    for (const int value : values) text += (text.size() > 1 ? ", " : "") + std::to_string(value);
    return text + "}";
}
std::string Text(const std::set<int>& values) {
    std::string text = "{";
    for (const int value : values) text += (text.size() > 1 ? ", " : "") + std::to_string(value);
    return text + "}";
}

// Floats are compared by their bits, so that NaN, -0 and the missing value count as themselves.
std::uint32_t Bits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string FloatText(float value) {
    std::ostringstream os;
    os.precision(9);
    os << value << " (bits 0x" << std::hex << Bits(value) << ")";
    return os.str();
}

// Collects the first difference between an expected (made) and an actual (read) object.
class Differences {
public:
    bool Found() const { return !mFirst.empty(); }
    const std::string& First() const { return mFirst; }

    void Note(const std::string& text) {
        if (mFirst.empty()) mFirst = text;
    }

    template <typename T>
    void Compare(const std::string& what, const T& expected, const T& actual) {
        if (!Found() && !(expected == actual)) Note(what + ": expected " + Text(expected) + ", read " + Text(actual));
    }

    void CompareFloat(const std::string& what, float expected, float actual) {
        if (!Found() && Bits(expected) != Bits(actual))
            Note(what + ": expected " + FloatText(expected) + ", read " + FloatText(actual));
    }

private:
    std::string mFirst;
};

// ---- containers ------------------------------------------------------------------------------

template <typename T, T Default>
void CompareIntegralVector(const NCIntegralVector<T, Default>& e, const NCIntegralVector<T, Default>& a, Differences& d,
                           const std::string& where = "") {
    d.Compare(where + "size()", e.size(), a.size());
    for (int i = 1; i <= e.size() && !d.Found(); ++i) d.Compare(where + "[" + Text(i) + "]", e[i], a[i]);
}

void CompareObjects(const NCDataVector<float>& e, const NCDataVector<float>& a, Differences& d) {
    d.Compare("size()", e.size(), a.size());
    for (int i = 1; i <= e.size() && !d.Found(); ++i) d.CompareFloat("(" + Text(i) + ")", e(i), a(i));
}

void CompareObjects(const NCDataMatrix<float>& e, const NCDataMatrix<float>& a, Differences& d) {
    d.Compare("GetNumRows()", e.GetNumRows(), a.GetNumRows());
    d.Compare("GetNumColumns()", e.GetNumColumns(), a.GetNumColumns());
    // A matrix without rows may have any number of columns (a damaged stream can say 2^31 - 1).
    if (e.GetNumRows() == 0) return;
    for (int c = 1; c <= e.GetNumColumns() && !d.Found(); ++c)
        for (int r = 1; r <= e.GetNumRows() && !d.Found(); ++r)
            d.CompareFloat("(" + Text(r) + ", " + Text(c) + ")", e(r, c), a(r, c));
}

void CompareStringVector(const NCStringVector& e, const NCStringVector& a, Differences& d,
                         const std::string& where = "") {
    d.Compare(where + "Size()", e.Size(), a.Size());
    for (int i = 1; i <= e.Size() && !d.Found(); ++i)
        d.Compare(where + "[" + Text(i) + "]", std::string(e[i]), std::string(a[i]));
}

// ---- records ---------------------------------------------------------------------------------

std::string ClassOf(const VarObsInfo& record) {
    const std::string registered = RecordFactory::GetClassName(record);
    return registered.empty() ? "VarObsInfo" : registered;
}

void CompareIDs(const VarObsInfo& e, const VarObsInfo& a, Differences& d, const std::string& where) {
    using Access = VarObsInfoTestAccess;
    d.Compare(where + "GetUniqueID()", e.GetUniqueID(), a.GetUniqueID());
    d.Compare(where + "number of IDs", Access::Count(e), Access::Count(a));
    for (int i = 1; i <= Access::Count(e) && !d.Found(); ++i)
        d.Compare(where + "ID " + Text(i), std::string(Access::ID(e, i)), std::string(Access::ID(a, i)));
}

void CompareVariableFields(const VariableInfo& e, const VariableInfo& a, Differences& d, const std::string& where) {
    d.Compare(where + "GetVariableBlock()", static_cast<int>(e.GetVariableBlock()),
              static_cast<int>(a.GetVariableBlock()));
    d.Compare(where + "GetVariableType()", static_cast<int>(e.GetVariableType()),
              static_cast<int>(a.GetVariableType()));
    d.Compare(where + "GetUnit()", e.GetUnit(), a.GetUnit());
    d.Compare(where + "GetRecipe()", e.GetRecipe(), a.GetRecipe());
    d.Compare(where + "GetSourceModel()", e.GetSourceModel(), a.GetSourceModel());
    // The reference shows through whichever of these three the type gives it to.
    d.Compare(where + "GetComponent()", e.GetComponent(), a.GetComponent());
    d.Compare(where + "GetDAClass()", e.GetDAClass(), a.GetDAClass());
    d.Compare(where + "GetSourceVariable()", e.GetSourceVariable(), a.GetSourceVariable());
    d.Compare(where + "GetTreatment()", e.GetTreatment(), a.GetTreatment());
    d.Compare(where + "GetClasses()", e.GetClasses(), a.GetClasses());
    d.CompareFloat(where + "GetMaturity()", e.GetMaturity(), a.GetMaturity());
}

void CompareQualitativeFields(const QualitativeVariableInfo& e, const QualitativeVariableInfo& a, Differences& d,
                              const std::string& where) {
    d.Compare(where + "SizeSettings()", e.SizeSettings(), a.SizeSettings());
    CompareStringVector(e.GetSettings(), a.GetSettings(), d, where + "GetSettings()");
}

void CompareDateTimeFields(const DateTimeVariableInfo& e, const DateTimeVariableInfo& a, Differences& d,
                           const std::string& where) {
    d.Compare(where + "GetParseMethod()", static_cast<int>(e.GetParseMethod()), static_cast<int>(a.GetParseMethod()));
    d.Compare(where + "GetParseFormatString()", e.GetParseFormatString(), a.GetParseFormatString());
    d.Compare(where + "GetDatasetFormat()", e.GetDatasetFormat(), a.GetDatasetFormat());
    d.Compare(where + "GetTimeAccuracy()", static_cast<int>(e.GetTimeAccuracy()),
              static_cast<int>(a.GetTimeAccuracy()));
    // An invalid offset is written as the start of the count.
    const SimpDateTime expectedOffset = e.GetDateTimeOffset().IsValid() ? e.GetDateTimeOffset() : SimpDateTime(0);
    d.Compare(where + "GetDateTimeOffset()", expectedOffset, a.GetDateTimeOffset());
}

void CompareObservationFields(const ObservationInfo& e, const ObservationInfo& a, Differences& d,
                              const std::string& where) {
    d.Compare(where + "GetDefaultClass()", e.GetDefaultClass(), a.GetDefaultClass());
    d.Compare(where + "GetBatch()", e.GetBatch(), a.GetBatch());
}

// Any record, by its dynamic class.
void CompareRecord(const VarObsInfo& e, const VarObsInfo& a, Differences& d, const std::string& where = "") {
    if (typeid(e) != typeid(a)) {
        d.Note(where + "class: expected " + ClassOf(e) + ", read " + ClassOf(a));
        return;
    }
    CompareIDs(e, a, d, where);
    if (const VariableInfo* ev = e.AsVariableInfo()) {
        const VariableInfo& av = *a.AsVariableInfo();
        CompareVariableFields(*ev, av, d, where);
        if (const QualitativeVariableInfo* eq = ev->AsQualitativeVariableInfo())
            CompareQualitativeFields(*eq, *av.AsQualitativeVariableInfo(), d, where);
        if (const DateTimeVariableInfo* et = ev->AsDateTimeVariableInfo())
            CompareDateTimeFields(*et, *av.AsDateTimeVariableInfo(), d, where);
    }
    if (const ObservationInfo* eo = e.AsObservationInfo())
        CompareObservationFields(*eo, *a.AsObservationInfo(), d, where);
}

// ---- labels and collections ------------------------------------------------------------------

// Labels hold alias numbers; seen through the aliases 1 … 64 their positions are those numbers.
std::vector<int> ManyAliases() {
    std::vector<int> aliases(64);
    for (int i = 0; i < 64; ++i) aliases[static_cast<std::size_t>(i)] = i + 1;
    return aliases;
}

void CompareLabel(const SelectedLabel& e, const SelectedLabel& a, Differences& d, const std::string& where = "") {
    const std::vector<int> aliases = ManyAliases();
    CompareIntegralVector(e.GetSelectedLongLabel(aliases), a.GetSelectedLongLabel(aliases), d, where + "long label");
    CompareIntegralVector(e.GetSelectedShortLabel(aliases), a.GetSelectedShortLabel(aliases), d, where + "short label");
}

std::vector<int> AllAliases(const VarObs& collection) {
    std::vector<int> aliases;
    for (int alias = 1; alias <= collection.SizeAliases(); ++alias) aliases.push_back(alias);
    return aliases;
}

void CompareCollection(const VarObs& e, const VarObs& a, Differences& d) {
    d.Compare("SizeAliases()", e.SizeAliases(), a.SizeAliases());
    for (int alias = 1; alias <= e.SizeAliases() && !d.Found(); ++alias) {
        d.Compare("GetIDLabelRaw(" + Text(alias) + ")", e.GetIDLabelRaw(alias), a.GetIDLabelRaw(alias));
        d.Compare("IsIDNumeral(" + Text(alias) + ")", e.IsIDNumeral(alias), a.IsIDNumeral(alias));
    }
    const std::vector<int> aliases = AllAliases(e);
    d.Compare("HasBatches()", e.HasBatches(), a.HasBatches());
    d.Compare("HasPhases()", e.HasPhases(), a.HasPhases());
    d.Compare("GetBatchID(all aliases)", e.GetBatchID(aliases), a.GetBatchID(aliases));
    d.Compare("GetPhaseID(all aliases)", e.GetPhaseID(aliases), a.GetPhaseID(aliases));
    CompareLabel(e.GetSelectedLabel(), a.GetSelectedLabel(), d, "GetSelectedLabel() ");

    d.Compare("GetNumberOfVarObs()", e.GetNumberOfVarObs(), a.GetNumberOfVarObs());
    for (auto it = e.Begin(); it != e.End() && !d.Found(); ++it) {
        const std::string where = "record " + Text(it->first) + ": ";
        const VarObsInfo* read = a[it->first];
        if (!read) {
            d.Note(where + "missing");
            break;
        }
        CompareRecord(*it->second, *read, d, where);
    }
}

// ---- one comparison per class, chosen by overload for the table ---------------------------------

template <typename T, T Default>
void CompareObjects(const NCIntegralVector<T, Default>& e, const NCIntegralVector<T, Default>& a, Differences& d) {
    CompareIntegralVector(e, a, d);
}

void CompareObjects(const NCStringVector& e, const NCStringVector& a, Differences& d) { CompareStringVector(e, a, d); }

// Every record class: the comparison follows the dynamic class.
void CompareObjects(const VarObsInfo& e, const VarObsInfo& a, Differences& d) { CompareRecord(e, a, d); }

void CompareObjects(const SelectedLabel& e, const SelectedLabel& a, Differences& d) { CompareLabel(e, a, d); }

void CompareObjects(const NCVariables& e, const NCVariables& a, Differences& d) {
    CompareCollection(e, a, d);
    const std::vector<int> aliases = AllAliases(e);
    d.Compare("GetDefaultTimeID()", e.GetDefaultTimeID(), a.GetDefaultTimeID());
    d.Compare("GetMaturityID(all aliases)", e.GetMaturityID(aliases), a.GetMaturityID(aliases));
    d.Compare("GetSourceID(all aliases)", e.GetSourceID(aliases), a.GetSourceID(aliases));
    const DateTimeVariableInfo* et = e.GetDefaultTimeVariable();
    const DateTimeVariableInfo* at = a.GetDefaultTimeVariable();
    d.Compare("GetDefaultTimeVariable()", et ? et->GetUniqueID() : kNoUniqueID, at ? at->GetUniqueID() : kNoUniqueID);
}

void CompareObjects(const NCObservations& e, const NCObservations& a, Differences& d) {
    CompareCollection(e, a, d);
    CompareStringVector(*e.GetAllKnownBatchNames(), *a.GetAllKnownBatchNames(), d, "GetAllKnownBatchNames()");
}

// ---- batch records -----------------------------------------------------------------------------

// The project of the stored batch lists read here: reading asks it only for its variables (to
// convert batch lists of the legacy layout). Kept free of the reference application, which the
// fuzzing build that uses these objects does not have.
class GoldenProject : public NCProjectBase {
public:
    unsigned long GetNewUniqueID(int) override { return ++mLastID; }
    bool ConfirmDatasetChange(int, const NCIntegralVector<unsigned long, 0>*) override { return true; }
    boost::shared_ptr<NCDataSet> GetDataset(int) const override { return {}; }
    const ProjectStorage& GetStorage() const override { return mStorage; }
    const NCVariables& GetVariables() const override { return mVariables; }
    NCVariables& GetVariables() override { return mVariables; }
    const NCObservations& GetObservations() const override { return mObservations; }
    NCObservations& GetObservations() override { return mObservations; }
    int GetNumberOfModels() const override { return 0; }
    const BatchImportSettings& GetBatchImportSettings(int) const override { return mSettings; }
    void SetBatchImportSettings(const BatchImportSettings& settings) override { mSettings = settings; }
    std::string GetStreamName(int, int) const override { return ""; }
    bool AskBatchQuestion() const override { return false; }
    void SaveDataset(boost::shared_ptr<NCDataSet const>) override {}
    boost::shared_ptr<LocalCenteringData> GetLocalCenteringData() const override { return {}; }
    boost::shared_ptr<NCDataSetInfo> GetDataSetInfo(int) const override { return {}; }

private:
    class NoStorage : public ProjectStorage {
    public:
        std::istream* OpenInputStream(const char*) const override { return nullptr; }
    };

    unsigned long mLastID = 0;
    NoStorage mStorage;
    NCVariables mVariables;
    NCObservations mObservations;
    BatchImportSettings mSettings;
};

// RUSPData is a record with a tag of its own rather than a persistent object; this adapter lets
// the table pin its bytes. Every adapter's record belongs to one project kept for the process.
class RUSPDataObject : public ZStreamBase {
public:
    RUSPDataObject() : mData(Project()) {}
    RUSPData& Data() { return mData; }
    const RUSPData& Data() const { return mData; }
    // Handled once per pass, as a persistent object would be.
    bool ZStreamableStartWrite(std::ostream& os) override { return !mSection.Enter() || mData.WriteObject(os); }
    bool ZStreamableStartRead(std::istream& is) override { return !mSection.Enter() || mData.ReadObject(is); }
    void ZStreamableReset() override { mSection.Reset(); }

private:
    static NCProjectBase& Project() {
        static GoldenProject project;
        return project;
    }

    RUSPData mData;
    SectionFlag mSection;
};

void ComparePhase(const ClassInfo& e, const ClassInfo& a, Differences& d, const std::string& where = "") {
    d.Compare(where + "GetOriginalName()", e.GetOriginalName(), a.GetOriginalName());
    d.Compare(where + "GetPhaseName()", e.GetPhaseName(), a.GetPhaseName());
    d.Compare(where + "GetYVariableID()", e.GetYVariableID(), a.GetYVariableID());
    d.Compare(where + "GetNumObs()", e.GetNumObs(), a.GetNumObs());
    d.Compare(where + "GetAverageLength()", e.GetAverageLength(), a.GetAverageLength());
    d.Compare(where + "IsIncluded()", e.IsIncluded(), a.IsIncluded());
    CompareIntegralVector(e.GetExcludedVariablesVector(), a.GetExcludedVariablesVector(), d,
                          where + "GetExcludedVariablesVector()");
}

void ComparePhaseList(const ClassInfoVector* e, const ClassInfoVector* a, Differences& d, const std::string& where) {
    d.Compare(where + " present", e != nullptr, a != nullptr);
    if (!e || !a || d.Found()) return;
    d.Compare(where + " size()", static_cast<unsigned long>(e->size()), static_cast<unsigned long>(a->size()));
    for (std::size_t i = 0; i < e->size() && !d.Found(); ++i) {
        const std::string at = where + "[" + Text(static_cast<unsigned long>(i)) + "]";
        d.Compare(at + " present", (*e)[i] != nullptr, (*a)[i] != nullptr);
        if ((*e)[i] && (*a)[i]) ComparePhase(*(*e)[i], *(*a)[i], d, at + ".");
    }
}

void CompareBatch(const BatchInfo& e, const BatchInfo& a, Differences& d, const std::string& where = "") {
    d.Compare(where + "GetBatchName()", e.GetBatchName(), a.GetBatchName());
    d.Compare(where + "IsIncluded()", e.IsIncluded(), a.IsIncluded());
    ComparePhaseList(e.GetClassVector(), a.GetClassVector(), d, where + "GetClassVector()");
    d.Compare(where + "GetNumObs(nullptr, true)", e.GetNumObs(nullptr, true), a.GetNumObs(nullptr, true));
    const std::string values = where + "GetBatchConditionValues()";
    d.Compare(values + ".size()", e.GetBatchConditionValues().size(), a.GetBatchConditionValues().size());
    for (int i = 1; i <= e.GetBatchConditionValues().size() && !d.Found(); ++i)
        d.CompareFloat(values + "(" + Text(i) + ")", e.GetBatchConditionValues()(i), a.GetBatchConditionValues()(i));
    CompareStringVector(e.OBSOLETE_GetQualitativeValues(), a.OBSOLETE_GetQualitativeValues(), d,
                        where + "OBSOLETE_GetQualitativeValues()");
    // The batch's own number of observations shows only through the comparison.
    if (!d.Found() && e != a) d.Note(where + "operator==: the batches differ");
}

void CompareBatchList(const BatchInfoVector& e, const BatchInfoVector& a, Differences& d,
                      const std::string& where = "") {
    d.Compare(where + "size()", static_cast<unsigned long>(e.size()), static_cast<unsigned long>(a.size()));
    for (int i = 0; i < static_cast<int>(e.size()) && !d.Found(); ++i) {
        const std::string at = where + "[" + Text(i) + "]";
        d.Compare(at + " present", e[i] != nullptr, a[i] != nullptr);
        if (e[i] && a[i]) CompareBatch(*e[i], *a[i], d, at + ".");
    }
    CompareIntegralVector(e.GetBCVariableIDs(), a.GetBCVariableIDs(), d, where + "GetBCVariableIDs()");
    CompareStringVector(e.OBSOLETE_GetConditionNames(), a.OBSOLETE_GetConditionNames(), d,
                        where + "OBSOLETE_GetConditionNames()");
    d.Compare(where + "OBSOLETE_GetConditionKinds().size()",
              static_cast<unsigned long>(e.OBSOLETE_GetConditionKinds().size()),
              static_cast<unsigned long>(a.OBSOLETE_GetConditionKinds().size()));
}

void CompareConcatenation(const ColumnConcatenateInfo& e, const ColumnConcatenateInfo& a, Differences& d,
                          const std::string& where = "") {
    CompareIntegralVector(e.GetColumns(), a.GetColumns(), d, where + "GetColumns()");
    d.Compare(where + "GetSeparatorChar()", e.GetSeparatorChar(), a.GetSeparatorChar());
}

void CompareObjects(const ClassInfo& e, const ClassInfo& a, Differences& d) { ComparePhase(e, a, d); }

void CompareObjects(const BatchInfo& e, const BatchInfo& a, Differences& d) { CompareBatch(e, a, d); }

void CompareObjects(const BatchInfoVector& e, const BatchInfoVector& a, Differences& d) { CompareBatchList(e, a, d); }

void CompareObjects(const ColumnConcatenateInfo& e, const ColumnConcatenateInfo& a, Differences& d) {
    CompareConcatenation(e, a, d);
}

void CompareObjects(const BatchImportSettings& e, const BatchImportSettings& a, Differences& d) {
    d.Compare("GetProjectType()", static_cast<int>(e.GetProjectType()), static_cast<int>(a.GetProjectType()));
    d.Compare("GetBatchID()", e.GetBatchID(), a.GetBatchID());
    d.Compare("GetPhaseID()", e.GetPhaseID(), a.GetPhaseID());
    d.Compare("GetBatchIDImportColumn()", e.GetBatchIDImportColumn(), a.GetBatchIDImportColumn());
    d.Compare("GetPhaseIDImportColumn()", e.GetPhaseIDImportColumn(), a.GetPhaseIDImportColumn());
    d.Compare("GetHasBeenDownSized()", e.GetHasBeenDownSized(), a.GetHasBeenDownSized());
    d.Compare("GetDownSizeHeader()", e.GetDownSizeHeader(), a.GetDownSizeHeader());
    d.Compare("GetDownSizeInterval()", e.GetDownSizeInterval(), a.GetDownSizeInterval());
    CompareStringVector(e.GetBLPhaseNames(), a.GetBLPhaseNames(), d, "GetBLPhaseNames()");
    d.Compare("GetSmoothedMap().size()", static_cast<unsigned long>(e.GetSmoothedMap().size()),
              static_cast<unsigned long>(a.GetSmoothedMap().size()));
    for (const auto& entry : e.GetSmoothedMap()) {
        const auto found = a.GetSmoothedMap().find(entry.first);
        d.Compare("GetSmoothedMap()[" + Text(entry.first) + "]", entry.second,
                  found == a.GetSmoothedMap().end() ? kNoUniqueID : found->second);
    }
    d.Compare("SizeColumnConcatInfos()", e.SizeColumnConcatInfos(), a.SizeColumnConcatInfos());
    for (int i = 1; i <= e.SizeColumnConcatInfos() && !d.Found(); ++i)
        CompareConcatenation(e.GetColumnConcatInfo(i), a.GetColumnConcatInfo(i), d,
                             "GetColumnConcatInfo(" + Text(i) + ").");
    ComparePhaseList(e.GetDefaultClassInfoVector(false), a.GetDefaultClassInfoVector(false), d,
                     "GetDefaultClassInfoVector(false)");
}

void CompareObjects(const DVInfo& e, const DVInfo& a, Differences& d) {
    d.Compare("GetText()", e.GetText(), a.GetText());
    d.Compare("GetFirstNumber()", e.GetFirstNumber(), a.GetFirstNumber());
    d.Compare("GetFlagByte()", static_cast<int>(e.GetFlagByte()), static_cast<int>(a.GetFlagByte()));
    d.Compare("GetSecondNumber()", e.GetSecondNumber(), a.GetSecondNumber());
    d.Compare("GetThirdNumber()", e.GetThirdNumber(), a.GetThirdNumber());
}

void CompareObjects(const RUSPDataObject& eo, const RUSPDataObject& ao, Differences& d) {
    const RUSPData& e = eo.Data();
    const RUSPData& a = ao.Data();
    d.Compare("GetVersion()", e.GetVersion(), a.GetVersion());
    d.Compare("GetBatchInfoVectors().size()", static_cast<unsigned long>(e.GetBatchInfoVectors().size()),
              static_cast<unsigned long>(a.GetBatchInfoVectors().size()));
    for (const auto& entry : e.GetBatchInfoVectors()) {
        const std::string where = "batch list of dataset " + Text(entry.first);
        const auto found = a.GetBatchInfoVectors().find(entry.first);
        if (found == a.GetBatchInfoVectors().end()) {
            d.Note(where + ": missing");
            break;
        }
        d.Compare(where + " present", entry.second != nullptr, found->second != nullptr);
        if (entry.second && found->second) CompareBatchList(*entry.second, *found->second, d, where + ": ");
    }
    d.Compare("GetObsIDs().size()", static_cast<unsigned long>(e.GetObsIDs().size()),
              static_cast<unsigned long>(a.GetObsIDs().size()));
    for (const auto& entry : e.GetObsIDs()) {
        const std::string where = "observation IDs of dataset " + Text(entry.first);
        const auto found = a.GetObsIDs().find(entry.first);
        if (found == a.GetObsIDs().end()) {
            d.Note(where + ": missing");
            break;
        }
        CompareIntegralVector(entry.second, found->second, d, where);
    }
}

void CompareObjects(const LocalCenteringInfo& e, const LocalCenteringInfo& a, Differences& d) {
    d.Compare("GetCenterID()", e.GetCenterID(), a.GetCenterID());
    d.Compare("HasPhases()", e.HasPhases(), a.HasPhases());
    d.Compare("SizeTrippel()", e.SizeTrippel(), a.SizeTrippel());
    int at = 0;
    for (auto ei = e.BeginTrippel(), ai = a.BeginTrippel(); ei != e.EndTrippel() && ai != a.EndTrippel() && !d.Found();
         ++ei, ++ai, ++at) {
        const std::string where = "centre " + Text(at);
        d.Compare(where + " batch", ei->first.GetBatch(), ai->first.GetBatch());
        d.Compare(where + " phase", ei->first.GetPhase(), ai->first.GetPhase());
        d.Compare(where + " variable", ei->first.GetVariable(), ai->first.GetVariable());
        d.CompareFloat(where, ei->second, ai->second);
    }
}

void CompareObjects(const AVGLocalCenteringInfo& e, const AVGLocalCenteringInfo& a, Differences& d) {
    d.Compare("HasPhases()", e.HasPhases(), a.HasPhases());
    int at = 0;
    auto ei = e.Begin();
    auto ai = a.Begin();
    for (; ei != e.End() && ai != a.End() && !d.Found(); ++ei, ++ai, ++at) {
        const std::string where = "average " + Text(at);
        d.Compare(where + " phase", ei->first.first, ai->first.first);
        d.Compare(where + " unique ID", ei->first.second, ai->first.second);
        d.CompareFloat(where, ei->second, ai->second);
    }
    d.Compare("number of averages", ei == e.End(), ai == a.End());
}

// ---- batch-level descriptions ------------------------------------------------------------------

using BatchLevelComponentObject = LightRecordObject<BatchLevelComponent>;
using CreateBatchLevelInfoObject = LightRecordObject<CreateBatchLevelInfo>;

void CompareComponent(const BatchLevelComponent& e, const BatchLevelComponent& a, Differences& d,
                      const std::string& where = "") {
    d.Compare(where + "GetType()", static_cast<int>(e.GetType()), static_cast<int>(a.GetType()));
    d.Compare(where + "GetIndex()", e.GetIndex(), a.GetIndex());
    d.Compare(where + "GetSummaryTypes()", e.GetSummaryTypes(), a.GetSummaryTypes());
    d.Compare(where + "GetVersion()", e.GetVersion(), a.GetVersion());
}

void CompareObjects(const BatchLevelComponentObject& e, const BatchLevelComponentObject& a, Differences& d) {
    CompareComponent(e.Get(), a.Get(), d);
}

void CompareObjects(const CreateBatchLevelInfoObject& eo, const CreateBatchLevelInfoObject& ao, Differences& d) {
    const CreateBatchLevelInfo& e = eo.Get();
    const CreateBatchLevelInfo& a = ao.Get();
    d.Compare("GetVersion()", e.GetVersion(), a.GetVersion());
    d.Compare("GetAverageBatchForMissingPhases()", e.GetAverageBatchForMissingPhases(),
              a.GetAverageBatchForMissingPhases());
    d.Compare("GetComponents().size()", static_cast<unsigned long>(e.GetComponents().size()),
              static_cast<unsigned long>(a.GetComponents().size()));
    for (std::size_t i = 0; i < e.GetComponents().size() && !d.Found(); ++i)
        CompareComponent(e.GetComponents()[i], a.GetComponents()[i], d,
                         "GetComponents()[" + Text(static_cast<unsigned long>(i)) + "].");
}

// ---- datasets ----------------------------------------------------------------------------------

void CompareTrimValues(const TrimdVarStruct& e, const TrimdVarStruct& a, Differences& d,
                       const std::string& where = "") {
    d.Compare(where + "GetTrimValues().size()", static_cast<unsigned long>(e.GetTrimValues().size()),
              static_cast<unsigned long>(a.GetTrimValues().size()));
    auto actual = a.GetTrimValues().begin();
    for (auto it = e.GetTrimValues().begin(); it != e.GetTrimValues().end() && !d.Found(); ++it, ++actual)
        d.CompareFloat(where + "trim value", *it, *actual);
}

void CompareObjects(const TrimdVarStruct& e, const TrimdVarStruct& a, Differences& d) { CompareTrimValues(e, a, d); }

// A dataset lives in a boost::shared_ptr and needs a project; this adapter holds one in a project
// kept for the process, so that the table can make, read and compare datasets like any object.
class DataSetObject : public ZStreamBase {
public:
    DataSetObject() : mDataset(NCDataSet::Create(Project(), 0)) {}
    explicit DataSetObject(boost::shared_ptr<NCDataSet> dataset) : mDataset(std::move(dataset)) {}
    const NCDataSet& Dataset() const { return *mDataset; }
    bool ZStreamableStartWrite(std::ostream& os) override { return mDataset->ZStreamableStartWrite(os); }
    bool ZStreamableStartRead(std::istream& is) override { return mDataset->ZStreamableStartRead(is); }
    void ZStreamableReset() override { mDataset->ZStreamableReset(); }

    static boost::shared_ptr<NCProjectBase> Project() {
        static const boost::shared_ptr<NCProjectBase> project = boost::make_shared<GoldenProject>();
        return project;
    }

private:
    boost::shared_ptr<NCDataSet> mDataset;
};

void CompareTrimming(const NCDataSet& e, const NCDataSet& a, Differences& d) {
    using Access = NCDataSetTestAccess;
    const auto& ev = Access::ValuesBeforeTrim(e);
    const auto& av = Access::ValuesBeforeTrim(a);
    d.Compare("values before trimming: size()", static_cast<unsigned long>(ev.size()),
              static_cast<unsigned long>(av.size()));
    for (std::size_t i = 0; i < ev.size() && !d.Found(); ++i) {
        const std::string where = "values before trimming[" + Text(static_cast<unsigned long>(i)) + "]";
        d.Compare(where + ".size()", static_cast<unsigned long>(ev[i].size()),
                  static_cast<unsigned long>(av[i].size()));
        for (auto it = ev[i].begin(), at = av[i].begin(); it != ev[i].end() && !d.Found(); ++it, ++at) {
            d.Compare(where + " observation", it->first, at->first);
            d.CompareFloat(where + "[" + Text(it->first) + "]", it->second, at->second);
        }
    }
    const auto& ei = Access::TrimmedVarIndex(e);
    const auto& ai = Access::TrimmedVarIndex(a);
    d.Compare("trimmed variable index: size()", static_cast<unsigned long>(ei.size()),
              static_cast<unsigned long>(ai.size()));
    for (auto it = ei.begin(), at = ai.begin(); it != ei.end() && !d.Found(); ++it, ++at) {
        d.Compare("trimmed variable index: variable", it->first, at->first);
        d.Compare("trimmed variable index[" + Text(it->first) + "]", it->second, at->second);
    }
    const auto& et = Access::TrimDescriptions(e);
    const auto& at = Access::TrimDescriptions(a);
    d.Compare("trim descriptions: size()", static_cast<unsigned long>(et.size()),
              static_cast<unsigned long>(at.size()));
    for (std::size_t i = 0; i < et.size() && !d.Found(); ++i) {
        const std::string where = "trim descriptions[" + Text(static_cast<unsigned long>(i)) + "]";
        d.Compare(where + " present", et[i] != nullptr, at[i] != nullptr);
        if (et[i] && at[i]) CompareTrimValues(*et[i], *at[i], d, where + ".");
    }
}

void CompareObjects(const DataSetObject& eo, const DataSetObject& ao, Differences& d) {
    using Access = NCDataSetTestAccess;
    const NCDataSet& e = eo.Dataset();
    const NCDataSet& a = ao.Dataset();
    d.Compare("GetName()", std::string(e.GetName()), std::string(a.GetName()));
    d.Compare("GetImportLog()", std::string(e.GetImportLog()), std::string(a.GetImportLog()));
    CompareIntegralVector(e.GetObsIDs(), a.GetObsIDs(), d, "GetObsIDs()");
    CompareIntegralVector(e.GetVarIDs(), a.GetVarIDs(), d, "GetVarIDs()");
    if (!d.Found()) CompareObjects(e.GetData(false, nullptr), a.GetData(false, nullptr), d);
    d.Compare("batch list dirty", Access::BatchesDirty(e), Access::BatchesDirty(a));
    const BatchInfoVector* eb = Access::HeldBatches(e);
    const BatchInfoVector* ab = Access::HeldBatches(a);
    d.Compare("batch list present", eb != nullptr, ab != nullptr);
    if (eb && ab) CompareBatchList(*eb, *ab, d, "batch list ");
    ComparePhaseList(e.GetPhaseInfoVector().get(), a.GetPhaseInfoVector().get(), d, "GetPhaseInfoVector()");
    CompareTrimming(e, a, d);
    const auto ec = Access::GetSortCache(e);
    const auto ac = Access::GetSortCache(a);
    d.Compare("sort cache valid", ec.valid, ac.valid);
    d.Compare("variable IDs sorted", ec.varIDsSorted, ac.varIDsSorted);
    d.Compare("observation IDs sorted", ec.obsIDsSorted, ac.obsIDsSorted);
    d.Compare("GetLocalCenteringInfo() present", e.GetLocalCenteringInfo() != nullptr,
              a.GetLocalCenteringInfo() != nullptr);
    if (e.GetLocalCenteringInfo() && a.GetLocalCenteringInfo())
        CompareObjects(*e.GetLocalCenteringInfo(), *a.GetLocalCenteringInfo(), d);
    d.Compare("GetDataType()", e.GetDataType(), a.GetDataType());
    d.Compare("GetSourceID()", e.GetSourceID(), a.GetSourceID());
    d.Compare("GetUsedObsAliases()", e.GetUsedObsAliases(), a.GetUsedObsAliases());
    d.Compare("GetUsedVarAliases()", e.GetUsedVarAliases(), a.GetUsedVarAliases());
}

// ---- dataset descriptions ------------------------------------------------------------------------

// A description belongs to a project, which its stream does not need; this class gives the table
// the default constructor that it reads into.
class DataSetInfoObject : public NCDataSetInfo {
public:
    DataSetInfoObject() : NCDataSetInfo(boost::shared_ptr<NCProjectBase>()) {}
    explicit DataSetInfoObject(const NCDataSetInfo& info) : NCDataSetInfo(info) {}
};

void CompareAliasList(const std::vector<int>& e, const std::vector<int>& a, Differences& d, const std::string& where) {
    d.Compare(where + ".size()", static_cast<unsigned long>(e.size()), static_cast<unsigned long>(a.size()));
    for (std::size_t i = 0; i < e.size() && !d.Found(); ++i)
        d.Compare(where + "[" + Text(static_cast<unsigned long>(i)) + "]", e[i], a[i]);
}

void CompareObjects(const DataSetInfoObject& e, const DataSetInfoObject& a, Differences& d) {
    d.Compare("GetNumObservations()", e.GetNumObservations(), a.GetNumObservations());
    d.Compare("GetNumVariables()", e.GetNumVariables(), a.GetNumVariables());
    d.Compare("GetNumber()", e.GetNumber(), a.GetNumber());
    d.Compare("GetName()", std::string(e.GetName()), std::string(a.GetName()));
    d.Compare("GetNumYVariables()", e.GetNumYVariables(), a.GetNumYVariables());
    d.Compare("GetDataType()", e.GetDataType(), a.GetDataType());
    d.Compare("GetSourceID()", e.GetSourceID(), a.GetSourceID());
    CompareIntegralVector(e.GetObsIDs(), a.GetObsIDs(), d, "GetObsIDs()");
    CompareIntegralVector(e.GetVarIDs(), a.GetVarIDs(), d, "GetVarIDs()");
    CompareAliasList(e.GetUsedObsAliases(), a.GetUsedObsAliases(), d, "GetUsedObsAliases()");
    CompareAliasList(e.GetUsedVarAliases(), a.GetUsedVarAliases(), d, "GetUsedVarAliases()");
    const auto eb = e.GetBatchInfoVector();
    const auto ab = a.GetBatchInfoVector();
    d.Compare("GetBatchInfoVector() present", eb != nullptr, ab != nullptr);
    if (eb && ab) CompareBatchList(*eb, *ab, d, "GetBatchInfoVector()");
    ComparePhaseList(e.GetPhaseInfoVector().get(), a.GetPhaseInfoVector().get(), d, "GetPhaseInfoVector()");
}

// ---- compound datasets ---------------------------------------------------------------------------

// The project of the compound datasets: it holds datasets and describes them.
class CompoundGoldenProject : public GoldenProject {
public:
    boost::shared_ptr<NCDataSet> GetDataset(int number) const override {
        const auto found = mDatasets.find(number);
        return found == mDatasets.end() ? boost::shared_ptr<NCDataSet>() : found->second;
    }
    boost::shared_ptr<NCDataSetInfo> GetDataSetInfo(int number) const override {
        const boost::shared_ptr<NCDataSet> dataset = GetDataset(number);
        return dataset ? boost::make_shared<NCDataSetInfo>(dataset) : boost::shared_ptr<NCDataSetInfo>();
    }
    void AddDataset(boost::shared_ptr<NCDataSet> dataset) { mDatasets[dataset->GetNumber()] = std::move(dataset); }

private:
    std::map<int, boost::shared_ptr<NCDataSet>> mDatasets;
};

NCIntegralVector<unsigned long, 0> IDs(std::initializer_list<unsigned long> ids) {
    NCIntegralVector<unsigned long, 0> vector;
    for (const unsigned long id : ids) vector.push_back(id);
    return vector;
}

// Datasets 1 to 3: 1 and 2 share observation 12 and variable 22 and both have batch B1; each
// shows other ID columns; dataset 3 shares nothing and has a type bit of the application's.
boost::shared_ptr<NCProjectBase> MakeCompoundProject() {
    const auto project = boost::make_shared<CompoundGoldenProject>();
    const auto add = [&](int number, const char* name, std::initializer_list<unsigned long> obs,
                         std::initializer_list<unsigned long> vars, std::vector<int> obsAliases,
                         std::vector<int> varAliases, std::initializer_list<const char*> batchNames,
                         std::initializer_list<const char*> phaseNames) {
        const NCIntegralVector<unsigned long, 0> obsIDs = IDs(obs);
        const NCIntegralVector<unsigned long, 0> varIDs = IDs(vars);
        BatchInfoVector batches;
        for (const char* batch : batchNames) batches.push_back(boost::make_shared<BatchInfo>(batch));
        ClassInfoVector phases;
        for (const char* phase : phaseNames) phases.push_back(boost::make_shared<ClassInfo>(phase));
        auto dataset =
            NCDataSet::Create(project, name, number, nullptr, &obsIDs, &varIDs, obsAliases, varAliases, "",
                              batchNames.size() ? &batches : nullptr, phaseNames.size() ? &phases : nullptr, false);
        project->AddDataset(dataset);
        return dataset;
    };
    add(1, "Reactor", {11, 12, 13}, {21, 22}, {1, 2}, {1}, {"B1"}, {"Heat"});
    add(2, "Lab \xc3\xbc", {14, 12, 15}, {22, 23}, {1, 3}, {2}, {"B1", "B2"}, {"Heat", "Cool"});
    add(3, "Extra", {16}, {24}, {1}, {1}, {}, {})->SetSource(0x101, 7UL);
    return project;
}

// A compound of the golden project with a fixed identifier, so that its bytes can be pinned.
class CompoundObject : public CompoundDataset {
public:
    CompoundObject() : CompoundDataset(CompoundProject()) { FixID("00000000-0000-4000-8000-000000000001"); }
    explicit CompoundObject(const std::vector<int>& datasets) : CompoundDataset(CompoundProject(), datasets) {
        FixID("6ba7b810-9dad-41d1-80b4-00c04fd430c8");
    }

private:
    void FixID(const char* text) { CompoundDatasetTestAccess::SetID(*this, boost::uuids::string_generator()(text)); }
};

void CompareObjects(const CompoundObject& e, const CompoundObject& a, Differences& d) {
    d.Compare("GetDatasets()", e.GetDatasets(), a.GetDatasets());
    d.Compare("GetID()", boost::uuids::to_string(e.GetID()), boost::uuids::to_string(a.GetID()));
    d.Compare("GetDataType()", e.GetDataType(), a.GetDataType());
    d.Compare("GetName()", std::string(e.GetName()), std::string(a.GetName()));
    CompareIntegralVector(e.GetObsIDs(), a.GetObsIDs(), d, "GetObsIDs()");
    CompareIntegralVector(e.GetVarIDs(), a.GetVarIDs(), d, "GetVarIDs()");
    CompareAliasList(e.GetUsedObsAliases(), a.GetUsedObsAliases(), d, "GetUsedObsAliases()");
    CompareAliasList(e.GetUsedVarAliases(), a.GetUsedVarAliases(), d, "GetUsedVarAliases()");
    const auto eb = e.GetBatchInfoVector();
    const auto ab = a.GetBatchInfoVector();
    d.Compare("GetBatchInfoVector() present", eb != nullptr, ab != nullptr);
    if (eb && ab) CompareBatchList(*eb, *ab, d, "GetBatchInfoVector()");
    ComparePhaseList(e.GetPhaseInfoVector().get(), a.GetPhaseInfoVector().get(), d, "GetPhaseInfoVector()");
}

std::string Text(const CenteringSelector& selector) {
    return "(" + Text(selector.first) + ", " + Text(selector.second) + ")";
}

// Two selector-keyed maps entry by entry, the values through `compareValue(where, e, a)`.
template <typename Map, typename CompareValue>
void CompareSelectorMaps(const Map& e, const Map& a, Differences& d, const std::string& where,
                         CompareValue&& compareValue) {
    d.Compare(where + " size", static_cast<unsigned long>(e.size()), static_cast<unsigned long>(a.size()));
    for (auto ei = e.begin(), ai = a.begin(); ei != e.end() && ai != a.end() && !d.Found(); ++ei, ++ai) {
        const std::string at = where + " " + Text(ei->first);
        d.Compare(at + " selector", Text(ei->first), Text(ai->first));
        compareValue(at, ei->second, ai->second);
    }
}

void CompareObjects(const LocalCenteringData& e, const LocalCenteringData& a, Differences& d) {
    const auto& expected = e.GetCentres();
    const auto& actual = a.GetCentres();
    d.Compare("SizeVars()", e.SizeVars(), a.SizeVars());
    for (auto ei = expected.begin(), ai = actual.begin(); ei != expected.end() && ai != actual.end() && !d.Found();
         ++ei, ++ai) {
        const std::string where = "variable " + Text(ei->first);
        d.Compare(where + " unique ID", ei->first, ai->first);
        CompareSelectorMaps(ei->second, ai->second, d, where + " outer",
                            [&](const std::string& outer, const auto& eInner, const auto& aInner) {
                                CompareSelectorMaps(
                                    eInner, aInner, d, outer + " inner",
                                    [&](const std::string& at, float ev, float av) { d.CompareFloat(at, ev, av); });
                            });
    }
}

void CompareObjects(const BatchAligner& e, const BatchAligner& a, Differences& d) {
    const NCDataVector<float>* expected = e.GetTimeMaturityVector();
    const NCDataVector<float>* actual = a.GetTimeMaturityVector();
    d.Compare("GetTimeMaturityVector() present", expected != nullptr, actual != nullptr);
    if (expected && actual && !d.Found()) {
        Differences grid;
        CompareObjects(*expected, *actual, grid);
        if (grid.Found()) d.Note("GetTimeMaturityVector()" + grid.First());
    }
    d.CompareFloat("GetStart()", e.GetStart(), a.GetStart());
    d.CompareFloat("GetEnd()", e.GetEnd(), a.GetEnd());
    d.Compare("IsAscending()", e.IsAscending(), a.IsAscending());
}

void CompareObjects(const DefaultCenterValues& e, const DefaultCenterValues& a, Differences& d) {
    const auto& expected = e.GetAllDefaults();
    const auto& actual = a.GetAllDefaults();
    d.Compare("SizeVars()", e.SizeVars(), a.SizeVars());
    for (auto ei = expected.begin(), ai = actual.begin(); ei != expected.end() && ai != actual.end() && !d.Found();
         ++ei, ++ai) {
        const std::string where = "variable " + Text(ei->first);
        d.Compare(where + " unique ID", ei->first, ai->first);
        d.Compare(where + " list size", static_cast<unsigned long>(ei->second.size()),
                  static_cast<unsigned long>(ai->second.size()));
        for (std::size_t i = 0; i < ei->second.size() && i < ai->second.size() && !d.Found(); ++i) {
            const std::string at = where + " element " + Text(static_cast<unsigned long>(i));
            d.Compare(at + " selector", Text(ei->second[i].first), Text(ai->second[i].first));
            d.CompareFloat(at, ei->second[i].second, ai->second[i].second);
        }
    }
}

// ---- auxiliary data --------------------------------------------------------------------------

// Auxiliary data belongs to a variable collection, which its stream does not need; this class gives
// the table the default constructor that it reads into.
class AuxiliaryDataObject : public AuxiliaryData {
public:
    AuxiliaryDataObject() : AuxiliaryData(nullptr) {}
};

void CompareObjects(const AuxiliaryDataObject& e, const AuxiliaryDataObject& a, Differences& d) {
    const auto expected = e.GetRecords();
    const auto actual = a.GetRecords();
    d.Compare("number of records", static_cast<unsigned long>(expected.size()),
              static_cast<unsigned long>(actual.size()));
    for (std::size_t i = 0; i < expected.size() && i < actual.size() && !d.Found(); ++i) {
        const std::string where = "record " + Text(static_cast<unsigned long>(i)) + " ";
        const AuxiliaryData::Record& er = expected[i].second;
        const AuxiliaryData::Record& ar = actual[i].second;
        d.Compare(where + "model", expected[i].first, actual[i].first);
        d.Compare(where + "varID", er.varID, ar.varID);
        d.Compare(where + "flag", static_cast<int>(er.flag), static_cast<int>(ar.flag));
        d.Compare(where + "setting", static_cast<int>(er.setting), static_cast<int>(ar.setting));
        d.Compare(where + "sourceModel", er.sourceModel, ar.sourceModel);
        d.Compare(where + "count", er.count, ar.count);
        if (!d.Found()) {
            Differences values;
            CompareObjects(er.values, ar.values, values);
            if (values.Found()) d.Note(where + "values." + values.First());
        }
    }
}

// ---- making the objects ----------------------------------------------------------------------

std::vector<CString> IDs(std::initializer_list<const char*> texts) {
    return std::vector<CString>(texts.begin(), texts.end());
}

// Sets the process-wide label change counter, which only a label read from a stream can do.
void SetLabelChangeCount(unsigned count) {
    std::ostringstream os;
    ZStreamLight::WriteMagicStringAndVersionNumber(os, 2, "SELECTED_LABLE");
    {
        NCIntegralVector<int, -99> primary;
        primary.push_back(1);
        OutputStreamDirectory directory(os, 3);
        WriteToStream(count, directory.GetOutput(0));
        WriteToStream(primary, directory.GetOutput(1));
        WriteToStream(primary, directory.GetOutput(2));
    }
    std::istringstream is(os.str());
    SelectedLabel sink;
    is >> sink;
}

// Wraps the make function of an entry whose bytes hold process-wide state (see the header).
template <typename T>
std::function<std::unique_ptr<T>()> Pinned(std::function<std::unique_ptr<T>()> make) {
    return [make] {
        LanguageString::ResetToDefaults();
        std::unique_ptr<T> object = make();
        SetLabelChangeCount(kLabelChangeCount);
        return object;
    };
}

std::unique_ptr<NCIntegralVector<int, -99>> FullIndexVector() {
    auto v = std::make_unique<NCIntegralVector<int, -99>>();
    for (const int value : {1, -99, 0, -1, 7, INT_MAX, INT_MIN, 42}) v->push_back(value);
    return v;
}

std::unique_ptr<NCIntegralVector<unsigned long, 0>> FullIDVector() {
    auto v = std::make_unique<NCIntegralVector<unsigned long, 0>>();
    // Unique IDs are 32-bit: the largest, the reserved ones and zero.
    for (const unsigned long value : {1UL, 0UL, 4294967295UL, kNoUniqueID, kConstantVariableUniqueID, 123456789UL})
        v->push_back(value);
    return v;
}

std::unique_ptr<BoolVector> FullBoolVector() {
    auto v = std::make_unique<BoolVector>();
    for (const bool value : {true, false, false, true, true, false, true}) v->push_back(value);
    return v;
}

std::unique_ptr<NCDataVector<float>> FullDataVector() {
    auto v = std::make_unique<NCDataVector<float>>();
    for (const float value :
         {1.5f, -99.0f, 0.0f, -0.0f, std::numeric_limits<float>::max(), std::numeric_limits<float>::denorm_min(),
          std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
          std::numeric_limits<float>::quiet_NaN(), -1234.5678f})
        v->push_back(value);
    return v;
}

std::unique_ptr<NCDataMatrix<float>> FullDataMatrix() {
    auto m = std::make_unique<NCDataMatrix<float>>(3, 4);
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 3; ++r) (*m)(r, c, static_cast<float>(r * 10 + c) + 0.25f);
    (*m)(2, 3, -99.0f);  // a missing cell
    (*m)(3, 1, -0.5f);
    return m;
}

std::unique_ptr<NCStringVector> FullStringVector() {
    auto v = std::make_unique<NCStringVector>();
    for (const char* text : {"alpha", "", "with space",
                             "Gr\xc3\xbc\xc3\x9f"
                             "e",
                             "tab\there\nnewline", "$BatchID"})
        v->push_back(text);
    v->push_back(std::string(300, 'x').c_str());
    return v;
}

std::unique_ptr<VarObsInfo> FullVarObsInfo() {
    return std::make_unique<VarObsInfo>(std::vector<CString>{"Primary", "", "2.5", "Caf\xc3\xa9"}, 123456UL);
}

std::unique_ptr<QuantitativeVariableInfo> FullQuantitative() {
    auto var = std::make_unique<QuantitativeVariableInfo>(std::vector<CString>{"Temp", "", "T-1", "17"}, 1001UL,
                                                          eVarTypeComponent, "a+b", 2, 5, 12.5f);
    var->SetVariableBlock(eBlockExcludedY);
    var->SetUnit("degC");
    var->SetTreatment(3);
    var->SetClasses({1, 4, 7});
    return var;
}

std::unique_ptr<QualitativeVariableInfo> FullQualitative() {
    NCStringVector settings;
    for (const char* text : {"low", "medium", "high", "n/a"}) settings.push_back(text);
    auto var = std::make_unique<QualitativeVariableInfo>(std::vector<CString>{"Grade", "G", "Quality"}, 12UL, &settings,
                                                         eVarTypeBatchCondition, "round(x)");
    var->SetVariableBlock(eBlockY);
    var->SetUnit("class");
    var->UpdateSourceModel(3);
    var->SetTreatment(0);
    var->SetClasses({2, 3});
    var->SetMaturity(1.75f);
    return var;
}

std::unique_ptr<DateTimeVariableInfo> FullDateTime() {
    auto var = std::make_unique<DateTimeVariableInfo>(
        std::vector<CString>{"Clock", "Time", "$T"}, 77UL, ZoTimeUtl::eParseExact, "yyyy-MM-dd HH:mm:ss.fff",
        "dd.MM.yyyy HH:mm", SimpDateTime(2001, 2, 3, 4, 5, 6, 789000), ZoTimeUtl::eAccuracyMinute);
    var->SetVariableBlock(eBlockExcludedX);
    var->SetVariableType(eVarTypeFromSource);  // its reference -1 reads as source variable 4294967295
    var->SetUnit("min");
    var->UpdateSourceModel(1);
    var->SetTreatment(5);
    var->SetClasses({9});
    var->SetMaturity(-3.5f);
    return var;
}

std::unique_ptr<ObservationInfo> FullObservation() {
    auto obs = std::make_unique<ObservationInfo>(std::vector<CString>{"Obs 1", "B7", "P2", "3.25"}, 77UL);
    obs->SetDefaultClass(3);
    obs->SetBatch(1234UL);
    return obs;
}

std::unique_ptr<SelectedLabel> FullSelectedLabel() {
    auto label = std::make_unique<SelectedLabel>();
    const std::vector<int> aliases{1, 2, 3, 5, 8};
    label->SetSelected(4, aliases, false);  // long: 1, 5
    label->SetSelected(1, aliases, false);  // long: 5
    label->SetSelected(2, aliases, false);  // long: 5, 2
    label->SetSelected(5, aliases, true);   // short: 1, 8
    label->SetSelected(3, aliases, true);   // short: 1, 8, 3
    return label;
}

// Records of every variable class, special alias columns, numeral aliases, a chosen default time
// variable and changed labels.
std::unique_ptr<NCVariables> FullVariables() {
    auto vars = std::make_unique<NCVariables>();
    vars->Add(new QuantitativeVariableInfo(IDs({"Temp", "17", "12.5", "Reactor", "Temp raw", "Heat"}), 5UL,
                                           eVarTypeComponent, "a+b", 2, 3, 0.5f),
              nullptr);
    auto* pressure = vars->Add(
        new QuantitativeVariableInfo(IDs({"Pressure", "18"}), 6UL, eVarTypeFromSource, "", 1, 5, -99.0f), nullptr);
    pressure->SetVariableBlock(eBlockExcludedX);
    pressure->SetUnit("bar");

    NCStringVector grades;
    for (const char* text : {"low", "mid", "high"}) grades.push_back(text);
    auto* grade = vars->Add(
        new QualitativeVariableInfo(IDs({"Grade", "19", "", "Lab"}), 11UL, &grades, eVarTypeDefault, ""), nullptr);
    grade->SetVariableBlock(eBlockY);
    grade->SetClasses({3});
    NCStringVector colours;
    for (const char* text : {"red", "green", "blue", "black"}) colours.push_back(text);
    vars->Add(new QualitativeVariableInfo(IDs({"Colour"}), 12UL, &colours, eVarTypeBatchCondition, "recode"), nullptr);

    vars->Add(new DateTimeVariableInfo("Start", 7UL, ZoTimeUtl::eParseUsingLocale, "", "yyyy-MM-dd",
                                       SimpDateTime(2000, 1, 1, 0, 0, 0, 0), ZoTimeUtl::eAccuracyDay),
              nullptr);
    vars->Add(new DateTimeVariableInfo(std::vector<CString>{"Clock", "20"}, 9UL, ZoTimeUtl::eParseExact,
                                       "dd/MM/yyyy HH:mm:ss", "HH:mm:ss.fff", SimpDateTime(2001, 2, 3, 4, 5, 6, 789000),
                                       ZoTimeUtl::eAccuracySecond),
              nullptr);

    const std::vector<CString> labels{"", "Tag", "$MaturityID", "$SourceID", "$Original ID", "$PhaseID"};
    vars->Set_ID_Labels(&labels);
    vars->AddSecondaryID("Extra");
    vars->SetBatchID(2);
    vars->SetDefaultTimeID(9UL);

    const std::vector<int> aliases = vars->GetAllUsedAliases();
    SelectedLabel& label = vars->GetSelectedLabel();
    label.SetSelected(2, aliases, false);  // long: 1, 2
    label.SetSelected(1, aliases, false);  // long: 2
    label.SetSelected(4, aliases, true);   // short: 1, 4
    return vars;
}

// Observations of two batches and phases, one added before the batch column was known (so its
// batch is no known name), numeral and text aliases, classes and batch unique IDs.
std::unique_ptr<NCObservations> FullObservations() {
    auto obs = std::make_unique<NCObservations>();
    obs->Add(new ObservationInfo(IDs({"o1", "B9"}), 1UL), nullptr);
    const std::vector<CString> labels{"", "Batch", "Phase", "Number", "Note"};
    obs->Set_ID_Labels(&labels);
    obs->SetBatchID(2);
    obs->SetPhaseID(3);
    ObservationInfo* first = obs->Add(new ObservationInfo(IDs({"o2", "B1", "P1", "1.5", "first"}), 2UL), nullptr);
    first->SetDefaultClass(2);
    first->SetBatch(1001UL);
    ObservationInfo* second = obs->Add(new ObservationInfo(IDs({"o3", "B2", "P1", "2"}), 3UL), nullptr);
    second->SetDefaultClass(1);
    second->SetBatch(1002UL);
    obs->Add(new ObservationInfo(IDs({"o4", "B1", "P2", "", "x"}), 4UL), nullptr)->SetBatch(1001UL);
    obs->Add(new ObservationInfo(IDs({"o5", ""}), 5UL), nullptr);
    obs->Add(new ObservationInfo(IDs({"o6"}), 6UL), nullptr);

    const std::vector<int> aliases = obs->GetAllUsedAliases();
    SelectedLabel& label = obs->GetSelectedLabel();
    label.SetSelected(2, aliases, false);  // long: 1, 2
    label.SetSelected(5, aliases, true);   // short: 1, 5
    label.SetSelected(3, aliases, true);   // short: 1, 5, 3
    return obs;
}

std::unique_ptr<ClassInfo> FullPhase() {
    auto phase = std::make_unique<ClassInfo>("Start-up");
    phase->SetPhaseName("Phase 1");
    phase->SetYVariableID(42UL);
    phase->SetNumObs(17);
    phase->SetAverageLength(12);
    phase->SetIncluded(false);
    for (const unsigned long id : {5UL, 9UL, kNoUniqueID}) phase->SetIncluded(id, false);
    phase->SetPhaseStatus(static_cast<ClassInfo::EPhaseStatus>(3));  // not stored
    return phase;
}

// Two phases and an empty element, which the stream holds as a single 0 byte.
ClassInfoVector FullPhaseList() {
    ClassInfoVector phases;
    phases.push_back(boost::shared_ptr<ClassInfo>(FullPhase()));
    phases.push_back(boost::shared_ptr<ClassInfo>());
    auto second = boost::make_shared<ClassInfo>("Phase 2");
    second->SetNumObs(13);
    phases.push_back(second);
    return phases;
}

std::unique_ptr<BatchInfo> FullBatch() {
    auto batch = std::make_unique<BatchInfo>("Batch 7");
    batch->SetNumObs(30);
    batch->SetIncluded(false);
    batch->SetClassVectorPtr(std::make_unique<ClassInfoVector>(FullPhaseList()));
    NCDataVector<float> values;
    for (const float value : {1.5f, -99.0f, 3.0f}) values.push_back(value);
    batch->SetBatchConditionValues(&values);
    NCStringVector texts;
    for (const char* text : {"red", "", "blue"}) texts.push_back(text);
    batch->OBSOLETE_SetQualitativeValues(texts);
    return batch;
}

// A batch with phases, an empty element and a batch without phases.
std::unique_ptr<BatchInfoVector> FullBatchList() {
    auto batches = std::make_unique<BatchInfoVector>();
    batches->push_back(boost::shared_ptr<BatchInfo>(FullBatch()));
    batches->push_back(boost::shared_ptr<BatchInfo>());
    auto plain = boost::make_shared<BatchInfo>("B2");
    plain->SetNumObs(4);
    NCDataVector<float> values(3, 0.25f);
    plain->SetBatchConditionValues(&values);
    batches->push_back(plain);
    NCIntegralVector<unsigned long, 0> ids;
    for (const unsigned long id : {11UL, 12UL, 13UL}) ids.push_back(id);
    batches->SetBCVariableIDs(ids);
    return batches;
}

std::unique_ptr<ColumnConcatenateInfo> FullConcatenation() {
    NCIntegralVector<int, -99> columns;
    for (const int column : {2, 5, 7}) columns.push_back(column);
    return std::make_unique<ColumnConcatenateInfo>(columns, "-|-");
}

// Only the smoothing of real variables fills the map: two generated variables, one of them
// smoothed, in a collection of their own.
void AddSmoothedEntries(BatchImportSettings& settings) {
    NCVariables variables;
    for (const unsigned long id : {10UL, 20UL, 11UL, 21UL})
        variables.Add(new QuantitativeVariableInfo(CString(("V" + Text(id)).c_str()), id, "", -1, -1, eVarTypeDefault),
                      nullptr);
    settings.IncludeNewVar(20UL, 10UL, &variables, true, false, false);
    settings.IncludeNewVar(21UL, 11UL, &variables, true, false, false);
}

std::unique_ptr<BatchImportSettings> FullImportSettings() {
    auto settings = std::make_unique<BatchImportSettings>();
    settings->SetProjectType(BatchImportSettings::eProjectTypePhases);
    settings->SetBatchID(2);
    settings->SetPhaseID(3);
    settings->SetBatchIDImportColumn(4);
    settings->SetPhaseIDImportColumn(6);
    settings->SetHasBeenDownSized(true);
    settings->SetDownSizeHeader(3);
    settings->SetDownSizeInterval(5);
    NCStringVector names;
    for (const char* name : {"Heating", "Cooling"}) names.push_back(name);
    settings->SetBLPhaseNames(names);
    settings->PushBackColumnConcatInfo(*FullConcatenation());
    settings->PushBackColumnConcatInfo(ColumnConcatenateInfo(NCIntegralVector<int, -99>(), ""));
    const ClassInfoVector phases = FullPhaseList();
    settings->SetDefaultClassInfoVector(&phases);
    AddSmoothedEntries(*settings);
    return settings;
}

std::unique_ptr<DVInfo> FullDVInfo() {
    auto record = std::make_unique<DVInfo>();
    record->SetText("Level of the reactor jacket");  // longer than a string keeps inline
    record->SetFirstNumber(7);
    record->SetFlagByte(1);
    record->SetSecondNumber(-3);
    record->SetThirdNumber(400000);
    return record;
}

// Dataset 3 with the full batch list, dataset 8 with an empty batch list and dataset 9 with
// observation IDs only.
std::unique_ptr<RUSPDataObject> FullRUSPData() {
    auto record = std::make_unique<RUSPDataObject>();
    NCIntegralVector<unsigned long, 0> ids;
    for (const unsigned long id : {1UL, 2UL, 3UL}) ids.push_back(id);
    record->Data().Set(3, boost::shared_ptr<BatchInfoVector>(FullBatchList()), ids);
    record->Data().Set(8, boost::make_shared<BatchInfoVector>(), NCIntegralVector<unsigned long, 0>());
    ids.push_back(4UL);
    record->Data().Set(9, boost::shared_ptr<BatchInfoVector>(), ids);
    return record;
}

// Centres of two phases and an empty one, a missing centre, names that need more than ASCII.
std::unique_ptr<LocalCenteringInfo> FullLocalCentering() {
    auto info = std::make_unique<LocalCenteringInfo>(17, false);
    info->AddData("B1", "Heat", "Temp", 2.5f);
    info->AddData("B2", "Heat", "Temp", -99.0f);
    info->AddData("B1", "Cool", "Temp", -0.125f);
    info->AddData("", "", "Druck \xc3\xbc", std::numeric_limits<float>::max());
    return info;
}

// Phase names that differ only in case (kept apart by their unique IDs), the empty phase and the
// reserved unique IDs.
std::unique_ptr<AVGLocalCenteringInfo> FullAverages() {
    auto info = std::make_unique<AVGLocalCenteringInfo>(false);
    info->AddData("Heat", 5UL, 1.25f);
    info->AddData("heat", 6UL, -99.0f);
    info->AddData("Cool", kNoUniqueID, 0.0f);
    info->AddData("", 4294967295UL, -3.5f);
    return info;
}

std::unique_ptr<TrimdVarStruct> FullTrimValues() {
    auto trim = std::make_unique<TrimdVarStruct>();
    for (const float value : {100.0f, -99.0f, -0.0f, 1.5e-40f, std::numeric_limits<float>::infinity(), 3.25f})
        trim->AddTrimValue(value);
    return trim;
}

// A dataset of three observations and four variables with every optional part: batch and phase
// lists, trimming records of two variables (one without its description), a sort cache, data
// type, source and used aliases other than the defaults, special float values in the matrix.
// Its batch list is due for derivation, which the section keeps.
std::unique_ptr<DataSetObject> FullDataSet() {
    NCIntegralVector<unsigned long, 0> obsIDs;
    for (const unsigned long id : {31UL, 32UL, 30UL}) obsIDs.push_back(id);
    NCIntegralVector<unsigned long, 0> varIDs;
    for (const unsigned long id : {41UL, 42UL, 43UL, 44UL}) varIDs.push_back(id);
    NCDataMatrix<float> data(3, 4);
    const float values[] = {1.5f,  -99.0f, std::numeric_limits<float>::quiet_NaN(), -0.0f, 1e30f,  7.0f,
                            -2.5f, 0.0f,   std::numeric_limits<float>::infinity(),  12.0f, 1e-40f, 3.0f};
    for (int c = 1; c <= 4; ++c)
        for (int r = 1; r <= 3; ++r) data(r, c, values[(c - 1) * 3 + (r - 1)]);
    const std::unique_ptr<BatchInfoVector> batches = FullBatchList();
    const ClassInfoVector phases = FullPhaseList();
    auto dataset = NCDataSet::Create(DataSetObject::Project(), "Reactor 2", 5, &data, &obsIDs, &varIDs, {1, 3, 2},
                                     {2, 1}, "imported from two files", batches.get(), &phases, false);
    dataset->SetSource(nc::DataType::kObservationLevelBatch | 0x100, 4711UL);
    dataset->SetBatchInfoVecDirty();

    using Access = NCDataSetTestAccess;
    Access::ValuesBeforeTrim(*dataset) = {{{31UL, 101.5f}, {30UL, -99.0f}}, {{32UL, -0.0f}}};
    Access::TrimmedVarIndex(*dataset) = {{44UL, 0}, {42UL, 1}};
    Access::TrimDescriptions(*dataset) = {boost::shared_ptr<TrimdVarStruct>(FullTrimValues()),
                                          boost::shared_ptr<TrimdVarStruct>()};
    Access::SetSortCache(*dataset, {true, false, true});
    dataset->SetLocalCenteringInfo(boost::shared_ptr<LocalCenteringInfo>(FullLocalCentering()));
    return std::make_unique<DataSetObject>(dataset);
}

// The description of a batch dataset of a project of its own (one Y variable, the full batch and
// phase lists, chosen ID columns, type and source), taken by Update.
std::unique_ptr<DataSetInfoObject> FullDataSetInfo() {
    const auto project = boost::make_shared<GoldenProject>();
    NCIntegralVector<unsigned long, 0> varIDs;
    for (const unsigned long id : {21UL, 42UL, 23UL}) {
        VariableInfo* var = project->GetVariables().Add(
            new QuantitativeVariableInfo(CString(("V" + Text(id)).c_str()), id, "", -1, -1, eVarTypeDefault), nullptr);
        if (id == 42UL) var->SetVariableBlock(eBlockY);  // the Y variable of the first phase
        varIDs.push_back(id);
    }
    NCIntegralVector<unsigned long, 0> obsIDs;
    for (const unsigned long id : {1001UL, 1002UL, 1003UL, 1004UL}) obsIDs.push_back(id);
    const std::unique_ptr<BatchInfoVector> batches = FullBatchList();
    const ClassInfoVector phases = FullPhaseList();
    const auto dataset = NCDataSet::Create(project, "Lab data \xc3\xbc", 7, nullptr, &obsIDs, &varIDs, {2, 1}, {1, 3},
                                           "imported", batches.get(), &phases, false);
    dataset->SetSource(nc::DataType::kObservationLevelBatch | 0x04, 4711UL);
    return std::make_unique<DataSetInfoObject>(NCDataSetInfo(dataset));
}

// Centres under both kinds of wildcard, names that need more than ASCII, -0, the largest float and
// the largest unique ID.
std::unique_ptr<LocalCenteringData> FullLocalCenteringData() {
    auto table = std::make_unique<LocalCenteringData>();
    table->AddInfo(2.5f, 5UL, 2, "B1", 3, "Heat");
    table->AddInfo(-0.0f, 5UL, -1, nullptr, 3, "Heat");
    table->AddInfo(std::numeric_limits<float>::max(), 5UL, -1, nullptr, -1, nullptr);
    table->AddInfo(1.0f, 4294967295UL, 2, "Druck \xc3\xbc", -1, nullptr);
    table->AddInfo(-3.5f, 9UL, 7, "x", 2, "B2");
    return table;
}

// Lists of all three forms and an empty one.
std::unique_ptr<DefaultCenterValues> FullDefaultCenterValues() {
    const CenteringSelector any = CenteringSelectors::Wildcard();
    auto defaults = std::make_unique<DefaultCenterValues>();
    defaults->AddVar(5UL, {{{{3, "Heat"}, {2, "B1"}}, 2.0f}, {{{3, "Heat"}, {2, "B2"}}, 4.0f}, {{any, any}, -1.25f}});
    defaults->AddVar(6UL, {{{any, {3, "Cool \xc3\xbc"}}, 0.5f}, {{any, {2, "B1"}}, 6.0f}});
    defaults->AddVar(4294967295UL, {{{any, any}, std::numeric_limits<float>::max()}});
    defaults->AddVar(8UL, {});
    return defaults;
}

// Records under several models (two under one model, inserted out of model order), the shared
// model 0 and model -1; flags and settings at their extremes, values of different lengths with
// special floats, and the largest unique ID.
std::unique_ptr<AuxiliaryDataObject> FullAuxiliaryData() {
    auto data = std::make_unique<AuxiliaryDataObject>();
    const auto record = [](unsigned long varID, short flag, short setting, int sourceModel, int count,
                           std::initializer_list<float> values) {
        AuxiliaryData::Record made;
        made.varID = varID;
        made.flag = flag;
        made.setting = setting;
        made.sourceModel = sourceModel;
        made.count = count;
        for (const float value : values) made.values.push_back(value);
        return made;
    };
    data->Insert(3, record(41UL, 1, 7, 2, 12, {1.5f, -99.0f, -0.0f}));
    data->Insert(0, record(42UL, 0, SHRT_MIN, -1, 0, {std::numeric_limits<float>::quiet_NaN(), 2.0f, 3.0f}));
    data->Insert(3, record(4294967295UL, -1, SHRT_MAX, 3, INT_MAX, {}));
    data->Insert(-1, record(43UL, 2, -1, INT_MIN, -5, {std::numeric_limits<float>::infinity()}));
    return data;
}

// Two falling batches aligned with median ends: grid 9.5, 7, 5, 3, 1.75 from 10 down to 1.5.
std::unique_ptr<BatchAligner> FullAligner() {
    NCDataVector<float> maturity;
    for (const float value : {10.0f, 8.0f, 6.0f, 4.0f, 2.0f, 9.0f, 7.0f, 5.0f, 3.0f, 1.5f}) maturity.push_back(value);
    NCIntegralVector<int, -99> beginnings;
    beginnings.push_back(1);
    beginnings.push_back(6);
    auto aligner = std::make_unique<BatchAligner>();
    aligner->Init(&maturity, &beginnings, true);
    return aligner;
}

// A summary of three types of one excluded variable, beyond the types that the log names.
std::unique_ptr<BatchLevelComponentObject> FullBatchLevelComponent() {
    return std::make_unique<BatchLevelComponentObject>(BatchLevelComponent(
        BatchLevelComponent::eSummaryExcluded, BatchLevelComponent::eMin | BatchLevelComponent::eMean | 0x4000, 3));
}

// Every type of component, scores of one component and of all, a summary of all types, the
// average batch not used.
std::unique_ptr<CreateBatchLevelInfoObject> FullCreateBatchLevelInfo() {
    CreateBatchLevelInfo info;
    info.push_back(BatchLevelComponent(BatchLevelComponent::eDuration, -1));
    info.push_back(BatchLevelComponent(BatchLevelComponent::eEndPoint, 0, 7));
    info.push_back(BatchLevelComponent(BatchLevelComponent::eScores, 2));
    info.push_back(BatchLevelComponent());
    info.push_back(BatchLevelComponent(BatchLevelComponent::eRawData, 4));
    info.push_back(BatchLevelComponent(BatchLevelComponent::eRawDataExcluded, -1));
    info.push_back(BatchLevelComponent(BatchLevelComponent::eSummary, BatchLevelComponent::eAllSummaryTypes));
    info.push_back(BatchLevelComponent(BatchLevelComponent::eSummaryExcluded, INT_MIN, INT_MAX));
    info.SetAverageBatchForMissingPhases(false);
    return std::make_unique<CreateBatchLevelInfoObject>(info);
}
// Three datasets combined: observations inserted, batches and phases merged, ID columns joined.
std::unique_ptr<CompoundObject> FullCompound() { return std::make_unique<CompoundObject>(std::vector<int>{1, 2, 3}); }

// ---- the table -------------------------------------------------------------------------------

template <typename T>
GoldenEntry Entry(std::string name, std::function<std::unique_ptr<T>()> make) {
    GoldenEntry entry;
    entry.name = std::move(name);
    entry.make = [make]() -> std::unique_ptr<ZStreamBase> { return make(); };
    entry.makeEmpty = []() -> std::unique_ptr<ZStreamBase> { return std::make_unique<T>(); };
    entry.difference = [className = entry.name.substr(0, entry.name.find('.'))](
                           const ZStreamBase& expected, const ZStreamBase& actual) -> std::string {
        const T* e = dynamic_cast<const T*>(&expected);
        const T* a = dynamic_cast<const T*>(&actual);
        if (!e || !a) return "the objects compared are not both of class " + className;
        Differences differences;
        CompareObjects(*e, *a, differences);
        return differences.First();
    };
    return entry;
}

// The entries "<className>.full" (made by `full`) and "<className>.minimal" (default-constructed);
// `pinned` for the classes whose bytes hold process-wide state.
template <typename T>
void AddForms(std::vector<GoldenEntry>& table, const std::string& className, std::function<std::unique_ptr<T>()> full,
              bool pinned = false) {
    std::function<std::unique_ptr<T>()> minimal = [] { return std::make_unique<T>(); };
    table.push_back(Entry<T>(className + ".full", pinned ? Pinned(full) : full));
    table.push_back(Entry<T>(className + ".minimal", pinned ? Pinned(minimal) : minimal));
}

std::vector<GoldenEntry> MakeTable() {
    std::vector<GoldenEntry> table;
    AddForms<NCIntegralVector<int, -99>>(table, "NCIntegralVectorInt", FullIndexVector);
    AddForms<NCIntegralVector<unsigned long, 0>>(table, "NCIntegralVectorULong", FullIDVector);
    AddForms<BoolVector>(table, "NCIntegralVectorBool", FullBoolVector);
    AddForms<NCDataVector<float>>(table, "NCDataVector", FullDataVector);
    AddForms<NCDataMatrix<float>>(table, "NCDataMatrix", FullDataMatrix);
    AddForms<NCStringVector>(table, "NCStringVector", FullStringVector);
    AddForms<VarObsInfo>(table, "VarObsInfo", FullVarObsInfo);
    AddForms<QuantitativeVariableInfo>(table, "QuantitativeVariableInfo", FullQuantitative);
    AddForms<QualitativeVariableInfo>(table, "QualitativeVariableInfo", FullQualitative);
    AddForms<DateTimeVariableInfo>(table, "DateTimeVariableInfo", FullDateTime);
    AddForms<ObservationInfo>(table, "ObservationInfo", FullObservation);
    AddForms<NCVariables>(table, "NCVariables", FullVariables, true);
    AddForms<NCObservations>(table, "NCObservations", FullObservations, true);
    AddForms<SelectedLabel>(table, "SelectedLabel", FullSelectedLabel, true);
    AddForms<ClassInfo>(table, "ClassInfo", FullPhase);
    AddForms<BatchInfo>(table, "BatchInfo", FullBatch);
    AddForms<BatchInfoVector>(table, "BatchInfoVector", FullBatchList);
    AddForms<BatchImportSettings>(table, "BatchImportSettings", FullImportSettings);
    AddForms<ColumnConcatenateInfo>(table, "ColumnConcatenateInfo", FullConcatenation);
    AddForms<DVInfo>(table, "DVInfo", FullDVInfo);
    AddForms<RUSPDataObject>(table, "RUSPData", FullRUSPData);
    AddForms<LocalCenteringInfo>(table, "LocalCenteringInfo", FullLocalCentering);
    AddForms<AVGLocalCenteringInfo>(table, "AVGLocalCenteringInfo", FullAverages);
    AddForms<TrimdVarStruct>(table, "TrimdVarStruct", FullTrimValues);
    AddForms<DataSetObject>(table, "NCDataSet", FullDataSet);
    AddForms<DataSetInfoObject>(table, "NCDataSetInfo", FullDataSetInfo);
    AddForms<LocalCenteringData>(table, "LocalCenteringData", FullLocalCenteringData);
    AddForms<DefaultCenterValues>(table, "DefaultCenterValues", FullDefaultCenterValues);
    AddForms<AuxiliaryDataObject>(table, "AuxiliaryData", FullAuxiliaryData);
    AddForms<BatchAligner>(table, "BatchAligner", FullAligner);
    AddForms<BatchLevelComponentObject>(table, "BatchLevelComponent", FullBatchLevelComponent);
    AddForms<CreateBatchLevelInfoObject>(table, "CreateBatchLevelInfo", FullCreateBatchLevelInfo);
    AddForms<CompoundObject>(table, "CompoundDataset", FullCompound);
    return table;
}

}  // namespace

boost::shared_ptr<NCProjectBase> CompoundProject() {
    static const boost::shared_ptr<NCProjectBase> project = MakeCompoundProject();
    return project;
}

const std::vector<GoldenEntry>& GoldenEntries() {
    static const std::vector<GoldenEntry> entries = MakeTable();
    return entries;
}

const GoldenEntry* FindGoldenEntry(const std::string& name) {
    for (const GoldenEntry& entry : GoldenEntries())
        if (entry.name == name) return &entry;
    return nullptr;
}

std::string GoldenFileName(const GoldenEntry& entry) { return entry.name + ".bin"; }

std::string WriteToBytes(const ZStreamBase& object, bool* ok) {
    std::ostringstream os;
    os << object;
    if (ok) *ok = os.good();
    return os.str();
}

std::string WriteGoldenFiles(const std::string& directory) {
    for (const GoldenEntry& entry : GoldenEntries()) {
        bool written = false;
        const std::string bytes = WriteToBytes(*entry.make(), &written);
        if (!written) return entry.name + ": the object could not be written";
        const std::string path = directory + "/" + GoldenFileName(entry);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) return entry.name + ": cannot write " + path;
    }
    return "";
}

}  // namespace golden
