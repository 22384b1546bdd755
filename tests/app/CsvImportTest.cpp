#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/CsvExport.h"
#include "app/CsvImport.h"
#include "app/CsvReader.h"
#include "app/ReferenceProject.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/BatchInfo.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfo.h"
#include "batchinfo/ClassInfoVector.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/NCConstants.h"
#include "tests/app/ProcessCsv.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/NCObservations.h"
#include "varobs/NCVariables.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"

namespace {

using nc::kMissingValue;

class CsvFiles : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder =
            std::filesystem::temp_directory_path() / ("ncds-csv-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(mFolder);
    }
    void TearDown() override { std::filesystem::remove_all(mFolder); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (mFolder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path mFolder;
};

std::vector<std::vector<std::string>> ReadAll(CsvReader& reader, std::vector<long long>* lines = nullptr) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string_view> cells;
    while (reader.ReadRecord(cells)) {
        records.emplace_back(cells.begin(), cells.end());
        if (lines) lines->push_back(reader.GetLine());
    }
    return records;
}

TEST_F(CsvFiles, ReaderSplitsQuotedCellsLineBreaksAndBlankLines) {
    const std::string path = Write("quoted.csv",
                                   "\xEF\xBB\xBF"
                                   "a, b ,c\r\n"
                                   "\r\n"
                                   "\"x, \"\"y\"\"\",  2 ,\"two\nlines\"\n"
                                   "   \n"
                                   "last,,\n"
                                   " \" kept \" ,4,5");
    CsvReader reader(path);
    std::vector<long long> lines;
    const auto records = ReadAll(reader, &lines);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0], (std::vector<std::string>{"a", "b", "c"})) << "byte order mark, blanks and CR dropped";
    EXPECT_EQ(records[1], (std::vector<std::string>{"x, \"y\"", "2", "two\nlines"}));
    EXPECT_EQ(records[2], (std::vector<std::string>{"last", "", ""})) << "a trailing delimiter ends in an empty cell";
    EXPECT_EQ(records[3], (std::vector<std::string>{" kept ", "4", "5"})) << "no line break at the end";
    EXPECT_EQ(lines, (std::vector<long long>{1, 3, 6, 7})) << "lines count blank lines and breaks inside quotes";
    EXPECT_EQ(reader.GetBytesConsumed(), reader.GetFileSize());

    // Records longer than the reader's first buffer, and many buffers' worth of rows.
    std::string big = "id;text\n";
    const std::string longCell(3 << 20, 'q');
    big += "0;\"" + longCell + "\"\n";
    for (int i = 1; i <= 100000; ++i) big += std::to_string(i) + ";v" + std::to_string(i % 97) + "\n";
    CsvReader semicolons(Write("big.csv", big), ';');
    const auto rows = ReadAll(semicolons);
    ASSERT_EQ(rows.size(), 100002u);
    EXPECT_EQ(rows[1][1], longCell);
    long long sum = 0;
    for (std::size_t r = 2; r < rows.size(); ++r) {
        ASSERT_EQ(rows[r].size(), 2u);
        ASSERT_EQ(rows[r][1], "v" + std::to_string(std::stoi(rows[r][0]) % 97));
        sum += std::stoll(rows[r][0]);
    }
    EXPECT_EQ(sum, 100000LL * 100001 / 2);
}

