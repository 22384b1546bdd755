#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/BatchPipeline.h"
#include "app/CsvImport.h"
#include "app/InputError.h"
#include "app/ReferenceProject.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/DataTypeBits.h"
#include "interfaces/constants/NCConstants.h"
#include "tests/app/ProcessCsv.h"
#include "varobs/NCObservations.h"
#include "varobs/VariableInfo.h"

namespace {

using nc::kMissingValue;

// A project with the process CSV imported as dataset 1.
boost::shared_ptr<ReferenceProject> ImportedProcess(const testcsv::ProcessShape& shape, bool withPhases = true) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("ncds-pipeline-" + std::to_string(::getpid()) + ".csv");
    std::ofstream(path, std::ios::binary) << testcsv::ProcessCsv(shape);
    CsvImportOptions options;
    options.observationIDColumns = {"Obs"};
    options.batchColumn = "Batch";
    if (withPhases)
        options.phaseColumn = "Phase";
    else
        options.observationIDColumns.push_back("Phase");
    options.qualitativeColumns = {"Grade"};
    options.dateTimeColumns = {{"Time", "yyyy-MM-dd HH:mm:ss"}};
    const auto project = ReferenceProject::Create();
    CsvImport::Import(*project, path.string(), options);
    std::filesystem::remove(path);
    return project;
}

TEST(BatchPipelineTest, MakesTimeSmoothedMaturityAndAnAlignedDatasetPhaseByPhase) {
    testcsv::ProcessShape shape;
    const auto project = ImportedProcess(shape);
    const auto dataset = project->GetDataset(1);
    const int rows = dataset->SizeObservations();
    BatchPipelineOptions options;
    options.maturity = "conversion";
    const BatchPipelineResult result = BatchPipeline::Run(*project, dataset, options);

    EXPECT_EQ(result.batches, shape.batches);
    EXPECT_EQ(result.phases, 3);
    EXPECT_EQ(result.created,
              (std::vector<std::string>{"$Time", "$Conversion [smoothed]", "$Conversion [Rel.smoothed]"}));
    EXPECT_NE(result.smoothingReport.find("$Conversion [smoothed]"), std::string::npos);
    EXPECT_TRUE(project->GetVariables()[dataset->GetVarID(BatchPipeline::FindVariable(*dataset, "Conversion"))]->IsY());

    // "$Time" restarts at every phase of every batch; the smoothed maturity rises within each run.
    const NCDataMatrix<float> data = dataset->GetData(false, nullptr);
    const int time = BatchPipeline::FindVariable(*dataset, "$Time");
    const int smoothed = BatchPipeline::FindVariable(*dataset, "$Conversion [smoothed]");
    for (int row = 2; row <= rows; ++row) {
        const bool sameRun = std::string(dataset->GetObservationID(row, 2)) == dataset->GetObservationID(row - 1, 2) &&
                             std::string(dataset->GetObservationID(row, 3)) == dataset->GetObservationID(row - 1, 3);
        ASSERT_EQ(data(row, time), sameRun ? data(row - 1, time) + 1 : 0.0f) << row;
        if (sameRun) ASSERT_GT(data(row, smoothed), data(row - 1, smoothed)) << row;
    }

    // The aligned dataset: every batch has the same number of points in each phase, its smoothed
    // maturity rises through each phase, and it points back at dataset 1.
    ASSERT_EQ(result.alignedDataset, 2);
    ASSERT_EQ(result.gridPoints.size(), 3u);
    const auto aligned = project->GetDataset(2);
    ASSERT_TRUE(aligned);
    EXPECT_EQ(aligned->GetSourceID(), 1u);
    EXPECT_TRUE(aligned->GetDataType() & nc::DataType::kObservationLevelBatch);
    EXPECT_EQ(aligned->GetVarIDs(), dataset->GetVarIDs());
    const int perBatch = result.gridPoints[0] + result.gridPoints[1] + result.gridPoints[2];
    EXPECT_GT(result.gridPoints[0], 10);
    EXPECT_EQ(aligned->SizeObservations(), perBatch * shape.batches);
    EXPECT_EQ(result.alignedObservations, aligned->SizeObservations());
    const auto batches = aligned->GetBatchInfoVector();
    ASSERT_EQ(batches->size(), static_cast<std::size_t>(shape.batches));
    for (const auto& batch : *batches) {
        ASSERT_EQ(batch->GetNumObs(), perBatch);
        ASSERT_EQ(batch->GetClassVector()->size(), 3u);
        EXPECT_EQ((*batch->GetClassVector())[1]->GetNumObs(), result.gridPoints[1]);
    }
    EXPECT_EQ(std::string(aligned->GetObservationID(perBatch + 1, 1)), "B02:1");
    EXPECT_EQ(std::string(aligned->GetObservationID(perBatch + 1, 2)), "B02");
    const NCDataMatrix<float> values = aligned->GetData(false, nullptr);
    for (int b = 0; b < shape.batches; ++b) {
        int row = b * perBatch + 1;
        for (const int points : result.gridPoints) {
            for (int k = 1; k < points; ++k)
                ASSERT_GE(values(row + k, smoothed), values(row + k - 1, smoothed)) << "batch " << b << " row " << row;
            row += points;
        }
    }

    // Running again replaces the aligned dataset under its number and drops its old records.
    const int observationRecords = project->GetObservations().GetNumberOfVarObs();
    const BatchPipelineResult again = BatchPipeline::Run(*project, dataset, options);
    EXPECT_EQ(again.alignedDataset, 2);
    EXPECT_EQ(project->GetDatasetNumbers(), (std::vector<int>{1, 2}));
    EXPECT_EQ(project->GetObservations().GetNumberOfVarObs(), observationRecords);
    EXPECT_EQ(dataset->SizeVariables(), 8) << "the smoothed variables are made again, not added twice";
}

TEST(BatchPipelineTest, AlignsWholeBatchesWithoutPhasesAndRefusesWhatItCannotUse) {
    testcsv::ProcessShape shape;
    shape.batches = 5;
    const auto project = ImportedProcess(shape, false);
    const auto dataset = project->GetDataset(1);
    BatchPipelineOptions options;
    options.maturity = "Conversion";
    const BatchPipelineResult result = BatchPipeline::Run(*project, dataset, options);
    EXPECT_EQ(result.phases, 0);
    ASSERT_EQ(result.gridPoints.size(), 1u);
    EXPECT_EQ(project->GetDataset(result.alignedDataset)->SizeObservations(), 5 * result.gridPoints[0]);

    const auto expectInputError = [&](const std::string& maturity, const char* phrase) {
        BatchPipelineOptions bad;
        bad.maturity = maturity;
        try {
            BatchPipeline::Run(*project, dataset, bad);
            ADD_FAILURE() << maturity;
        } catch (const InputError& error) {
            EXPECT_NE(std::string(error.what()).find(phrase), std::string::npos) << error.what();
        }
    };
    expectInputError("Viscosity", "has no variable \"Viscosity\"; its variables are: Time, Conversion");
    expectInputError("Grade", "must be a measured quantitative variable");
    expectInputError("$Time", "must be a measured quantitative variable");

    // A dataset without batches.
    const auto plain = ReferenceProject::Create();
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("ncds-pipeline-plain-" + std::to_string(::getpid()) + ".csv");
    std::ofstream(path) << "x,y\n1,2\n3,4\n";
    CsvImport::Import(*plain, path.string(), CsvImportOptions());
    std::filesystem::remove(path);
    EXPECT_THROW(BatchPipeline::Run(*plain, plain->GetDataset(1), BatchPipelineOptions()), InputError);
}

}  // namespace
