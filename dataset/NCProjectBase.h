#pragma once
// NCProjectBase: the application's project as the library sees it. The application derives its
// project from it and owns there the datasets, the two record collections, the storage, the
// models and the project-wide settings; the library reaches them only through the operations
// below. A project is always held by boost::shared_ptr<NCProjectBase>; datasets keep weak
// references to it. A project is never copied.

#include <string>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>

#include "dataset/UniqueIDFactory.h"
#include "interfaces/containers/NCIntegralVector.h"

class NCDataSet;
class NCDataSetInfo;
class NCVariables;
class NCObservations;
class ProjectStorage;
class BatchImportSettings;
class LocalCenteringData;

class NCProjectBase : public UniqueIDFactory, public boost::enable_shared_from_this<NCProjectBase> {
public:
    NCProjectBase() = default;

    // Asked before values or structure of dataset `datasetNumber` change. `variableIDs` holds the
    // unique IDs of the affected variables, or is null when observations or the whole dataset are
    // affected. True lets the change go ahead; false vetoes it.
    virtual bool ConfirmDatasetChange(int datasetNumber, const NCIntegralVector<unsigned long, 0>* variableIDs) = 0;

    // The loaded dataset with that number; empty when the project does not hold it.
    virtual boost::shared_ptr<NCDataSet> GetDataset(int number) const = 0;

    // The project's stored streams.
    virtual const ProjectStorage& GetStorage() const = 0;

    // The project-wide variable and observation collections.
    virtual const NCVariables& GetVariables() const = 0;
    virtual NCVariables& GetVariables() = 0;
    virtual const NCObservations& GetObservations() const = 0;
    virtual NCObservations& GetObservations() = 0;

    // The number of models; questions to the user depend on whether it is at least 1.
    virtual int GetNumberOfModels() const = 0;

    // The project's batch import settings (the library passes kind 1); callers copy them.
    virtual const BatchImportSettings& GetBatchImportSettings(int kind) const = 0;
    // Replaces the project's batch import settings by a copy of `settings`.
    virtual void SetBatchImportSettings(const BatchImportSettings& settings) = 0;

    // The name under which the storage keeps a stream; kind 26 with a dataset number names that
    // dataset's stored variable-ID list.
    virtual std::string GetStreamName(int kind, int number) const = 0;

    // A yes or no of the project's: yes lets compound datasets and local centering group
    // observations by batch.
    virtual bool AskBatchQuestion() const = 0;

    // Stores the dataset wherever and however the project keeps datasets.
    virtual void SaveDataset(boost::shared_ptr<NCDataSet const> dataset) = 0;

    // The project's local centering data; empty when it has none.
    virtual boost::shared_ptr<LocalCenteringData> GetLocalCenteringData() const = 0;

    // The description of dataset `number`, loaded or not; empty when the project has no such dataset.
    virtual boost::shared_ptr<NCDataSetInfo> GetDataSetInfo(int number) const = 0;

protected:
    virtual ~NCProjectBase() = default;

private:
    NCProjectBase(const NCProjectBase&);
    NCProjectBase& operator=(const NCProjectBase&);
};
