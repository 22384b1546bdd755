#include "interfaces/notification/NCSignals.h"

NCSignals::ValueChanged& NCSignals::DataSetValueChanged() {
    static ValueChanged signal;
    return signal;
}

NCSignals::DatasetChanged& NCSignals::VarObsAdded() {
    static DatasetChanged signal;
    return signal;
}

NCSignals::DatasetChanged& NCSignals::VarObsDeleted() {
    static DatasetChanged signal;
    return signal;
}

NCSignals::DatasetMergedSignal& NCSignals::DatasetMerged() {
    static DatasetMergedSignal signal;
    return signal;
}

void NCSignals::RaiseDataSetValueChanged(NCDataSet& dataset, unsigned long obs, unsigned long var) {
    DataSetValueChanged()(dataset, obs, var);
}

void NCSignals::RaiseVarObsAdded(NCDataSet& dataset) { VarObsAdded()(dataset); }

void NCSignals::RaiseVarObsDeleted(NCDataSet& dataset) { VarObsDeleted()(dataset); }

void NCSignals::RaiseDatasetMerged(NCDataSet& dataset, DatasetMergeInfo& info) { DatasetMerged()(dataset, info); }
