#pragma once
// NCSignals: process-wide notifications through which the application learns that a dataset
// changed. Handlers run synchronously on the thread that raises the signal; connecting,
// disconnecting and raising are thread-safe.

#include <boost/signals2/signal.hpp>

class NCDataSet;
class DatasetMergeInfo;

class NCSignals {
public:
    using ValueChanged =
        boost::signals2::signal<void(NCDataSet&, unsigned long obsUniqueID, unsigned long varUniqueID)>;
    using DatasetChanged = boost::signals2::signal<void(NCDataSet&)>;
    // Named apart from the accessor DatasetMerged(), which a type alias may not share.
    using DatasetMergedSignal = boost::signals2::signal<void(NCDataSet&, DatasetMergeInfo&)>;

    // One cell's value changed; carries the observation's and the variable's unique IDs.
    static ValueChanged& DataSetValueChanged();
    // Observations or variables were added to the dataset.
    static DatasetChanged& VarObsAdded();
    // Observations or variables were removed from the dataset, or its order changed.
    static DatasetChanged& VarObsDeleted();
    // Another dataset was merged into this one.
    static DatasetMergedSignal& DatasetMerged();

    static void RaiseDataSetValueChanged(NCDataSet& dataset, unsigned long obs, unsigned long var);
    static void RaiseVarObsAdded(NCDataSet& dataset);
    static void RaiseVarObsDeleted(NCDataSet& dataset);
    static void RaiseDatasetMerged(NCDataSet& dataset, DatasetMergeInfo& info);
};