TEST_F(CsvFiles, ReaderNamesTheLineAndColumnOfBadQuoting) {
    const auto failure = [this](const std::string& text) -> CsvError {
        CsvReader reader(Write("bad.csv", text));
        try {
            ReadAll(reader);
        } catch (const CsvError& error) {
            return error;
        }
        ADD_FAILURE() << "no error for " << text;
        return CsvError("", 0, 0, "", "");
    };
    const CsvError after = failure("a,b\n1,\"2\"x\n");
    EXPECT_EQ(after.GetLine(), 2);
    EXPECT_EQ(after.GetColumn(), 2);
    EXPECT_NE(std::string(after.what()).find("bad.csv, line 2, column 2"), std::string::npos) << after.what();
    const CsvError inside = failure("a,b\n1,2\n3,4\"5\n");
    EXPECT_EQ(inside.GetLine(), 3);
    EXPECT_EQ(inside.GetColumn(), 2);
    const CsvError open = failure("a,b\n1,2\n\"3,4\n5,6\n");
    EXPECT_EQ(open.GetLine(), 3);
    EXPECT_NE(open.GetProblem().find("not closed"), std::string::npos);
    EXPECT_THROW(CsvReader((mFolder / "missing.csv").string()), CsvError);
    EXPECT_THROW(CsvReader(mFolder.string()), CsvError);
}

// Counts of what an import may change, to see that a failed one changed nothing.
struct ProjectState {
    int variables;
    int observations;
    std::vector<int> datasets;
    int batchID;
    bool operator==(const ProjectState& other) const {
        return variables == other.variables && observations == other.observations && datasets == other.datasets &&
               batchID == other.batchID;
    }
};

ProjectState StateOf(const ReferenceProject& project) {
    return {project.GetVariables().GetNumberOfVarObs(), project.GetObservations().GetNumberOfVarObs(),
            project.GetDatasetNumbers(), project.GetBatchImportSettings(1).GetBatchID()};
}

