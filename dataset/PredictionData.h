#pragma once
// PredictionData: data to which a model is applied. The library gives the hooks a model calls
// neutral defaults; the application overrides what its prediction sets support.

#include <map>

#include <boost/shared_ptr.hpp>

#include "dataset/NCFullDataContainerBase.h"

class PredictionData : public NCFullDataContainerBase {
public:
    explicit PredictionData(boost::shared_ptr<NCProjectBase> project);
    ~PredictionData() override;

    // Whether variable `var` (1-based) has lagged values in this prediction set. The library never
    // calls it; it is the application's.
    virtual bool HasLaggedValues(int var) const = 0;
    // How batch `name` is to be processed for component n; default 127 (every step).
    virtual unsigned int GetBatchProcessing(const char* name, int n) const;
    // A lagged value; default the missing value -99.
    virtual float GetLaggedValue(int obs, int var, int lag) const;
    virtual float GetLaggedValue(int obs, int var) const;
    // The largest lag this prediction set provides. The library never calls it; it is the
    // application's.
    virtual int GetMaxLag() const = 0;
    // Centre per variable unique ID to use instead of the model's; default none (null).
    virtual const std::map<unsigned long, float>* GetCentering() const;

    // Batch-level prediction data for component n: empty unless the data type has
    // DataType::kObservationLevelBatch, in which case DoCreateBatchSummaryPredictionData decides.
    boost::shared_ptr<PredictionData> CreateBatchSummaryPredictionData(int n);

protected:
    // Default: empty.
    virtual boost::shared_ptr<PredictionData> DoCreateBatchSummaryPredictionData(int n);
};
