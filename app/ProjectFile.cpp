#include "app/ProjectFile.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <streambuf>
#include <utility>
#include <vector>

#include <boost/make_shared.hpp>

#include "app/ProjectFileStorage.h"
#include "app/SqliteDatabase.h"
#include "app/SqliteRowWriter.h"
#include "batchinfo/BatchImportSettings.h"
#include "batchinfo/RUSPData.h"
#include "centering/LocalCenteringData.h"
#include "dataset/NCDataSet.h"
#include "dataset/NCDataSetInfo.h"
#include "interfaces/constants/StreamNameKinds.h"
#include "interfaces/notification/NCProgress.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/utility/BinaryIO.h"

namespace {

using Kind = ProjectFileError::Kind;

// The project's own streams; the library's streams are named by ReferenceProject::GetStreamName
// and the datasets' by ReferenceProject::GetDatasetStreamName.
const char* const kProjectStream = "project";
const char* const kVariablesStream = "variables";
const char* const kObservationsStream = "observations";
const char* const kBatchSettingsStream = "batch-import-settings";
const char* const kCenteringStream = "local-centering";
const std::string kInfoPrefix = "dataset-info-";
const std::string kDatasetPrefix = "dataset-";

// The "project" stream: the record tag and version, the next unique ID and the model count (4
// bytes each) and the batch question's answer (1 byte).
const char* const kProjectTag = "NCPROJECT";
constexpr int kProjectVersion = 1;

std::string InfoStreamName(int number) { return kInfoPrefix + std::to_string(number); }

// The dataset number in `name` after `prefix`, when the rest is exactly a decimal int.
bool NumberAfter(const std::string& name, const std::string& prefix, int& number) {
    if (name.compare(0, prefix.size(), prefix) != 0) return false;
    const std::string rest = name.substr(prefix.size());
    if (rest.empty() || rest.size() > 11) return false;
    std::size_t used = 0;
    try {
        number = std::stoi(rest, &used);
    } catch (const std::exception&) {
        return false;
    }
    return used == rest.size() && std::to_string(number) == rest;
}

// Whether a stream of this name is written by the save itself rather than carried over.
bool IsProjectOwned(const std::string& name) {
    int number = 0;
    return name == kProjectStream || name == kVariablesStream || name == kObservationsStream ||
           name == kBatchSettingsStream || name == kCenteringStream || NumberAfter(name, kInfoPrefix, number) ||
           NumberAfter(name, kDatasetPrefix, number);
}

// ---- reading -----------------------------------------------------------------------------------

ProjectFileError Damaged(const ProjectFileStorage& file, const std::string& name, const std::string& what) {
    return ProjectFileError(Kind::DamagedStream, "The stream \"" + name + "\" (" + what + ") of the project file " +
                                                     file.GetPath() + " is damaged.");
}

std::unique_ptr<std::istream> OpenRequired(const ProjectFileStorage& file, const std::string& name,
                                           const std::string& what) {
    std::unique_ptr<std::istream> is(file.OpenInputStream(name.c_str()));
    if (!is)
        throw ProjectFileError(
            Kind::DamagedStream,
            "The project file " + file.GetPath() + " is damaged: it lacks the stream \"" + name + "\" (" + what + ").");
    return is;
}

// Reads `object` from the stream `name`, which must be there and hold exactly one object.
void ReadObject(const ProjectFileStorage& file, const std::string& name, const std::string& what, ZStreamBase& object) {
    const std::unique_ptr<std::istream> is = OpenRequired(file, name, what);
    *is >> object;
    if (is->fail() || is->peek() != std::char_traits<char>::eof()) throw Damaged(file, name, what);
}

void ReadProjectRecord(const ProjectFileStorage& file, ReferenceProject& project) {
    const char* const what = "the project's settings";
    const std::unique_ptr<std::istream> is = OpenRequired(file, kProjectStream, what);
    int version = 0;
    std::uint32_t nextID = 0;
    std::int32_t models = 0;
    std::uint8_t answer = 0;
    if (!ZStreamLight::CheckMagicStringAndVersionNumber(*is, version, kProjectTag) || version != kProjectVersion ||
        !ReadFourBytes(&nextID, 1, *is) || !ReadFourBytes(&models, 1, *is) || !ReadBytes(&answer, 1, *is) ||
        is->peek() != std::char_traits<char>::eof() || nextID == 0 || models < 0 || answer > 1)
        throw Damaged(file, kProjectStream, what);
    project.SetNextUniqueID(nextID);
    project.SetNumberOfModels(models);
    project.SetBatchAnswer(answer != 0);
}

// ---- writing -----------------------------------------------------------------------------------

// Streams carried over from another file are copied in blocks of this size.
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;

// Writes the rows of a save inside its transaction and keeps the names written.
class Writer {
public:
    Writer(SqliteDatabase& database, const std::string& path, std::size_t partSize, NCProgress* progress,
           std::size_t streams)
        : mDatabase(database),
          mPath(path),
          mProgress(progress),
          mStreams(std::max<std::size_t>(streams, 1)),
          mDelete(database, "DELETE FROM streams WHERE name = ?1"),
          mInsert(database, "INSERT INTO streams(name, part, bytes) VALUES(?1, ?2, ?3)"),
          mRows(database, mInsert, "streams", "bytes", partSize) {}