TEST_F(CsvFiles, ImportsKindsBatchesPhasesAndMissingCells) {
    const std::string path = Write("small.csv",
                                   "Obs,Batch,Phase,Time,Temp,Grade,Note\n"
                                   "o1,B1,Heat,2026-03-02 08:00:00,20.5,low,1e3\n"
                                   "o2,B1,Heat,2026-03-02 08:15:00,,HIGH,-2.5E-1\n"
                                   "o3,B1,hold,2026-03-02 08:30:00,+63,, 7 \n"
                                   "\n"
                                   "o4,B2,Hold,,79.8,high,\n"
                                   "o5,B2,Cool,2026-03-03 09:00:00,-0.125,Low,0\n\n");
    const auto project = ReferenceProject::Create();
    CsvImportOptions options = testcsv::ProcessOptions();
    options.dateTimeColumns = {{"Time", ""}};  // ISO 8601
    const CsvImportSummary summary = CsvImport::Import(*project, path, options);
    EXPECT_EQ(summary.datasetNumber, 1);
    EXPECT_EQ(summary.observations, 5);
    EXPECT_EQ(summary.variables, 4);
    EXPECT_EQ(summary.qualitative, 1);
    EXPECT_EQ(summary.dateTime, 1);
    EXPECT_EQ(summary.batches, 2);
    EXPECT_EQ(summary.phases, 3) << "hold and Hold are one phase";

    const auto dataset = project->GetDataset(1);
    ASSERT_TRUE(dataset);
    EXPECT_STREQ(dataset->GetName(), "small");
    const NCDataMatrix<float> data = dataset->GetData(false, nullptr);
    ASSERT_EQ(data.GetNumRows(), 5);
    ASSERT_EQ(data.GetNumColumns(), 4);
    EXPECT_STREQ(dataset->GetVariableID(2, 1), "Temp");
    EXPECT_EQ(data(1, 2), 20.5f);
    EXPECT_EQ(data(2, 2), kMissingValue);
    EXPECT_EQ(data(3, 2), 63.0f);
    EXPECT_EQ(data(5, 2), -0.125f);
    EXPECT_EQ(data(1, 4), 1000.0f);
    EXPECT_EQ(data(2, 4), -0.25f);
    EXPECT_EQ(data(3, 4), 7.0f);
    EXPECT_EQ(data(4, 4), kMissingValue);

    const QualitativeVariableInfo* grade = dataset->GetVariableInfo(3)->AsQualitativeVariableInfo();
    ASSERT_NE(grade, nullptr);
    ASSERT_EQ(grade->SizeSettings(), 2) << "settings are compared ignoring case";
    EXPECT_STREQ(grade->GetSettingName(1), "low");
    EXPECT_STREQ(grade->GetSettingName(2), "HIGH");
    EXPECT_EQ(data(4, 3), 2.0f);
    EXPECT_EQ(data(3, 3), kMissingValue);
    EXPECT_EQ(dataset->GetStrValue(5, 3), "low");

    const DateTimeVariableInfo* time = dataset->GetVariableInfo(1)->AsDateTimeVariableInfo();
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->GetTimeAccuracy(), ZoTimeUtl::eAccuracyMinute);
    EXPECT_EQ(time->GetDateTimeOffset().ToLocalString(""), "2026-03-02 00:00:00") << "the midnight before";
    EXPECT_EQ(data(1, 1), 480.0f);
    EXPECT_EQ(data(4, 1), kMissingValue);
    EXPECT_EQ(dataset->GetStrValue(5, 1), "2026-03-03 09:00:00");

    const NCObservations& observations = project->GetObservations();
    EXPECT_EQ(observations.SizeAliases(), 3);
    EXPECT_EQ(observations.GetIDLabelRaw(1), CString("Obs"));
    EXPECT_EQ(observations.GetIDLabelRaw(2), CString("Batch"));
    EXPECT_EQ(std::string(dataset->GetObservationID(3, 1)), "o3");
    EXPECT_EQ(std::string(dataset->GetObservationID(3, 3)), "hold");
    EXPECT_EQ(dataset->GetObservationInfo(3)->GetDefaultClass(), 2) << "the phase number";
    EXPECT_EQ(dataset->GetObservationInfo(5)->GetDefaultClass(), 3);
    EXPECT_EQ(project->GetBatchImportSettings(1).GetBatchID(), 2);
    EXPECT_EQ(project->GetBatchImportSettings(1).GetPhaseID(), 3);
    const auto batches = dataset->GetBatchInfoVector();
    ASSERT_TRUE(batches);
    ASSERT_EQ(batches->size(), 2u);
    EXPECT_EQ((*batches->begin())->GetNumObs(), 3);
    ASSERT_TRUE(dataset->GetPhaseInfoVector());
    EXPECT_EQ((*dataset->GetPhaseInfoVector())[1]->GetNumObs(), 2);

    // Without ID columns the primary ID is the row number, and nothing is a batch.
    const auto plain = ReferenceProject::Create();
    CsvImport::Import(*plain, Write("plain.csv", "x;y\n1;2\n3;4\n"), [] {
        CsvImportOptions semicolons;
        semicolons.delimiter = ';';
        semicolons.datasetName = "Plain data";
        return semicolons;
    }());
    EXPECT_STREQ(plain->GetDataset(1)->GetName(), "Plain data");
    EXPECT_EQ(std::string(plain->GetDataset(1)->GetObservationID(2, 1)), "2");
    EXPECT_FALSE(plain->GetDataset(1)->GetBatchInfoVector());
}

