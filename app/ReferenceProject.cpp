#include "app/ReferenceProject.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <utility>

#include <boost/make_shared.hpp>

#include "app/ProjectFileError.h"
#include "app/ProjectFileStorage.h"
#include "batchinfo/RUSPData.h"
#include "centering/LocalCenteringData.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCDataSetInfo.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/utility/Exception.h"

using nc::kNoUniqueID;

ReferenceProject::ReferenceProject() : mLocalCentering(boost::make_shared<LocalCenteringData>()) {}

ReferenceProject::~ReferenceProject() = default;

boost::shared_ptr<ReferenceProject> ReferenceProject::Create() {
    return boost::shared_ptr<ReferenceProject>(new ReferenceProject());
}

unsigned long ReferenceProject::GetNewUniqueID(int) {
    if (mNextUniqueID >= kNoUniqueID) throw Exception("The project has no unique IDs left.");
    return mNextUniqueID++;
}

bool ReferenceProject::ConfirmDatasetChange(int datasetNumber, const NCIntegralVector<unsigned long, 0>* variableIDs) {
    if (mRecordConsentRequests) {
        ConsentRequest request{datasetNumber, variableIDs != nullptr, {}};
        if (variableIDs) request.variableIDs.assign(variableIDs->begin(), variableIDs->end());
        mConsentRequests.push_back(std::move(request));
    }
    return mConsentPolicy ? mConsentPolicy(datasetNumber, variableIDs) : true;
}

boost::shared_ptr<NCDataSet> ReferenceProject::GetDataset(int number) const {
    const auto found = mDatasets.find(number);
    if (found != mDatasets.end()) return found->second;
    return mUnloadedInfos.count(number) ? LoadDataset(number) : boost::shared_ptr<NCDataSet>();
}

boost::shared_ptr<NCDataSet> ReferenceProject::LoadDataset(int number) const {
    const std::string name = GetDatasetStreamName(number);
    const std::unique_ptr<std::istream> is(mStorage.OpenInputStream(name.c_str()));
    if (!is) return boost::shared_ptr<NCDataSet>();
    // The library asks for datasets through a const project; the dataset it is handed belongs to
    // the project all the same.
    const auto self = boost::const_pointer_cast<NCProjectBase>(shared_from_this());
    const boost::shared_ptr<NCDataSet> dataset = NCDataSet::Create(self, number);
    *is >> *dataset;
    if (is->fail()) {
        const std::string where = mStorage.GetBase() && !mStorage.FindInMemory(name)
                                      ? "the project file " + mStorage.GetBase()->GetPath()
                                      : std::string("the project's storage");
        throw ProjectFileError(ProjectFileError::Kind::DamagedStream, "The stream \"" + name + "\" of " + where +
                                                                          " is damaged: dataset " +
                                                                          std::to_string(number) + " cannot be read.");
    }
    mUnloadedInfos.erase(number);
    mDatasets[number] = dataset;
    return dataset;
}

const BatchImportSettings& ReferenceProject::GetBatchImportSettings(int) const { return mBatchImportSettings; }

void ReferenceProject::SetBatchImportSettings(const BatchImportSettings& settings) { mBatchImportSettings = settings; }

std::string ReferenceProject::GetStreamName(int kind, int number) const {
    return "stream-" + std::to_string(kind) + "-" + std::to_string(number);
}

void ReferenceProject::SaveDataset(boost::shared_ptr<NCDataSet const> dataset) {
    if (dataset) mSaved.push_back(dataset->GetNumber());
}

boost::shared_ptr<NCDataSetInfo> ReferenceProject::GetDataSetInfo(int number) const {
    // Not through GetDataset: describing an unloaded dataset must not load it.
    const auto loaded = mDatasets.find(number);
    if (loaded != mDatasets.end()) return boost::make_shared<NCDataSetInfo>(loaded->second);
    const auto found = mUnloadedInfos.find(number);
    return found == mUnloadedInfos.end() ? boost::shared_ptr<NCDataSetInfo>() : found->second;
}

void ReferenceProject::AddDataset(boost::shared_ptr<NCDataSet> dataset) {
    if (!dataset) return;
    mUnloadedInfos.erase(dataset->GetNumber());
    mDatasets[dataset->GetNumber()] = std::move(dataset);
}

void ReferenceProject::AddUnloadedDataset(boost::shared_ptr<NCDataSetInfo> info) {
    if (!info) return;
    mDatasets.erase(info->GetNumber());
    mUnloadedInfos[info->GetNumber()] = std::move(info);
}

std::vector<int> ReferenceProject::GetLoadedDatasetNumbers() const {
    std::vector<int> numbers;
    for (const auto& entry : mDatasets) numbers.push_back(entry.first);
    return numbers;
}

std::vector<int> ReferenceProject::GetUnloadedDatasetNumbers() const {
    std::vector<int> numbers;
    for (const auto& entry : mUnloadedInfos) numbers.push_back(entry.first);
    return numbers;
}

std::string ReferenceProject::GetDatasetStreamName(int number) { return "dataset-" + std::to_string(number); }

void ReferenceProject::RemoveDataset(int number) {
    mDatasets.erase(number);
    mUnloadedInfos.erase(number);
}

bool ReferenceProject::UnloadDataset(int number) {
    const boost::shared_ptr<NCDataSet> dataset = GetDataset(number);
    if (!dataset) return false;
    dataset->GetBatchInfoVector();

    auto record = std::make_unique<RUSPData>(*this);
    const std::string name = GetStreamName(nc::StreamNameKind::kStoredBatchLists, 0);
    const std::unique_ptr<std::istream> is(mStorage.OpenInputStream(name.c_str()));
    // An unreadable record is replaced by one holding this dataset only.
    if (is && !record->ReadObject(*is)) record = std::make_unique<RUSPData>(*this);
    record->Add(dataset);

    std::ostringstream variableIDs;
    variableIDs << dataset->GetVarIDs();
    if (!variableIDs) return false;
    // A project resting on a file keeps the section; the file's copy does when it is current.
    std::string section;
    const std::string sectionName = GetDatasetStreamName(number);
    const bool keepSection = mStorage.GetBase() && (dataset->IsDirty() || !mStorage.Contains(sectionName) ||
                                                    mStorage.FindInMemory(sectionName));
    if (keepSection) {
        std::ostringstream os;
        os << *dataset;
        if (!os) return false;
        section = os.str();
    }
    if (!StoreBatchLists(*record)) return false;
    mStorage.Put(GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, number), variableIDs.str());
    if (keepSection) mStorage.Put(sectionName, std::move(section));
    mUnloadedInfos[number] = boost::make_shared<NCDataSetInfo>(dataset);
    mDatasets.erase(number);
    return true;
}

bool ReferenceProject::StoreBatchLists(const RUSPData& record) {
    std::ostringstream os;
    if (!record.WriteObject(os)) return false;
    mStorage.Put(GetStreamName(nc::StreamNameKind::kStoredBatchLists, 0), os.str());
    return true;
}

boost::shared_ptr<NCDataSet> ReferenceProject::CreateDataset(int number) {
    const auto dataset = NCDataSet::Create(shared_from_this(), number);
    AddDataset(dataset);
    return dataset;
}

std::vector<int> ReferenceProject::GetDatasetNumbers() const {
    std::vector<int> numbers;
    for (const auto& entry : mDatasets) numbers.push_back(entry.first);
    for (const auto& entry : mUnloadedInfos) numbers.push_back(entry.first);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void ReferenceProject::SetConsentPolicy(ConsentPolicy policy) { mConsentPolicy = std::move(policy); }
