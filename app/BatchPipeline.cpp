#include "app/BatchPipeline.h"

#include <memory>

#include "app/BatchAlignment.h"
#include "app/InputError.h"
#include "app/OperationCancelled.h"
#include "app/ReferenceProject.h"
#include "batch/Smooth.h"
#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/BatchLookups.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/utility/CString.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/VariableInfo.h"

namespace {

void Step(NCProgress& progress, int step) {
    if (progress.SetValue(step)) throw OperationCancelled();
}

void DeriveBatchesAndPhases(ReferenceProject& project, NCDataSet& dataset, BatchPipelineResult& result) {
    NCObservations& observations = project.GetObservations();
    if (!observations.HasBatches())
        throw InputError("dataset " + std::to_string(dataset.GetNumber()) +
                         " has no batch ID column; import the CSV with --batch naming it");
    const NCIntegralVector<unsigned long, 0> obsIDs = dataset.GetObsIDs();
    if (dataset.GetBatchInfoVector()) {
        dataset.SetBatchInfoVecDirty();
    } else {
        const std::unique_ptr<BatchInfoVector> batches(BatchUtilities::CreateBatchInfoVector(&observations, &obsIDs));
        dataset.SetBatchInfoVector(batches.get());
    }
    const auto batches = dataset.GetBatchInfoVector();
    result.batches = batches ? static_cast<int>(batches->size()) : 0;

    const std::unique_ptr<ClassInfoVector> phases(BatchUtilities::CreatePhaseInfoVector(&observations, &obsIDs));
    if (!phases) return;
    dataset.SetPhaseInfoVector(phases.get());
    result.phases = static_cast<int>(phases->size());
    for (const unsigned long id : obsIDs)
        if (ObservationInfo* record = observations[id]) {
            const CString phase = record->GetPhaseName(observations);
            record->SetDefaultClass(BatchUtilities::FindPhaseIndex(phases.get(), phase, false) + 1);
        }
    observations.SetIsDirty(true);
}

}  // namespace

namespace BatchPipeline {

int FindAlignedDataset(const ReferenceProject& project, int source) {
    int found = 0;
    for (const int number : project.GetDatasetNumbers()) {
        const boost::shared_ptr<NCDataSet> dataset = project.GetDataset(number);
        if (dataset && number != source && dataset->GetSourceID() == static_cast<unsigned long>(source)) found = number;
    }
    return found;
}

int FindVariable(const NCDataSet& dataset, const std::string& name) {
    std::string names;
    for (int var = 1; var <= dataset.SizeVariables(); ++var) {
        const char* id = dataset.GetVariableID(var, 1);
        if (CompareNoCase(id, name.c_str()) == 0) return var;
        names += (names.empty() ? "" : ", ") + std::string(id);
    }
    throw InputError("dataset " + std::to_string(dataset.GetNumber()) + " has no variable \"" + name +
                     "\"; its variables are: " + names);
}

BatchPipelineResult Run(ReferenceProject& project, const boost::shared_ptr<NCDataSet>& dataset,
                        const BatchPipelineOptions& options) {
    BatchPipelineResult result;
    NCProgress progress("Batch processing", 0, 4);
    DeriveBatchesAndPhases(project, *dataset, result);
    Step(progress, 1);

    BatchImportSettings settings(project.GetBatchImportSettings(1));
    if (Smooth::CreateAndInsert_DollarTime(dataset, &settings)) result.created.push_back("$Time");
    project.SetBatchImportSettings(settings);
    Step(progress, 2);
    if (options.maturity.empty()) return result;

    const int column = FindVariable(*dataset, options.maturity);
    const unsigned long maturityID = dataset->GetVarID(column);
    VariableInfo* maturity = project.GetVariables()[maturityID];
    if (!maturity || maturity->IsQualitative() || maturity->AsDateTimeVariableInfo() ||
        Smooth::GetVariableTreatment(maturity->GetPrimaryAlias()) != Smooth::eNotGenerated ||
        *maturity->GetPrimaryAlias() == '$')
        throw InputError("the maturity \"" + options.maturity +
                         "\" must be a measured quantitative variable, not a qualitative, date/time or generated one");
    if (!maturity->IsY()) maturity->SetVariableBlock(eBlockY);
    project.GetVariables().SetIsDirty(true);
    Smooth::RemoveSmoothedVars(dataset, maturity, &settings, false);
    std::vector<CString> names;
    Smooth::CreateAndInsertSmoothedYs(dataset, &settings, maturityID, &names);
    project.SetBatchImportSettings(settings);
    for (const CString& name : names) result.created.push_back(name.GetString());
    result.smoothingReport = Smooth::FormatSmoothedVarsMessage(names, true);
    Step(progress, 3);
    if (!options.align) return result;

    const std::string smoothed = "$" + std::string(maturity->GetPrimaryAlias()) + " [smoothed]";
    const int smoothedColumn = FindVariable(*dataset, smoothed);
    int number = FindAlignedDataset(project, dataset->GetNumber());
    const boost::shared_ptr<NCDataSet> previous = number > 0 ? project.GetDataset(number) : nullptr;
    if (number == 0) number = project.GetDatasetNumbers().back() + 1;
    AlignedDataset aligned = BatchAlignment::Align(project, *dataset, smoothedColumn, number,
                                                   std::string(dataset->GetName()) + " (aligned)");
    if (previous) {
        // The earlier aligned dataset's observations belong to it alone.
        NCIntegralVector<unsigned long, 0> old = previous->GetObsIDs();
        project.RemoveDataset(number);
        project.GetObservations().DeleteObsInfos(old);
    }
    project.AddDataset(aligned.dataset);
    result.alignedDataset = number;
    result.alignedObservations = aligned.dataset->SizeObservations();
    result.gridPoints = aligned.gridPoints;
    Step(progress, 4);
    return result;
}

}  // namespace BatchPipeline
