// The tool as a person uses it: the built ncds run as a separate process on files in a scratch
// folder. Skipped in builds without the tool.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/BatchPipeline.h"
#include "app/CsvImport.h"
#include "app/ProjectFile.h"
#include "app/ReferenceProject.h"
#include "batchinfo/BatchInfoVector.h"
#include "compound/FullCompoundDataset.h"
#include "dataset/NCDataSet.h"
#include "interfaces/constants/NCConstants.h"
#include "tests/app/ProcessCsv.h"

extern char** environ;

namespace {

#ifdef NC_NCDS_PATH

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class Ncds : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder =
            std::filesystem::temp_directory_path() / ("ncds-tool-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(mFolder);
        std::filesystem::create_directories(mFolder);
    }
    void TearDown() override { std::filesystem::remove_all(mFolder); }

    std::string Path(const std::string& name) const { return (mFolder / name).string(); }
    std::string Write(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
        return Path(name);
    }

    // Starts ncds with `args`, its standard output and error going to files; returns its pid.
    pid_t Start(const std::vector<std::string>& args, const std::string& tag) const {
        std::vector<char*> argv;
        std::string program = NC_NCDS_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, Path(tag + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, Path(tag + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        const int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(started, 0) << program;
        return pid;
    }
    Outcome Finish(pid_t pid, const std::string& tag) const {
        Outcome run;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        run.out = ReadFile(Path(tag + ".out"));
        run.err = ReadFile(Path(tag + ".err"));
        return run;
    }
    Outcome RunNcds(const std::vector<std::string>& args) const { return Finish(Start(args, "run"), "run"); }

    std::filesystem::path mFolder;
};

const std::vector<std::string> kProcessColumns = {
    "--id",  "Obs",           "--batch", "Batch",      "--phase",
    "Phase", "--qualitative", "Grade",   "--datetime", "Time=yyyy-MM-dd HH:mm:ss"};

std::vector<std::vector<std::string>> Cells(const std::string& csv) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(csv);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::string cell;
        std::istringstream split(line);
        while (std::getline(split, cell, ',')) cells.push_back(cell);
        if (!line.empty() && line.back() == ',') cells.emplace_back();
        rows.push_back(cells);
    }
    return rows;
}

float Number(const std::string& text) {
    if (text.empty()) return nc::kMissingValue;
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(result.ec == std::errc() && result.ptr == text.data() + text.size()) << text;
    return value;
}

// The export of `dataset` (rows of cells) holds exactly the reference dataset's IDs and values:
// texts for the date/time and qualitative columns, numbers that read back as the same floats.
void ExpectSameData(const std::vector<std::vector<std::string>>& exported, const NCFullDataContainerBase& reference) {
    const int aliases = static_cast<int>(reference.GetUsedObsAliases().size());
    ASSERT_EQ(exported.size(), static_cast<std::size_t>(reference.SizeObservations()) + 1);
    ASSERT_EQ(exported[0].size(), static_cast<std::size_t>(aliases + reference.SizeVariables()));
    const NCDataMatrix<float> values = reference.GetData(false, nullptr);
    for (int var = 1; var <= reference.SizeVariables(); ++var)
        EXPECT_EQ(exported[0][static_cast<std::size_t>(aliases + var - 1)], reference.GetVariableID(var, 1));
    for (int obs = 1; obs <= reference.SizeObservations(); ++obs) {
        const std::vector<std::string>& row = exported[static_cast<std::size_t>(obs)];
        ASSERT_EQ(row.size(), exported[0].size()) << "row " << obs;
        for (int k = 1; k <= aliases; ++k)
            ASSERT_EQ(row[static_cast<std::size_t>(k - 1)], reference.GetObservationID(obs, k));
        for (int var = 1; var <= reference.SizeVariables(); ++var) {
            const std::string& cell = row[static_cast<std::size_t>(aliases + var - 1)];
            const VariableInfo* info = reference.GetVariableInfo(var);
            if (info->IsQualitative() || info->AsDateTimeVariableInfo())
                ASSERT_EQ(cell, reference.GetStrValue(obs, var)) << "row " << obs << ", variable " << var;
            else
                ASSERT_EQ(Number(cell), values(obs, var)) << "row " << obs << ", variable " << var;
        }
    }
}

