#pragma once
// DatasetMergeInfo: what the merged signal (NCSignals::DatasetMerged) tells about a merge: the
// number and the former name of the dataset that took in another, the other dataset's name and
// the project of both. The project pointer is valid while the handlers run.

#include <string>

class NCProjectBase;

class DatasetMergeInfo {
public:
    int datasetNumber = 0;
    std::string datasetName;        // before the merge
    std::string mergedDatasetName;  // of the dataset taken in
    NCProjectBase* project = nullptr;
};
