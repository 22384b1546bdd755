#include "app/ReferenceProject.h"

#include <algorithm>
#include <memory>
#include <sstream>
#include <utility>

#include <boost/make_shared.hpp>

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
    return found == mDatasets.end() ? boost::shared_ptr<NCDataSet>() : found->second;
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
    if (const boost::shared_ptr<NCDataSet> dataset = GetDataset(number))
        return boost::make_shared<NCDataSetInfo>(dataset);
    const auto found = mUnloadedInfos.find(number);
    return found == mUnloadedInfos.end() ? boost::shared_ptr<NCDataSetInfo>() : found->second;
}

void ReferenceProject::AddDataset(boost::shared_ptr<NCDataSet> dataset) {
    if (!dataset) return;
    mUnloadedInfos.erase(dataset->GetNumber());
    mDatasets[dataset->GetNumber()] = std::move(dataset);
}

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
    if (!variableIDs || !StoreBatchLists(*record)) return false;
    mStorage.Put(GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, number), variableIDs.str());
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
