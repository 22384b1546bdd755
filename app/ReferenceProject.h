#pragma once
// ReferenceProject: the reference application's project. It holds its datasets by number, the
// variable and observation collections, an in-memory storage, the batch import settings, the
// local centering table and a few settings that tests and the tool choose (model count, the
// batch question's answer, the consent policy). Unique IDs are handed out from 1 upward.
//
// ConfirmDatasetChange records every call it receives (unless told not to) and then asks the consent policy, which
// allows every change until another one is set.
//
// A project opened from a file (ProjectFile) holds its datasets unloaded at first: only their
// descriptions are read, and GetDataset reads a dataset from the storage (the stream named
// GetDatasetStreamName) the first time it is asked for.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "app/MemoryStorage.h"
#include "batchinfo/BatchImportSettings.h"
#include "dataset/NCProjectBase.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"

class RUSPData;

class ReferenceProject : public NCProjectBase {
public:
    using ConsentPolicy = std::function<bool(int datasetNumber, const NCIntegralVector<unsigned long, 0>* variableIDs)>;

    // One call of ConfirmDatasetChange as received.
    struct ConsentRequest {
        int datasetNumber;
        bool hasVariableList;                    // false: observations or the whole dataset
        std::vector<unsigned long> variableIDs;  // the list's IDs when there was one
    };

    // A new, empty project.
    static boost::shared_ptr<ReferenceProject> Create();
    ~ReferenceProject() override;

    // ---- the project interface ----
    unsigned long GetNewUniqueID(int kind) override;
    bool ConfirmDatasetChange(int datasetNumber, const NCIntegralVector<unsigned long, 0>* variableIDs) override;
    // The loaded dataset `number`; for an unloaded one whose section the storage holds, the
    // dataset read from it, which is loaded from then on; empty otherwise. Throws
    // ProjectFileError: DamagedStream when that section cannot be read, Io when its file cannot.
    boost::shared_ptr<NCDataSet> GetDataset(int number) const override;
    const ProjectStorage& GetStorage() const override { return mStorage; }
    const NCVariables& GetVariables() const override { return mVariables; }
    NCVariables& GetVariables() override { return mVariables; }
    const NCObservations& GetObservations() const override { return mObservations; }
    NCObservations& GetObservations() override { return mObservations; }
    int GetNumberOfModels() const override { return mNumberOfModels; }
    const BatchImportSettings& GetBatchImportSettings(int kind) const override;
    void SetBatchImportSettings(const BatchImportSettings& settings) override;
    // "stream-<kind>-<number>".
    std::string GetStreamName(int kind, int number) const override;
    bool AskBatchQuestion() const override { return mBatchAnswer; }
    // Records the dataset's number; nothing is written yet.
    void SaveDataset(boost::shared_ptr<NCDataSet const> dataset) override;
    // The project's one table of local centres, empty until the application fills it; the same
    // object on every call.
    boost::shared_ptr<LocalCenteringData> GetLocalCenteringData() const override { return mLocalCentering; }
    // A new description of the loaded dataset `number`; for an unloaded one, the description
    // kept when it was unloaded (the same object on every call; the dataset is not loaded); empty
    // when there is neither.
    boost::shared_ptr<NCDataSetInfo> GetDataSetInfo(int number) const override;

    // ---- the application's side ----
    // Holds the dataset under its number, replacing one of that number (loaded or unloaded).
    void AddDataset(boost::shared_ptr<NCDataSet> dataset);
    // Forgets dataset `number`, loaded or unloaded.
    void RemoveDataset(int number);
    // Lets go of dataset `number` the way an application unloads one: its variable IDs are kept
    // under GetStreamName(StreamNameKind::kDatasetVariableIDs, number), and its batch list
    // (brought up to date first) and observation IDs in the project's stored batch lists
    // (StreamNameKind::kStoredBatchLists), where NCDataSet::GetMutableBatchInfoVector finds them,
    // and its description is kept for GetDataSetInfo. A project whose storage rests on a file
    // also keeps the dataset's section (unless the file holds it unchanged), so that GetDataset
    // loads it again and a save keeps it; without a file the data is let go. False when the
    // project does not hold the dataset or a stream could not be written; the dataset is then kept.
    bool UnloadDataset(int number);
    // Replaces the project's stored batch lists by `record`; false when it could not be written.
    bool StoreBatchLists(const RUSPData& record);
    // A new empty dataset of this project, held under `number`.
    boost::shared_ptr<NCDataSet> CreateDataset(int number);
    // The numbers of the datasets the project holds, loaded or unloaded, ascending.
    std::vector<int> GetDatasetNumbers() const;

    // Holds `info` as the description of an unloaded dataset of its number, replacing a dataset
    // of that number (loaded or unloaded); GetDataset loads the dataset from the storage. Null
    // does nothing.
    void AddUnloadedDataset(boost::shared_ptr<NCDataSetInfo> info);
    // Numbers of the loaded datasets, ascending.
    std::vector<int> GetLoadedDatasetNumbers() const;
    // Numbers of the datasets held only by their description, ascending.
    std::vector<int> GetUnloadedDatasetNumbers() const;
    // The name of the stream in the storage that holds dataset `number`'s section while the
    // dataset is not loaded: "dataset-<number>".
    static std::string GetDatasetStreamName(int number);

    MemoryStorage& GetMemoryStorage() { return mStorage; }
    // The unique ID that GetNewUniqueID hands out next; a project read from a file continues
    // where the saved one stopped.
    unsigned long GetNextUniqueID() const { return mNextUniqueID; }
    void SetNextUniqueID(unsigned long next) { mNextUniqueID = next; }
    void SetNumberOfModels(int count) { mNumberOfModels = count; }
    void SetBatchAnswer(bool answer) { mBatchAnswer = answer; }
    // Null restores the default, which allows every change.
    void SetConsentPolicy(ConsentPolicy policy);
    const std::vector<ConsentRequest>& GetConsentRequests() const { return mConsentRequests; }
    // Whether ConfirmDatasetChange keeps its calls (default true); off for long runs.
    void SetRecordConsentRequests(bool record) { mRecordConsentRequests = record; }
    void ClearConsentRequests() { mConsentRequests.clear(); }
    // Numbers of the datasets handed to SaveDataset, in call order.
    const std::vector<int>& GetSavedDatasets() const { return mSaved; }

private:
    ReferenceProject();

    // Reads dataset `number` from the storage and holds it as loaded; empty when the storage has
    // no section for it.
    boost::shared_ptr<NCDataSet> LoadDataset(int number) const;

    // Both change when GetDataset loads a dataset.
    mutable std::map<int, boost::shared_ptr<NCDataSet>> mDatasets;
    // Descriptions of the unloaded datasets.
    mutable std::map<int, boost::shared_ptr<NCDataSetInfo>> mUnloadedInfos;
    NCVariables mVariables;
    NCObservations mObservations;
    MemoryStorage mStorage;
    BatchImportSettings mBatchImportSettings;
    boost::shared_ptr<LocalCenteringData> mLocalCentering;
    unsigned long mNextUniqueID = 1;
    int mNumberOfModels = 0;
    bool mBatchAnswer = false;
    ConsentPolicy mConsentPolicy;
    std::vector<ConsentRequest> mConsentRequests;
    bool mRecordConsentRequests = true;
    std::vector<int> mSaved;
};
