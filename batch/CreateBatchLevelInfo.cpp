#include "batch/CreateBatchLevelInfo.h"

#include <cstdint>

#include "dataset/NCDataContainerBase.h"
#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/streamhelpers.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/ZoString.h"
#include "varobs/VariableInfo.h"

namespace {
constexpr const char* kTag = "CBLI";
constexpr int kCurrentVersion = 1;

enum SubStream : int { kComponents = 0, kAverageBatch = 1, kSubStreamCount = 2 };

// The fewest bytes a "BLC" record takes: its tag (a 4-byte length and 3 bytes), its version and
// the end of an empty directory. Bounds the stored count before the list is sized.
constexpr std::uint64_t kSmallestComponentBytes = 4 + 3 + 4 + 4;

// The summary types in the order the log lists them.
struct SummaryTypeName {
    int bit;
    const char* name;
};
constexpr SummaryTypeName kSummaryTypeNames[] = {
    {BatchLevelComponent::eMin, "min"},
    {BatchLevelComponent::eMax, "max"},
    {BatchLevelComponent::eMean, "mean"},
    {BatchLevelComponent::eMedian, "median"},
    {BatchLevelComponent::eStdDev, "std. dev."},
    {BatchLevelComponent::eRobustStdDev, "robust std. dev."},
    {BatchLevelComponent::eInterquartile, "interquartile"},
    {BatchLevelComponent::eSlope, "slope"},
};

// The primary ID of the variable at 1-based position `index` of `data`; "" when there is none.
std::string VariableName(const NCDataContainerBase* data, int index) {
    if (!data || index < 1 || index > data->SizeVariables()) return "";
    const VariableInfo* variable = data->GetVariableInfo(index);
    return variable ? variable->GetPrimaryAlias() : "";
}

// The names of the set summary types in bit order, joined with ", " and " and " before the last.
std::string SummaryTypeList(int summaryTypes) {
    std::vector<const char*> names;
    for (const SummaryTypeName& type : kSummaryTypeNames)
        if (summaryTypes & type.bit) names.push_back(type.name);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::string ComponentLine(const BatchLevelComponent& component, const NCDataContainerBase* data) {
    const int index = component.GetIndex();
    const bool all = index < 1;
    switch (component.GetType()) {
        case BatchLevelComponent::eDuration:
            return "Duration";
        case BatchLevelComponent::eEndPoint:
            return "End point";
        case BatchLevelComponent::eScores:
            return all ? "Scores (all components)" : ZoString::Format("Scores (component %d)", index);
        case BatchLevelComponent::eRawData:
            return all ? "Raw data for all variables"
                       : ZoString::Format("Raw data: variable %s", VariableName(data, index).c_str());
        case BatchLevelComponent::eRawDataExcluded:
            return all ? "Raw data for all excluded variables"
                       : ZoString::Format("Raw data: excluded variable %s", VariableName(data, index).c_str());
        case BatchLevelComponent::eSummary:
        case BatchLevelComponent::eSummaryExcluded: {
            const bool excluded = component.GetType() == BatchLevelComponent::eSummaryExcluded;
            std::string label;
            if (all)
                label = excluded ? "Summary for all excluded variables" : "Summary for all variables";
            else
                label = ZoString::Format(excluded ? "Summary: excluded variable %s" : "Summary: variable %s",
                                         VariableName(data, index).c_str());
            if (component.GetSummaryTypes() == BatchLevelComponent::eAllSummaryTypes)
                return ZoString::Format("%s: all summary types", label.c_str());
            return ZoString::Format("%s: %s", label.c_str(), SummaryTypeList(component.GetSummaryTypes()).c_str());
        }
    }
    return "";
}
}  // namespace

CreateBatchLevelInfo::CreateBatchLevelInfo() : mVersion(kCurrentVersion), mTag(kTag) {}

CreateBatchLevelInfo::CreateBatchLevelInfo(const CreateBatchLevelInfo& other) = default;

CreateBatchLevelInfo& CreateBatchLevelInfo::operator=(const CreateBatchLevelInfo& other) = default;

CreateBatchLevelInfo::~CreateBatchLevelInfo() = default;

void CreateBatchLevelInfo::push_back(const BatchLevelComponent& component) { mComponents.push_back(component); }

const BatchLevelComponent* CreateBatchLevelInfo::Find(BatchLevelComponent::EType type) const {
    for (const BatchLevelComponent& component : mComponents)
        if (component.GetType() == type) return &component;
    return nullptr;
}

bool CreateBatchLevelInfo::HasScores() const { return Find(BatchLevelComponent::eScores) != nullptr; }

bool CreateBatchLevelInfo::operator==(const CreateBatchLevelInfo& other) const {
    return mComponents == other.mComponents && mAverageBatchForMissingPhases == other.mAverageBatchForMissingPhases;
}

std::string CreateBatchLevelInfo::GetLog(boost::shared_ptr<const NCDataContainerBase> data) const {
    const char* sentence = mAverageBatchForMissingPhases ? "Average batch was used for missing phases\n "
                                                         : "Average batch was NOT used for missing phases\n ";
    std::string log;
    for (const BatchLevelComponent& component : mComponents) {
        log += ZoString::Format("* %s\n", ComponentLine(component, data.get()).c_str());
        log += sentence;
    }
    return log;
}

const char* CreateBatchLevelInfo::GetTag() { return kTag; }

int CreateBatchLevelInfo::GetCurrentVersion() { return kCurrentVersion; }

bool CreateBatchLevelInfo::WriteObject(std::ostream& os) const {
    if (!ZStreamLight::WriteMagicStringAndVersionNumber(os, kCurrentVersion, mTag)) return false;
    OutputStreamDirectory directory(os, kSubStreamCount);
    std::ostream& components = directory.GetOutput(kComponents);
    const auto count = static_cast<std::int32_t>(mComponents.size());
    WriteFourBytes(&count, 1, components);
    for (const BatchLevelComponent& component : mComponents) component.WriteObject(components);
    WriteToStream(mAverageBatchForMissingPhases, directory.GetOutput(kAverageBatch));
    directory.Close();
    return os.good();
}

bool CreateBatchLevelInfo::ReadObject(std::istream& is) {
    int version = 0;
    if (!ZStreamLight::CheckMagicStringAndVersionNumber(is, version, mTag)) return false;
    mVersion = version;
    if (version != kCurrentVersion) return false;
    InputStreamDirectory directory(is);
    std::istream* components = directory.GetInput(kComponents);
    const bool componentsRead = components && ReadComponents(*components);
    if (!ReadFromStreamDir(mAverageBatchForMissingPhases, directory, kAverageBatch, false))
        mAverageBatchForMissingPhases = true;
    directory.Close();
    return componentsRead && !is.fail();
}

bool CreateBatchLevelInfo::ReadComponents(std::istream& is) {
    std::int32_t count = 0;
    if (!ReadFourBytes(&count, 1, is) || count < 0) return false;
    // A sub-stream always knows its size, so the count is checked before the list is sized.
    if (!CanStillRead(is, static_cast<std::uint64_t>(count) * kSmallestComponentBytes)) return false;
    mComponents.assign(static_cast<std::size_t>(count), BatchLevelComponent());
    for (BatchLevelComponent& component : mComponents)
        if (!component.ReadObject(is)) return false;
    return true;
}
