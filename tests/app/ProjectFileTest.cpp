// The project file: a save read back value for value, saves that are killed or run out of disk,
// and files that are not projects, come from a newer version or hold a damaged stream.

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ProjectFile.h"
#include "app/ProjectFileStorage.h"
#include "batchinfo/BatchDerivation.h"
#include "batchinfo/BatchInfoVector.h"
#include "batchinfo/ClassInfoVector.h"
#include "centering/LocalCenteringData.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCDataSetInfo.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/constants/UniqueIDKinds.h"
#include "interfaces/notification/NCProgress.h"
#include "tests/TestStreams.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/VarObs.h"

namespace {

using Kind = ProjectFileError::Kind;
using nctest::WriteObject;

// A file of this test, removed with its journal when the test ends.
class TempFile {
public:
    explicit TempFile(const std::string& tag)
        : mPath(testing::TempDir() + "nc_projectfile_" + tag + "_" + std::to_string(getpid()) + ".ncp") {
        Remove();
    }
    ~TempFile() { Remove(); }
    const std::string& Path() const { return mPath; }

private:
    void Remove() const {
        std::remove(mPath.c_str());
        std::remove((mPath + "-journal").c_str());
    }
    std::string mPath;
};

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs `sql` on the file at `path` with a connection of its own, as another program would.
void Execute(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// A batch project: observations with batch and phase columns, `variables` quantitative
// variables, and `datasets` datasets numbered 1, 2, ... over all of them, with batch and phase
// lists and values that differ per dataset; settings, centres and counters off their defaults.
boost::shared_ptr<ReferenceProject> MakeProject(int observations, int variables, int datasets) {
    const auto project = ReferenceProject::Create();
    NCObservations& obs = project->GetObservations();
    const std::vector<CString> labels{"Obs", VarObs::mszBatchIDString, VarObs::mszPhaseIDString};
    obs.Set_ID_Labels(&labels);
    obs.SetBatchID(2);
    obs.SetPhaseID(3);
    NCIntegralVector<unsigned long, 0> obsIDs, varIDs;
    for (int r = 0; r < observations; ++r) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        obs.Add(std::make_unique<ObservationInfo>(
                    std::vector<CString>{CString("O" + std::to_string(r)), CString("B" + std::to_string(r / 4)),
                                         CString(r % 4 < 2 ? "Heat" : "Cool")},
                    id),
                nullptr);
        obsIDs.push_back(id);
    }
    for (int c = 0; c < variables; ++c) {
        const unsigned long id = project->GetNewUniqueID(nc::UniqueIDKind::kRecord);
        project->GetVariables().Add(
            std::make_unique<QuantitativeVariableInfo>("V" + std::to_string(c), id, "", -1, -1, eVarTypeDefault),
            nullptr);
        varIDs.push_back(id);
    }
    const std::unique_ptr<BatchInfoVector> batches(BatchUtilities::CreateBatchInfoVector(&obs, &obsIDs));
    const std::unique_ptr<ClassInfoVector> phases(BatchUtilities::CreatePhaseInfoVector(&obs, &obsIDs));
    for (int number = 1; number <= datasets; ++number) {
        NCDataMatrix<float> data(observations, variables);
        for (int c = 1; c <= variables; ++c)
            for (int r = 1; r <= observations; ++r) data(r, c, static_cast<float>(number * 1000 + r) + c * 0.25f);
        const std::string name = "Set " + std::to_string(number);
        project->AddDataset(NCDataSet::Create(project, name.c_str(), number, &data, &obsIDs, &varIDs, {1, 2, 3}, {1},
                                              "imported", batches.get(), phases.get(), false));
    }
    BatchImportSettings settings = project->GetBatchImportSettings(1);
    settings.SetBatchID(2);
    settings.SetPhaseID(3);
    settings.SetDownSizeInterval(7);
    project->SetBatchImportSettings(settings);
    project->GetLocalCenteringData()->AddInfo(2.5f, varIDs[1], 2, "B0", -1, "");
    project->SetNumberOfModels(3);
    project->SetBatchAnswer(true);
    return project;
}

// The sections of everything a project holds besides its datasets.
std::vector<std::string> ProjectSections(const ReferenceProject& project) {
    return {WriteObject(project.GetVariables()), WriteObject(project.GetObservations()),
            WriteObject(project.GetBatchImportSettings(1)), WriteObject(*project.GetLocalCenteringData())};
}

void ExpectSameDataset(const NCDataSet& read, const NCDataSet& written) {
    // The same section means the same values, IDs, lists and settings.
    EXPECT_EQ(WriteObject(read), WriteObject(written)) << "dataset " << written.GetNumber();
    ASSERT_EQ(read.SizeObservations(), written.SizeObservations());
    ASSERT_EQ(read.SizeVariables(), written.SizeVariables());
    EXPECT_EQ(read.GetStrValue(read.SizeObservations(), read.SizeVariables()),
              written.GetStrValue(read.SizeObservations(), read.SizeVariables()));
    ASSERT_TRUE(read.GetBatchInfoVector() && written.GetBatchInfoVector());
    EXPECT_EQ(WriteObject(*read.GetBatchInfoVector()), WriteObject(*written.GetBatchInfoVector()));
    ASSERT_TRUE(read.GetPhaseInfoVector());
    EXPECT_EQ(read.GetPhaseInfoVector()->size(), written.GetPhaseInfoVector()->size());
    EXPECT_FALSE(read.IsDirty());
}

TEST(ProjectFileTest, ASavedProjectOpensWithTheSameDataAndLoadsItsDatasetsOnDemand) {
    const TempFile file("roundtrip"), copy("copy");
    // 200 x 100 values: a dataset's section is longer than the buffer that reads it.
    const auto project = MakeProject(200, 100, 3);
    project->GetDataset(2)->SetValue(3, 2, 55.0f, true, false, false);  // the value before is kept for undoing
    // Dataset 3 goes the in-memory way: its batch list and variable IDs stay in the stored
    // streams, its data is let go; the file keeps what is left of it.
    const std::string dataset3 = WriteObject(*project->GetDataset(3));
    const NCDataSetInfo info3(project->GetDataset(3));
    ASSERT_TRUE(project->UnloadDataset(3));
    ProjectFile::Save(*project, file.Path());

    const auto opened = ProjectFile::Open(file.Path());
    EXPECT_EQ(ProjectSections(*opened), ProjectSections(*project));
    EXPECT_EQ(opened->GetNumberOfModels(), 3);
    EXPECT_TRUE(opened->AskBatchQuestion());
    EXPECT_EQ(opened->GetNewUniqueID(nc::UniqueIDKind::kRecord), project->GetNewUniqueID(nc::UniqueIDKind::kRecord));
    // Nothing is loaded yet, nor by describing a dataset; the descriptions are there.
    const auto described = opened->GetDataSetInfo(2);
    ASSERT_TRUE(described);
    EXPECT_TRUE(opened->GetLoadedDatasetNumbers().empty());
    EXPECT_EQ(opened->GetUnloadedDatasetNumbers(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(*described, NCDataSetInfo(project->GetDataset(2)));
    EXPECT_EQ(described->GetObsIDs(), project->GetDataset(2)->GetObsIDs());
    ASSERT_TRUE(described->GetBatchInfoVector());
    EXPECT_EQ(described->GetBatchInfoVector()->size(), 50u);

    const auto loaded = opened->GetDataset(2);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(opened->GetDataset(2), loaded) << "loaded once, then held";
    EXPECT_EQ(opened->GetLoadedDatasetNumbers(), std::vector<int>{2});
    ExpectSameDataset(*loaded, *project->GetDataset(2));
    EXPECT_EQ(loaded->GetStrValue(3, 2), "55");
    EXPECT_TRUE(loaded->GetIsTrimmed());
    // Dataset 3: described, its stored batch list and variable IDs readable, no data.
    EXPECT_EQ(*opened->GetDataSetInfo(3), info3);
    EXPECT_FALSE(opened->GetDataset(3));
    const auto storedList = NCDataSet::GetMutableBatchInfoVector(*opened, 3);
    ASSERT_TRUE(storedList);
    EXPECT_EQ(storedList->size(), 50u);
    EXPECT_EQ(NCDataSet::GetVariableIDs(*opened, 3), info3.GetVarIDs());

    // Saved again, into the same file and into another one cut into rows of 100 bytes, with
    // dataset 2 changed, dataset 1 never loaded and dataset 3 only described: both files hold
    // the change, dataset 1 as it was, and the same of everything else.
    ASSERT_TRUE(loaded->SetValue(1, 1, 7.0f, false, false, false));
    ProjectFile::Save(*opened, copy.Path(), nullptr, 100);
    ProjectFile::Save(*opened, file.Path());
    for (const std::string& path : {file.Path(), copy.Path()}) {
        SCOPED_TRACE(path);
        const auto again = ProjectFile::Open(path);
        EXPECT_EQ(ProjectSections(*again), ProjectSections(*project));
        ASSERT_TRUE(again->GetDataset(2));
        EXPECT_EQ(again->GetDataset(2)->GetStrValue(1, 1), "7");
        ASSERT_TRUE(again->GetDataset(1));
        ExpectSameDataset(*again->GetDataset(1), *project->GetDataset(1));
        EXPECT_EQ(*again->GetDataSetInfo(3), info3);
        EXPECT_TRUE(NCDataSet::GetMutableBatchInfoVector(*again, 3));
    }

    // A project read from a file keeps the section of a dataset it unloads, so the dataset loads
    // again with its change, also from the file after a save; one removed is gone from the file.
    const auto edited = ProjectFile::Open(copy.Path());
    ASSERT_TRUE(edited->GetDataset(1)->SetValue(2, 2, -5.0f, false, false, false));
    ASSERT_TRUE(edited->UnloadDataset(1));
    EXPECT_TRUE(edited->GetLoadedDatasetNumbers().empty());
    ASSERT_TRUE(edited->GetDataset(1));
    EXPECT_EQ(edited->GetDataset(1)->GetStrValue(2, 2), "-5");
    ASSERT_TRUE(edited->UnloadDataset(1));
    edited->RemoveDataset(2);
    ProjectFile::Save(*edited, copy.Path());
    const auto reread = ProjectFile::Open(copy.Path());
    EXPECT_EQ(reread->GetUnloadedDatasetNumbers(), (std::vector<int>{1, 3}));
    EXPECT_EQ(reread->GetDataset(1)->GetStrValue(2, 2), "-5");
    EXPECT_FALSE(reread->GetDataset(2));
    EXPECT_FALSE(reread->GetDataSetInfo(2));
}

// A progress sink for a save in a child process: once the save is half done it tells the parent
// through a pipe and waits there to be killed.
class KillMeHalfWay : public NCProgressSink {
public:
    explicit KillMeHalfWay(int fd) : mFd(fd) {}
    void Begin(const char*, const char*, double, double) override {}
    bool Update(double value) override {
        if (value >= 50.0) {
            const char byte = 'k';
            if (write(mFd, &byte, 1) != 1) _exit(3);
            for (;;) pause();
        }
        return false;
    }
    void End() override {}

private:
    int mFd;
};

// The values of the small project saved first, read from `path`.
void ExpectTheSmallProject(const std::string& path, const ReferenceProject& small) {
    const auto opened = ProjectFile::Open(path);
    EXPECT_EQ(ProjectSections(*opened), ProjectSections(small));
    EXPECT_EQ(opened->GetUnloadedDatasetNumbers(), std::vector<int>{1});
    const auto dataset = opened->GetDataset(1);
    ASSERT_TRUE(dataset);
    EXPECT_EQ(dataset->SizeObservations(), 8);
    EXPECT_EQ(dataset->GetStrValue(8, 2), "1008.5");
}

TEST(ProjectFileTest, AKilledOrFailedSaveLeavesThePreviousProject) {
    const TempFile file("interrupted");
    const auto small = MakeProject(8, 2, 1);
    ProjectFile::Save(*small, file.Path());
    const std::string before = FileBytes(file.Path());
    small->GetMemoryStorage().SetBase(nullptr);  // no connection to the file crosses the fork
    // Large enough that the save spills pages into the file before it is half done.
    const auto large = MakeProject(2000, 250, 6);

    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(channel[0]);
        alarm(120);  // never outlive a parent that failed
        NCProgress::SetSink(std::make_shared<KillMeHalfWay>(channel[1]));
        NCProgress progress("Saving", 0, 100);
        try {
            ProjectFile::Save(*large, file.Path(), &progress);
        } catch (...) {
            _exit(2);
        }
        _exit(0);  // the save ended before the kill: the test fails below
    }
    close(channel[1]);
    char byte = 0;
    const bool halfWay = read(channel[0], &byte, 1) == 1;
    close(channel[0]);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(halfWay) << "the save ended before it was half done";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    // The killed save had begun to change the file: its journal is there to undo it.
    EXPECT_NE(FileBytes(file.Path()), before);
    EXPECT_FALSE(FileBytes(file.Path() + "-journal").empty());
    ExpectTheSmallProject(file.Path(), *small);
    EXPECT_EQ(FileBytes(file.Path()), before) << "the interrupted save is undone";

    // A disk that fills up during a save (a file size limit in a child): the save reports it
    // and the file keeps the project.
    const pid_t limited = fork();
    ASSERT_GE(limited, 0);
    if (limited == 0) {
        alarm(120);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{before.size() + (1 << 20), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        const auto unsaved = [&] {
            for (const int number : large->GetLoadedDatasetNumbers())
                if (!large->GetDataset(number)->IsDirty()) return false;
            return large->GetVariables().IsDirty();
        };
        if (!unsaved()) _exit(6);
        try {
            ProjectFile::Save(*large, file.Path());
        } catch (const ProjectFileError& error) {
            if (error.GetKind() != Kind::Io) _exit(2);
            _exit(unsaved() ? 0 : 5);
        } catch (...) {
            _exit(3);
        }
        _exit(4);
    }
    ASSERT_EQ(waitpid(limited, &status, 0), limited);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "1: killed, 2: another kind of error, 3: another exception, 4: saved, 5: the changes no longer show as "
           "unsaved, 6: the project was not dirty to begin with";
    ExpectTheSmallProject(file.Path(), *small);

    // The file takes the next save as usual.
    ProjectFile::Save(*large, file.Path());
    EXPECT_EQ(ProjectFile::Open(file.Path())->GetUnloadedDatasetNumbers().size(), 6u);
}

// Opens `path`, which must fail with `kind` and a message holding `mention`, and leave the file's
// bytes as they were.
void ExpectRefused(const std::string& path, Kind kind, const std::string& mention) {
    const std::string before = FileBytes(path);
    try {
        ProjectFile::Open(path);
        ADD_FAILURE() << "opened " << path;
    } catch (const ProjectFileError& error) {
        EXPECT_EQ(error.GetKind(), kind) << error.what();
        EXPECT_NE(std::string(error.what()).find(mention), std::string::npos) << error.what();
    }
    EXPECT_EQ(FileBytes(path), before);
}

TEST(ProjectFileTest, FilesThatAreNotProjectsNewerOrDamagedAreRefusedAndLeftAlone) {
    const TempFile file("refused"), foreign("foreign");
    const auto project = MakeProject(8, 2, 2);

    // Not a project: text, an empty file, another application's database, no file at all.
    { std::ofstream(file.Path()) << "Name,Value\nA,1\n"; }
    ExpectRefused(file.Path(), Kind::NotAProject, "not a project file");
    try {
        ProjectFile::Save(*project, file.Path());
        ADD_FAILURE() << "saved over a text file";
    } catch (const ProjectFileError& error) {
        EXPECT_EQ(error.GetKind(), Kind::NotAProject);
    }
    EXPECT_EQ(FileBytes(file.Path()), "Name,Value\nA,1\n");
    { std::ofstream truncate(file.Path()); }
    ExpectRefused(file.Path(), Kind::NotAProject, "not a project file");
    Execute(foreign.Path(), "CREATE TABLE streams(name TEXT, part INTEGER, bytes BLOB)");
    ExpectRefused(foreign.Path(), Kind::NotAProject, "another application");
    std::remove(file.Path().c_str());
    try {
        ProjectFile::Open(file.Path());
        ADD_FAILURE() << "opened a missing file";
    } catch (const ProjectFileError& error) {
        EXPECT_EQ(error.GetKind(), Kind::Io);
        EXPECT_NE(std::string(error.what()).find(file.Path()), std::string::npos);
    }

    // A newer layout is neither read nor overwritten.
    ProjectFile::Save(*project, file.Path());
    Execute(file.Path(), "PRAGMA user_version = 2");
    ExpectRefused(file.Path(), Kind::NewerVersion, "newer version");
    const std::string newer = FileBytes(file.Path());
    try {
        ProjectFile::Save(*project, file.Path());
        ADD_FAILURE() << "saved over a newer file";
    } catch (const ProjectFileError& error) {
        EXPECT_EQ(error.GetKind(), Kind::NewerVersion);
    }
    EXPECT_EQ(FileBytes(file.Path()), newer);

    // Damaged streams, each named in the error.
    struct Damage {
        std::string sql;
        std::string mention;
    };
    const std::vector<Damage> damages{
        {"UPDATE streams SET bytes = substr(bytes, 1, 30) WHERE name = 'observations'", "\"observations\""},
        {"UPDATE streams SET bytes = bytes || x'00' WHERE name = 'variables'", "\"variables\""},
        {"DELETE FROM streams WHERE name = 'batch-import-settings'", "\"batch-import-settings\""},
        {"UPDATE streams SET bytes = x'0100' WHERE name = 'local-centering'", "\"local-centering\""},
        {"UPDATE streams SET bytes = substr(bytes, 1, 20) WHERE name = 'project'", "\"project\""},
        {"UPDATE streams SET bytes = substr(bytes, 1, 40) WHERE name = 'dataset-info-2'", "\"dataset-info-2\""},
        {"DELETE FROM streams WHERE name = 'dataset-info-1'", "\"dataset-info-1\""},
        {"DELETE FROM streams WHERE name = 'variables' AND part = 1", "\"variables\""},
        {"UPDATE streams SET bytes = 'text' WHERE name = 'observations' AND part = 0", "\"observations\""},
        {"DROP TABLE streams", "no table of streams"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.sql);
        std::remove(file.Path().c_str());
        ProjectFile::Save(*project, file.Path(), nullptr, 64);
        Execute(file.Path(), damage.sql);
        ExpectRefused(file.Path(), Kind::DamagedStream, damage.mention);
    }

    // A damaged dataset is found when it is loaded; the others still load.
    std::remove(file.Path().c_str());
    ProjectFile::Save(*project, file.Path());
    Execute(file.Path(), "UPDATE streams SET bytes = substr(bytes, 1, length(bytes) - 9) WHERE name = 'dataset-2'");
    const std::string before = FileBytes(file.Path());
    const auto opened = ProjectFile::Open(file.Path());
    try {
        opened->GetDataset(2);
        ADD_FAILURE() << "loaded a damaged dataset";
    } catch (const ProjectFileError& error) {
        EXPECT_EQ(error.GetKind(), Kind::DamagedStream);
        EXPECT_NE(std::string(error.what()).find("\"dataset-2\""), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(file.Path()), std::string::npos) << error.what();
    }
    ASSERT_TRUE(opened->GetDataset(1));
    EXPECT_EQ(opened->GetDataset(1)->GetStrValue(8, 2), "1008.5");
    EXPECT_EQ(FileBytes(file.Path()), before);
}

}  // namespace