TEST_F(Ncds, ImportBatchAndExportKeepEveryValueThroughTheProjectFile) {
    testcsv::ProcessShape shape;
    shape.batches = 24;
    shape.minLength = 150;
    shape.maxLength = 260;
    const std::string csvText = testcsv::ProcessCsv(shape);
    const std::string csv = Write("process.csv", csvText);
    const std::string project = Path("process.ncp");

    std::vector<std::string> importArgs = {"-q", "import", project, csv};
    importArgs.insert(importArgs.end(), kProcessColumns.begin(), kProcessColumns.end());
    Outcome run = RunNcds(importArgs);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("as dataset 1"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "") << "-q: no progress";
    run = RunNcds({"-q", "batch", project, "--maturity", "Conversion"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("into dataset 2"), std::string::npos) << run.out;

    // The same work in this process, from the same file.
    const auto reference = ReferenceProject::Create();
    CsvImport::Import(*reference, csv, testcsv::ProcessOptions());
    BatchPipelineOptions pipeline;
    pipeline.maturity = "Conversion";
    BatchPipeline::Run(*reference, reference->GetDataset(1), pipeline);
    const auto original = reference->GetDataset(1);
    const auto aligned = reference->GetDataset(2);
    ASSERT_GT(original->SizeObservations(), 4000);

    // A new process reads the file back: dataset 1 and the aligned dataset 2, value for value.
    run = RunNcds({"-q", "export", project, "--dataset", "1"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto exported = Cells(run.out);
    ExpectSameData(exported, *original);
    run = RunNcds({"-q", "export", project, "-d", "2", "-o", Path("aligned.csv")});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectSameData(Cells(ReadFile(Path("aligned.csv"))), *aligned);
    run = RunNcds({"-q", "export", project, "-d", "1", "-d", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    ExpectSameData(Cells(run.out), FullCompoundDataset(reference, {1, 2}));

    // Dataset 1's measured columns are the CSV's own cells.
    const auto input = Cells(csvText);
    ASSERT_EQ(input.size(), exported.size());
    for (std::size_t row = 1; row < input.size(); ++row)
        for (std::size_t column = 0; column < input[row].size(); ++column) {
            const std::string& cell = input[row][column];
            if (column == 4 || column == 5 || column == 6)
                ASSERT_EQ(Number(exported[row][column]), Number(cell)) << "line " << row + 1;
            else
                ASSERT_EQ(exported[row][column], cell) << "line " << row + 1;
        }

    // The file opened here holds the same matrices, bit for bit.
    const auto opened = ProjectFile::Open(project);
    for (const auto& [number, expected] : std::map<int, boost::shared_ptr<NCDataSet>>{{1, original}, {2, aligned}}) {
        const auto dataset = opened->GetDataset(number);
        ASSERT_TRUE(dataset);
        EXPECT_EQ(dataset->GetVarIDs(), expected->GetVarIDs());
        const NCDataMatrix<float> a = dataset->GetData(false, nullptr);
        const NCDataMatrix<float> b = expected->GetData(false, nullptr);
        ASSERT_EQ(a.GetNumRows(), b.GetNumRows());
        ASSERT_EQ(a.GetNumColumns(), b.GetNumColumns());
        for (int c = 1; c <= a.GetNumColumns(); ++c)
            ASSERT_EQ(std::memcmp(a.GetColumnPtr(c), b.GetColumnPtr(c), sizeof(float) * a.GetNumRows()), 0) << c;
        EXPECT_EQ(dataset->GetBatchInfoVector()->size(), static_cast<std::size_t>(shape.batches));
    }

    run = RunNcds({"-q", "info", project, "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\"observations\": " + std::to_string(original->SizeObservations())), std::string::npos);
    EXPECT_NE(run.out.find("\"name\": \"$Conversion [smoothed]\""), std::string::npos);
    EXPECT_NE(run.out.find("\"source\": 1"), std::string::npos);
    run = RunNcds({"-q", "plot", project, "--variable", "Temp", "-o", Path("temp.svg")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string svg = ReadFile(Path("temp.svg"));
    std::size_t paths = 0;
    for (std::size_t at = svg.find("<path "); at != std::string::npos; at = svg.find("<path ", at + 1)) ++paths;
    EXPECT_EQ(paths, 2u * static_cast<std::size_t>(shape.batches)) << "one line per batch, before and after";
}

TEST_F(Ncds, BadInputGetsItsMessageAndStatusAndLeavesTheProjectFileAsItWas) {
    const std::string project = Path("p.ncp");
    const std::string good = Write("good.csv", "Obs,Batch,Temp\na,B1,1.5\nb,B1,2\nc,B2,2.5\n");
    ASSERT_EQ(RunNcds({"-q", "import", project, good, "--id", "Obs", "--batch", "Batch"}).status, 0);
    const std::string bytes = ReadFile(project);
    ASSERT_FALSE(bytes.empty());

    struct Case {
        std::string text;
        std::vector<std::string> options;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Obs,Batch,Temp\nd,B3,1\ne,B3\n", {}, 3, "case.csv, line 3: the row has 2 cells where the header row has 3"},
        {"Obs,Batch,Temp\nd,B3,1\ne,B3,1;5\n", {}, 3, "case.csv, line 3, column 3 (Temp): \"1;5\" is not a number"},
        {"", {}, 3, "case.csv: the file is empty"},
        {"Obs,Batch,Temp\n", {}, 3, "case.csv: the file has a header row but no data rows"},
        {"Obs,Batch,Temp\nd,B3,1\n", {"--frobnicate"}, 2, "The following argument was not expected: --frobnicate"},
        {"Obs,Batch,Temp\nd,B3,1\n", {"--time-unit", "week"}, 2, "second, minute, hour or day"},
        {"Obs,Lot,Temp\nd,B3,1\n", {}, 3, "--batch names the column \"Batch\", which the header row does not have"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string csv = Write("case.csv", c.text);
        std::vector<std::string> args = {"import", project, csv, "--id", "Obs", "--batch", "Batch"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome run = RunNcds(args);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(project), bytes) << "the project file changed";
        EXPECT_FALSE(std::filesystem::exists(project + "-journal"));
    }

    // A bad file names no new project into being; nor does a cancelled or failed save.
    const Outcome fresh = RunNcds({"import", Path("new.ncp"), Path("case.csv"), "--id", "Obs"});
    EXPECT_EQ(fresh.status, 3);
    EXPECT_FALSE(std::filesystem::exists(Path("new.ncp")));

    // Project files that are not there or not projects, and what a project lacks.
    EXPECT_EQ(RunNcds({"info", Path("missing.ncp")}).status, 4);
    const Outcome notProject = RunNcds({"info", good});
    EXPECT_EQ(notProject.status, 4);
    EXPECT_NE(notProject.err.find("good.csv"), std::string::npos) << notProject.err;
    const Outcome noDataset = RunNcds({"export", project, "-d", "7"});
    EXPECT_EQ(noDataset.status, 3);
    EXPECT_NE(noDataset.err.find("has no dataset 7; its datasets are 1"), std::string::npos) << noDataset.err;
    const Outcome noVariable = RunNcds({"batch", project, "--maturity", "Pressure"});
    EXPECT_EQ(noVariable.status, 3);
    EXPECT_NE(noVariable.err.find("has no variable \"Pressure\"; its variables are: Temp"), std::string::npos);
    EXPECT_EQ(ReadFile(project), bytes);
    const Outcome unwritable = RunNcds({"export", project, "-o", Path("no/such/folder/out.csv")});
    EXPECT_EQ(unwritable.status, 5) << unwritable.err;
    EXPECT_EQ(RunNcds({"export"}).status, 2);
    EXPECT_EQ(RunNcds({}).status, 2);
    EXPECT_EQ(RunNcds({"export", "--help"}).status, 0);
}

TEST_F(Ncds, CtrlCDuringAnImportLeavesTheProjectFileAsItWas) {
    const std::string project = Path("p.ncp");
    ASSERT_EQ(RunNcds({"-q", "import", project, Write("small.csv", "x,y\n1,2\n")}).status, 0);
    const std::string bytes = ReadFile(project);
    std::string big = "x,y\n";
    for (int i = 0; i < 300000; ++i) big += std::to_string(i) + "," + std::to_string(i % 1000) + ".25\n";
    const std::string csv = Write("big.csv", big);

    const pid_t pid = Start({"import", project, csv}, "cancel");
    // Once the reading has begun (its first progress line), Ctrl-C.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (ReadFile(Path("cancel.err")).find("Reading big.csv") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGINT);
    const Outcome run = Finish(pid, "cancel");
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_NE(run.err.find("cancelled"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(project), bytes);
    EXPECT_FALSE(std::filesystem::exists(project + "-journal"));
}

#else

TEST(Ncds, NeedsTheTool) { GTEST_SKIP() << "built without the ncds tool"; }

#endif

}  // namespace
