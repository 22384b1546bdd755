#pragma once
// DatasetComponents: the parts of a dataset while an import builds it, before the dataset exists:
// the data matrix (one row per observation, in import order), the records of its variables, batch
// condition variables and observations, the import settings, the batch list and the phase list.
// A plain structure that owns everything it points to; a null part is one not made yet.
//
// Two lists and two flags belong to the importing application; this library creates and releases
// them and reads none of them:
// - `skippedVariables` and `skippedObservations`: records of import columns and rows that were not
//   taken into `data` (unreadable, or left out by the user), kept for the import's report;
// - `observationLevel` (true): the rows are observations of batches; false when each row is a
//   whole batch (a batch-level dataset);
// - `appendToExisting` (false): the parts are to be added to an existing dataset rather than make
//   a new one.

#include <memory>
#include <vector>

#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/utility/CString.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VariableInfo.h"

struct DatasetComponents {
    using VariableList = std::vector<std::unique_ptr<VariableInfo>>;
    using ObservationList = std::vector<std::unique_ptr<ObservationInfo>>;

    // Every part null, the name empty, the flags at their defaults.
    DatasetComponents() = default;
    DatasetComponents(const DatasetComponents&) = delete;
    DatasetComponents& operator=(const DatasetComponents&) = delete;
    // Releases every part and the records in its lists.
    ~DatasetComponents() = default;

    // Makes an empty matrix, the five lists empty and new default import settings, releasing what
    // they held before; the name, the batch and phase lists and the flags stay as they are.
    void Allocate() {
        data = std::make_unique<NCDataMatrix<float>>();
        variables = std::make_unique<VariableList>();
        batchConditionVariables = std::make_unique<VariableList>();
        observations = std::make_unique<ObservationList>();
        skippedVariables = std::make_unique<VariableList>();
        skippedObservations = std::make_unique<ObservationList>();
        settings = std::make_unique<BatchImportSettings>();
    }
    // Each deletes the records of one list and the list itself (it becomes null).
    void DeleteVariables() { variables.reset(); }
    void DeleteObservations() { observations.reset(); }
    void DeleteBatchConditionVariables() { batchConditionVariables.reset(); }

    std::unique_ptr<NCDataMatrix<float>> data;
    std::unique_ptr<VariableList> variables;
    std::unique_ptr<VariableList> batchConditionVariables;
    // One record per row of `data`, in the same order.
    std::unique_ptr<ObservationList> observations;
    std::unique_ptr<VariableList> skippedVariables;
    std::unique_ptr<ObservationList> skippedObservations;
    CString name;
    // The alias columns of the batch ID and the phase ID of the observation records.
    std::unique_ptr<BatchImportSettings> settings;
    std::unique_ptr<BatchInfoVector> batches;
    // The dataset's phase list.
    std::unique_ptr<ClassInfoVector> phases;
    bool observationLevel = true;
    bool appendToExisting = false;
};