    // The object's section as the stream `name`, stored part by part as it is written.
    void WriteObject(const std::string& name, const ZStreamBase& object) {
        Begin(name);
        mRows.Start(name);
        std::ostream os(&mRows);
        os << object;
        mRows.Finish();
        if (!os)
            throw ProjectFileError(
                Kind::Io, "Could not save to " + mPath + ": the stream \"" + name + "\" could not be written.");
        Done(name);
    }

    void WriteBytes(const std::string& name, const std::string& bytes) {
        Begin(name);
        mRows.Start(name);
        mRows.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        mRows.Finish();
        Done(name);
    }

    // The stream `name` copied from `source`, a part at a time.
    void Copy(const std::string& name, const ProjectFileStorage& source) {
        const std::unique_ptr<std::istream> is(source.OpenInputStream(name.c_str()));
        if (!is || is->fail())
            throw ProjectFileError(Kind::DamagedStream, "Could not save to " + mPath + ": the stream \"" + name +
                                                            "\" of " + source.GetPath() + " cannot be read.");
        Begin(name);
        mRows.Start(name);
        std::vector<char> block(kCopyBlock);
        do {
            is->read(block.data(), static_cast<std::streamsize>(block.size()));
            mRows.sputn(block.data(), is->gcount());
        } while (*is);
        mRows.Finish();
        if (is->bad())
            throw ProjectFileError(Kind::DamagedStream, "Could not save to " + mPath + ": the stream \"" + name +
                                                            "\" of " + source.GetPath() + " cannot be read.");
        Done(name);
    }

    // A stream left as the file holds it.
    void Keep(const std::string& name) { Done(name); }

    // Deletes the rows of every stream that this save did not write or keep.
    void DeleteOthers() {
        std::vector<std::string> others;
        {
            SqliteStatement names(mDatabase, "SELECT DISTINCT name FROM streams");
            while (names.Step())
                if (!mWritten.count(names.ColumnText(0))) others.push_back(names.ColumnText(0));
        }
        for (const std::string& name : others) Begin(name);
    }

private:
    // Removes the rows the stream had.
    void Begin(const std::string& name) {
        mDelete.BindText(1, name);
        mDelete.Step();
        mDelete.Reset();
    }

    void Done(const std::string& name) {
        mWritten.insert(name);
        if (mProgress)
            mProgress->SetValue(100.0 * static_cast<double>(mWritten.size()) / static_cast<double>(mStreams));
    }

    SqliteDatabase& mDatabase;
    const std::string& mPath;
    NCProgress* mProgress;
    std::size_t mStreams;
    SqliteStatement mDelete;
    SqliteStatement mInsert;
    SqliteRowWriter mRows;
    std::set<std::string> mWritten;
};

}  // namespace