TEST_F(CsvFiles, RejectsBadFilesWithTheirPlaceAndLeavesTheProjectAsItWas) {
    const auto project = ReferenceProject::Create();
    CsvImport::Import(*project,
                      Write("good.csv",
                            "Obs,Batch,Phase,Time,Temp,Grade\n"
                            "a,B1,P1,2026-01-01 00:00:00,1,x\n"),
                      testcsv::ProcessOptions());
    const ProjectState before = StateOf(*project);
    // Files without the project's ID columns go into an empty project.
    const auto empty = ReferenceProject::Create();
    const ProjectState emptyBefore = StateOf(*empty);

    struct Case {
        const char* text;
        long long line;
        int column;
        const char* phrase;
        CsvImportOptions options;
    };
    CsvImportOptions noOptions;
    CsvImportOptions phaseOnly;
    phaseOnly.phaseColumn = "b";
    CsvImportOptions seconds = testcsv::ProcessOptions();
    seconds.dateTimeColumns = {{"When", "yyyy-MM-dd HH:mm:ss"}};
    seconds.timeUnit = ZoTimeUtl::eAccuracySecond;
    CsvImportOptions grades = testcsv::ProcessOptions();
    grades.qualitativeColumns = {"Temp"};
    const std::vector<Case> cases = {
        {"", 0, 0, "the file is empty", noOptions},
        {"a,b\n", 0, 0, "no data rows", noOptions},
        {"a,b\n\n  \n", 0, 0, "no data rows", noOptions},
        {"a,b\n1,2\n3\n", 3, 0, "the row has 1 cell where the header row has 2", noOptions},
        {"a,b\n1,2\n3,4,5\n", 3, 0, "3 cells", noOptions},
        {"a,b\n1,2\n3,4.5.6\n", 3, 2, "\"4.5.6\" is not a number", noOptions},
        {"a,b\n1,2\n3,\"4,5\"\n", 3, 2, "\"4,5\" is not a number", noOptions},
        {"a,b\n1,1e39\n", 2, 2, "is not a number", noOptions},
        {"a,b\n1,nan\n", 2, 2, "is not a number", noOptions},
        {"a,,c\n1,2,3\n", 1, 2, "empty column name", noOptions},
        {"a,A\n1,2\n", 1, 2, "also the name of column 1", noOptions},
        {"a,b\n1,2\n", 0, 0, "a phase ID column needs a batch ID column", phaseOnly},
        {"Obs,Batch,Phas,Time,Temp,Grade\nx,B,P,2026-01-01 00:00:00,1,x\n", 1, 0, "--phase names the column \"Phase\"",
         testcsv::ProcessOptions()},
        {"Obs,Batch,Phase,Time,Temp,Grade\nx,B1,P,2026-01-01 00:00:00,1,x\ny,B2,P,2026-01-01 00:00:00,1,x\n"
         "z,B1,P,2026-01-01 00:00:00,1,x\n",
         4, 2, "the batch \"B1\" appears again after the batch \"B2\"", testcsv::ProcessOptions()},
        {"Obs,Batch,Phase,Time,Temp,Grade\nx,B1,P,01.01.2026,1,x\n", 2, 4, "is not a date and time of the format",
         testcsv::ProcessOptions()},
        {"Obs,Batch,Phase,When,Temp,Grade\nx,B1,P,2026-01-01 00:00:00,1,x\ny,B1,P,2026-02-01 00:00:00,1,x\n", 3, 4,
         "lies too far from 2026-01-01 00:00:00", seconds},
        {"Obs,Batch,Phase,Time,Temp,Grade\nx,B1,P,2026-01-01 00:00:00,1,x\n", 1, 5,
         "the project already has a quantitative variable of this name", grades},
        {"Obs,Batch,Time,Temp,Grade\nx,B1,2026-01-01 00:00:00,1,x\n", 0, 0,
         "the project's observations have 3 ID columns",
         [] {
             CsvImportOptions noPhase = testcsv::ProcessOptions();
             noPhase.phaseColumn.clear();
             return noPhase;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string path = Write("case.csv", c.text);
        ReferenceProject& into = c.options.batchColumn.empty() ? *empty : *project;
        try {
            CsvImport::Import(into, path, c.options);
            ADD_FAILURE() << "imported";
        } catch (const CsvError& error) {
            EXPECT_EQ(error.GetFile(), path);
            EXPECT_EQ(error.GetLine(), c.line) << error.what();
            EXPECT_EQ(error.GetColumn(), c.column) << error.what();
            EXPECT_NE(std::string(error.what()).find(c.phrase), std::string::npos) << error.what();
        }
        EXPECT_TRUE(StateOf(*project) == before);
        EXPECT_TRUE(StateOf(*empty) == emptyBefore);
    }
    EXPECT_EQ(project->GetVariables()[project->GetDataset(1)->GetVarID(2)]->AsQualitativeVariableInfo(), nullptr);
}

TEST_F(CsvFiles, ASecondImportReusesVariablesAndExportReadsBackTheSameValues) {
    testcsv::ProcessShape shape;
    shape.batches = 4;
    const auto project = ReferenceProject::Create();
    const std::string path = Write("process.csv", testcsv::ProcessCsv(shape));
    CsvImport::Import(*project, path, testcsv::ProcessOptions());
    shape.seed = 8;
    const std::string second = Write("process2.csv", testcsv::ProcessCsv(shape) + "Z-1,Z,Heat,,,,,Unseen\n");
    const CsvImportSummary summary = CsvImport::Import(*project, second, testcsv::ProcessOptions());
    EXPECT_EQ(summary.datasetNumber, 2);
    EXPECT_EQ(summary.reusedVariables, (std::vector<std::string>{"Time", "Conversion", "Temp", "Pressure", "Grade"}));
    const auto first = project->GetDataset(1);
    const auto next = project->GetDataset(2);
    EXPECT_EQ(first->GetVarIDs(), next->GetVarIDs());
    const QualitativeVariableInfo* grade = next->GetVariableInfo(5)->AsQualitativeVariableInfo();
    ASSERT_EQ(grade->SizeSettings(), 4);
    EXPECT_STREQ(grade->GetSettingName(4), "Unseen");
    EXPECT_EQ(next->GetStrValue(next->SizeObservations(), 5), "Unseen");
    EXPECT_EQ(next->GetStrValue(1, 5), first->GetStrValue(1, 5));

    // The export of dataset 2, imported into a new project, gives the same values and IDs.
    std::ostringstream text;
    CsvExport::Write(*next, text, CsvExportOptions());
    const auto copy = ReferenceProject::Create();
    CsvImport::Import(*copy, Write("export.csv", text.str()), testcsv::ProcessOptions());
    const auto again = copy->GetDataset(1);
    const NCDataMatrix<float> a = next->GetData(false, nullptr);
    const NCDataMatrix<float> b = again->GetData(false, nullptr);
    ASSERT_EQ(a.GetNumRows(), b.GetNumRows());
    ASSERT_EQ(a.GetNumColumns(), b.GetNumColumns());
    for (int var = 1; var <= a.GetNumColumns(); ++var) {
        EXPECT_STREQ(next->GetVariableID(var, 1), again->GetVariableID(var, 1));
        for (int obs = 1; obs <= a.GetNumRows(); ++obs) {
            if (var == 1 || var == 5)
                ASSERT_EQ(next->GetStrValue(obs, var), again->GetStrValue(obs, var)) << obs << ", " << var;
            else
                ASSERT_EQ(a(obs, var), b(obs, var)) << obs << ", " << var;
        }
    }
    for (int obs = 1; obs <= a.GetNumRows(); ++obs)
        for (int alias = 1; alias <= 3; ++alias)
            ASSERT_STREQ(next->GetObservationID(obs, alias), again->GetObservationID(obs, alias));
}

}  // namespace

namespace {

// A process file of `rows` rows in batches of 200: IDs, batch and phase, 30 numbers (now and then
// missing), a grade and a time. `change` may alter a row's cells (0-based row, cells) first.
std::string WideCsv(int rows, const std::function<void(int, std::vector<std::string>&)>& change) {
    std::string csv = "Obs,Batch,Phase";
    for (int v = 1; v <= 30; ++v) csv += ",V" + std::to_string(v);
    csv += ",Grade,Time\n";
    char number[32];
    for (int r = 0; r < rows; ++r) {
        const int k = r % 200;
        std::vector<std::string> cells = {"O" + std::to_string(r + 1), "B" + std::to_string(r / 200 + 1),
                                          k < 60    ? "Heat"
                                          : k < 150 ? "Hold"
                                                    : "Cool"};
        for (int v = 1; v <= 30; ++v) {
            std::snprintf(number, sizeof number, "%.3f", v * 10.0 + k * 0.01 + (r % 7) * 0.001);
            cells.push_back((r + v) % 97 == 0 ? std::string() : number);
        }
        cells.push_back(k < 50 ? "low" : k < 120 ? "medium" : "high");
        std::snprintf(number, sizeof number, "2026-03-%02d %02d:%02d:00", 1 + r / 1440 % 28, r / 60 % 24, r % 60);
        cells.push_back(number);
        if (change) change(r, cells);
        for (std::size_t c = 0; c < cells.size(); ++c) csv += (c ? "," : "") + cells[c];
        csv += '\n';
    }
    return csv;
}

// The wide file has the process file's ID, batch, phase, grade and time columns.
CsvImportOptions WideOptions(int readers) {
    CsvImportOptions options = testcsv::ProcessOptions();
    options.readers = readers;
    return options;
}

// Readings side by side (each parsing a share of the columns on a thread of its own) give what
// one reading gives: the same dataset, and of several errors the first in the file.
TEST_F(CsvFiles, ConcurrencyOfReadingsGivesWhatOneReadingGives) {
    constexpr int kRows = 10000;
    const std::string good = Write("wide.csv", WideCsv(kRows, nullptr));
    const auto one = ReferenceProject::Create();
    CsvImport::Import(*one, good, WideOptions(1));
    const auto expected = one->GetDataset(1);
    const NCDataMatrix<float> values = expected->GetData(false, nullptr);
    for (const int readers : {2, 3, 8}) {
        SCOPED_TRACE(readers);
        const auto project = ReferenceProject::Create();
        CsvImport::Import(*project, good, WideOptions(readers));
        const auto dataset = project->GetDataset(1);
        EXPECT_TRUE(dataset->GetData(false, nullptr) == values);
        ASSERT_EQ(dataset->SizeObservations(), kRows);
        for (int obs = 1; obs <= kRows; obs += 997)
            for (int alias = 1; alias <= 3; ++alias)
                EXPECT_STREQ(dataset->GetObservationID(obs, alias), expected->GetObservationID(obs, alias));
        EXPECT_EQ(dataset->GetStrValue(kRows, 31), "high");
    }

    // Row r is on line r + 2. Each file has two faults that different readings meet.
    struct Case {
        const char* what;
        std::function<void(int, std::vector<std::string>&)> change;
        long long line;
        int column;
    };
    const std::vector<Case> cases = {
        {"a bad number comes before a batch seen again in the same row",
         [](int r, std::vector<std::string>& cells) {
             if (r == 7000) cells[32] = "x1", cells[1] = "B2";
         },
         7002, 33},
        {"a bad time in one row comes before a bad first number in the next",
         [](int r, std::vector<std::string>& cells) {
             if (r == 9000) cells[34] = "03/01/2026";
             if (r == 9001) cells[3] = "1..5";
         },
         9002, 35},
        {"a bad number comes before a short row below it",
         [](int r, std::vector<std::string>& cells) {
             if (r == 8999) cells[4] = "--2";
             if (r == 9000) cells.pop_back();
         },
         9001, 5},
        {"text after a closing quote comes before a batch seen again below it",
         [](int r, std::vector<std::string>& cells) {
             if (r == 8500) cells[20] = "\"4\"5";
             if (r == 8501) cells[1] = "B1";
         },
         8502, 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = Write("bad.csv", WideCsv(kRows, c.change));
        std::string first;
        for (const int readers : {1, 2, 3}) {
            SCOPED_TRACE(readers);
            const auto project = ReferenceProject::Create();
            try {
                CsvImport::Import(*project, path, WideOptions(readers));
                ADD_FAILURE() << "imported";
            } catch (const CsvError& error) {
                EXPECT_EQ(error.GetLine(), c.line) << error.what();
                EXPECT_EQ(error.GetColumn(), c.column) << error.what();
                if (first.empty()) first = error.what();
                EXPECT_EQ(error.what(), first);
            }
            EXPECT_EQ(project->GetObservations().GetNumberOfVarObs(), 0);
        }
    }
}

}  // namespace
