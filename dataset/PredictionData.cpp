#include "dataset/PredictionData.h"

#include <utility>

#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"

using nc::kMissingValue;

PredictionData::PredictionData(boost::shared_ptr<NCProjectBase> project)
    : NCFullDataContainerBase(std::move(project)) {}

PredictionData::~PredictionData() = default;

unsigned int PredictionData::GetBatchProcessing(const char*, int) const { return 127; }

float PredictionData::GetLaggedValue(int, int, int) const { return kMissingValue; }

float PredictionData::GetLaggedValue(int, int) const { return kMissingValue; }

const std::map<unsigned long, float>* PredictionData::GetCentering() const { return nullptr; }

boost::shared_ptr<PredictionData> PredictionData::CreateBatchSummaryPredictionData(int n) {
    if ((GetDataType() & nc::DataType::kObservationLevelBatch) == 0) return boost::shared_ptr<PredictionData>();
    return DoCreateBatchSummaryPredictionData(n);
}

boost::shared_ptr<PredictionData> PredictionData::DoCreateBatchSummaryPredictionData(int) {
    return boost::shared_ptr<PredictionData>();
}