namespace {

// Streams of the project that the save does not produce itself: the stored batch lists, the
// variable-ID lists and sections of unloaded datasets, and any other stream put into the storage.
void Carry(const std::string& name, const MemoryStorage& storage, bool sameFile, Writer& writer) {
    if (const std::string* bytes = storage.FindInMemory(name)) {
        writer.WriteBytes(name, *bytes);
    } else if (storage.Contains(name)) {
        // Saving into the file the project was read from keeps those rows as they are.
        if (sameFile)
            writer.Keep(name);
        else
            writer.Copy(name, *storage.GetBase());
    }
}

void SaveInto(ReferenceProject& project, const std::string& path, NCProgress* progress, std::size_t partSize) {
    SqliteDatabase database(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    // Each commit waits until the journal and the file are on the disk (SQLite's default, made sure).
    database.Execute("PRAGMA synchronous = FULL");
    // A new file gets pages of 64 KiB: a dataset is megabytes of BLOBs, which SQLite stores in a
    // chain of pages, and large pages write it several times faster than the default 4 KiB. An
    // existing file keeps its page size.
    database.Execute("PRAGMA page_size = 65536");
    SqliteTransaction transaction(database);
    if (ProjectFileStorage::Inspect(database, path) == ProjectFileStorage::Content::Empty) {
        const std::string schema =
            "CREATE TABLE streams(name TEXT NOT NULL, part INTEGER NOT NULL, bytes BLOB NOT NULL, "
            "PRIMARY KEY(name, part)); PRAGMA application_id = " +
            std::to_string(ProjectFileStorage::kApplicationID) +
            "; PRAGMA user_version = " + std::to_string(ProjectFileStorage::kLayoutVersion) + ";";
        database.Execute(schema.c_str());
    }

    const MemoryStorage& storage = project.GetMemoryStorage();
    const bool sameFile = storage.GetBase() && storage.GetBase()->IsSameFile(path);
    const std::vector<int> loaded = project.GetLoadedDatasetNumbers();
    const std::vector<int> unloaded = project.GetUnloadedDatasetNumbers();
    std::vector<std::string> carried;
    for (const std::string& name : storage.GetNames())
        if (!IsProjectOwned(name)) carried.push_back(name);
    Writer writer(database, path, partSize, progress, 2 * (loaded.size() + unloaded.size()) + carried.size() + 5);

    // The datasets first: describing a dataset may derive its batch list, which changes the
    // dataset and the project's batch import settings, written below.
    for (const int number : loaded) {
        const boost::shared_ptr<NCDataSet> dataset = project.GetDataset(number);
        writer.WriteObject(InfoStreamName(number), *project.GetDataSetInfo(number));
        writer.WriteObject(ReferenceProject::GetDatasetStreamName(number), *dataset);
    }
    for (const int number : unloaded) {
        writer.WriteObject(InfoStreamName(number), *project.GetDataSetInfo(number));
        Carry(ReferenceProject::GetDatasetStreamName(number), storage, sameFile, writer);
    }
    for (const std::string& name : carried) Carry(name, storage, sameFile, writer);

    writer.WriteObject(kVariablesStream, project.GetVariables());
    writer.WriteObject(kObservationsStream, project.GetObservations());
    writer.WriteObject(kBatchSettingsStream, project.GetBatchImportSettings(1));
    writer.WriteObject(kCenteringStream, *project.GetLocalCenteringData());
    std::ostringstream record;
    const auto nextID = static_cast<std::uint32_t>(project.GetNextUniqueID());
    const std::int32_t models = project.GetNumberOfModels();
    const std::uint8_t answer = project.AskBatchQuestion() ? 1 : 0;
    ZStreamLight::WriteMagicStringAndVersionNumber(record, kProjectVersion, kProjectTag);
    WriteFourBytes(&nextID, 1, record);
    WriteFourBytes(&models, 1, record);
    ::WriteBytes(&answer, 1, record);
    writer.WriteBytes(kProjectStream, record.str());

    writer.DeleteOthers();
    transaction.Commit();
    if (progress) progress->SetValue(100.0);
}

// Removes a file that a failed save created, with the journal it may have left.
void RemoveCreatedFile(const std::string& path) {
    unlink(path.c_str());
    unlink((path + "-journal").c_str());
}

}  // namespace

boost::shared_ptr<ReferenceProject> ProjectFile::Open(const std::string& path) {
    const auto file = std::make_shared<const ProjectFileStorage>(path);
    const boost::shared_ptr<ReferenceProject> project = ReferenceProject::Create();
    ReadProjectRecord(*file, *project);
    ReadObject(*file, kVariablesStream, "the variables", project->GetVariables());
    ReadObject(*file, kObservationsStream, "the observations", project->GetObservations());
    BatchImportSettings settings;
    ReadObject(*file, kBatchSettingsStream, "the batch import settings", settings);
    project->SetBatchImportSettings(settings);
    ReadObject(*file, kCenteringStream, "the local centering data", *project->GetLocalCenteringData());

    int number = 0;
    for (const std::string& name : file->GetNames()) {
        if (!NumberAfter(name, kInfoPrefix, number)) continue;
        const std::string what = "the description of dataset " + std::to_string(number);
        const auto info = boost::make_shared<NCDataSetInfo>(boost::static_pointer_cast<NCProjectBase>(project));
        ReadObject(*file, name, what, *info);
        if (info->GetNumber() != number) throw Damaged(*file, name, what);
        project->AddUnloadedDataset(info);
    }
    const std::vector<int> unloaded = project->GetUnloadedDatasetNumbers();
    for (const std::string& name : file->GetNames())
        if (NumberAfter(name, kDatasetPrefix, number) && !std::binary_search(unloaded.begin(), unloaded.end(), number))
            throw ProjectFileError(Kind::DamagedStream, "The project file " + path +
                                                            " is damaged: it lacks the stream \"" +
                                                            InfoStreamName(number) + "\" (the description of dataset " +
                                                            std::to_string(number) + ").");

    // The library reads these later, when it needs them; a damaged one is reported now.
    const std::string batchLists = project->GetStreamName(nc::StreamNameKind::kStoredBatchLists, 0);
    if (file->Contains(batchLists)) {
        const std::unique_ptr<std::istream> is(file->OpenInputStream(batchLists.c_str()));
        RUSPData record(*project);
        if (!record.ReadObject(*is)) throw Damaged(*file, batchLists, "the stored batch lists");
    }
    for (const int dataset : unloaded) {
        const std::string name = project->GetStreamName(nc::StreamNameKind::kDatasetVariableIDs, dataset);
        if (!file->Contains(name)) continue;
        NCIntegralVector<unsigned long, 0> ids;
        ReadObject(*file, name, "the variable IDs of dataset " + std::to_string(dataset), ids);
    }

    project->GetMemoryStorage().SetBase(file);
    return project;
}

void ProjectFile::Save(ReferenceProject& project, const std::string& path, NCProgress* progress) {
    Save(project, path, progress, ProjectFileStorage::kPartSize);
}

// What a save clears when it writes an object: the dirty flags of the loaded datasets and of the
// two collections. A save that does not commit puts them back, so that the unsaved changes still
// show as unsaved.
class DirtyFlags {
public:
    explicit DirtyFlags(ReferenceProject& project) : mProject(project) {
        for (const int number : project.GetLoadedDatasetNumbers())
            if (project.GetDataset(number)->IsDirty()) mDatasets.push_back(number);
        mVariables = project.GetVariables().IsDirty();
        mObservations = project.GetObservations().IsDirty();
    }
    void Restore() {
        for (const int number : mDatasets) {
            const boost::shared_ptr<NCDataSet> dataset = mProject.GetDataset(number);
            dataset->SetName(CString(dataset->GetName()));  // marks it dirty, nothing else
        }
        if (mVariables) mProject.GetVariables().SetIsDirty(true);
        if (mObservations) mProject.GetObservations().SetIsDirty(true);
    }

private:
    ReferenceProject& mProject;
    std::vector<int> mDatasets;
    bool mVariables, mObservations;
};

void ProjectFile::Save(ReferenceProject& project, const std::string& path, NCProgress* progress, std::size_t partSize) {
    struct stat info {};
    const bool existed = stat(path.c_str(), &info) == 0;
    DirtyFlags dirty(project);
    try {
        SaveInto(project, path, progress, std::max<std::size_t>(partSize, 1));
    } catch (const SqliteError& error) {
        dirty.Restore();
        if (!existed) RemoveCreatedFile(path);
        ProjectFileError reported = ProjectFileStorage::ErrorFor(error, path, "save to");
        throw ProjectFileError(reported.GetKind(), std::string(reported.what()) + " The file was left as it was.");
    } catch (...) {
        dirty.Restore();
        if (!existed) RemoveCreatedFile(path);
        throw;
    }
    // From now on the project reads its unloaded streams from the file it was saved to.
    try {
        MemoryStorage& storage = project.GetMemoryStorage();
        storage.SetBase(std::make_shared<const ProjectFileStorage>(path));
        storage.ClearMemory();
    } catch (const SqliteError& error) {
        throw ProjectFileStorage::ErrorFor(error, path, "open the saved");
    }
}
