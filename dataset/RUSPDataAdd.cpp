// RUSPData::Add reads a dataset; it is defined here, in the dataset's layer, so that the batch
// records below it need no dataset.

#include "batchinfo/RUSPData.h"
#include "dataset/NCDataSet.h"

void RUSPData::Add(boost::shared_ptr<const NCDataSet> ds) {
    if (!ds) return;
    const int number = ds->GetNumber();
    Set(number, NCDataSet::GetMutableBatchInfoVector(mProject, number), ds->GetObsIDs());
}
