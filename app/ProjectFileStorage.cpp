#include "app/ProjectFileStorage.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <sstream>
#include <utility>
#include <vector>

#include "app/ProjectFileError.h"
#include "app/SqliteBlobStream.h"
#include "app/SqliteDatabase.h"

namespace {

using Kind = ProjectFileError::Kind;

std::istream* FailedStream() {
    auto* stream = new std::istringstream();
    stream->setstate(std::ios_base::failbit);
    return stream;
}

// Opens `path` read-only and inspects it. A save that was interrupted leaves a hot rollback
// journal, which a read-only connection cannot play back (SQLITE_READONLY_ROLLBACK); a
// read-write connection plays it back on its first read, and the file is then read-only again.
std::shared_ptr<SqliteDatabase> OpenReadOnly(const std::string& path, ProjectFileStorage::Content& content) {
    auto database = std::make_shared<SqliteDatabase>(path, SQLITE_OPEN_READONLY);
    try {
        content = ProjectFileStorage::Inspect(*database, path);
        return database;
    } catch (const SqliteError& error) {
        if (error.GetCode() != SQLITE_READONLY_ROLLBACK) throw;
    }
    database.reset();
    {
        SqliteDatabase recovery(path, SQLITE_OPEN_READWRITE);
        recovery.QueryInteger("SELECT count(*) FROM sqlite_master");
    }
    database = std::make_shared<SqliteDatabase>(path, SQLITE_OPEN_READONLY);
    content = ProjectFileStorage::Inspect(*database, path);
    return database;
}

}  // namespace

ProjectFileStorage::ProjectFileStorage(const std::string& path) : mPath(path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        throw ProjectFileError(Kind::Io, "Could not open " + path + ": " + std::strerror(errno) + ".");
    if (!S_ISREG(info.st_mode))
        throw ProjectFileError(Kind::NotAProject, path + " is not a project file (not a file).");
    mDevice = info.st_dev;
    mInode = info.st_ino;
    try {
        Content content = Content::Empty;
        mDatabase = OpenReadOnly(path, content);
        if (content == Content::Empty)
            throw ProjectFileError(Kind::NotAProject, path + " is not a project file (an empty database).");
        SqliteStatement names(*mDatabase, "SELECT DISTINCT name FROM streams");
        while (names.Step()) mNames.insert(names.ColumnText(0));
    } catch (const SqliteError& error) {
        throw ErrorFor(error, path, "open");
    }
}

ProjectFileStorage::~ProjectFileStorage() = default;

std::istream* ProjectFileStorage::OpenInputStream(const char* name) const {
    if (!name || !Contains(name)) return nullptr;
    const std::string key(name);
    try {
        SqliteStatement query(
            *mDatabase, "SELECT rowid, part, length(bytes), typeof(bytes) FROM streams WHERE name = ?1 ORDER BY part");
        query.BindText(1, key);
        std::vector<SqliteBlobStream::Piece> pieces;
        while (query.Step()) {
            // The parts must be 0, 1, 2, ... and hold bytes: a gap or another type is damage.
            if (query.ColumnInteger(1) != static_cast<std::int64_t>(pieces.size()) || query.ColumnText(3) != "blob")
                return FailedStream();
            pieces.push_back({query.ColumnInteger(0), query.ColumnInteger(2)});
        }
        if (pieces.empty()) return FailedStream();  // removed by another program since the file was opened
        return new SqliteBlobStream(mDatabase, "streams", "bytes", std::move(pieces));
    } catch (const SqliteError& error) {
        if (error.GetPrimaryCode() == SQLITE_CORRUPT) return FailedStream();
        throw ErrorFor(error, mPath, "read \"" + key + "\" from");
    }
}

bool ProjectFileStorage::IsSameFile(const std::string& path) const {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_dev == mDevice && info.st_ino == mInode;
}

ProjectFileStorage::Content ProjectFileStorage::Inspect(SqliteDatabase& database, const std::string& path) {
    // The first read checks SQLite's own header: a file of another kind fails here with SQLITE_NOTADB.
    const std::int64_t objects = database.QueryInteger("SELECT count(*) FROM sqlite_master");
    const std::int64_t application = database.QueryInteger("PRAGMA application_id");
    const std::int64_t layout = database.QueryInteger("PRAGMA user_version");
    if (objects == 0 && application == 0 && layout == 0) return Content::Empty;
    if (application != kApplicationID)
        throw ProjectFileError(Kind::NotAProject,
                               path + " is not a project file (an SQLite database of another application).");
    if (layout > kLayoutVersion)
        throw ProjectFileError(Kind::NewerVersion,
                               path + " was written by a newer version of the application (file layout " +
                                   std::to_string(layout) + "; this version reads layouts up to " +
                                   std::to_string(kLayoutVersion) + ").");
    const std::int64_t tables =
        database.QueryInteger("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'streams'");
    if (layout < 1 || tables != 1)
        throw ProjectFileError(Kind::DamagedStream,
                               "The project file " + path + " is damaged: it has no table of streams.");
    return Content::Project;
}

ProjectFileError ProjectFileStorage::ErrorFor(const SqliteError& error, const std::string& path,
                                              const std::string& doing) {
    switch (error.GetPrimaryCode()) {
        case SQLITE_NOTADB:
            return ProjectFileError(Kind::NotAProject, path + " is not a project file (not an SQLite database).");
        case SQLITE_CORRUPT:
            return ProjectFileError(Kind::DamagedStream,
                                    "The project file " + path + " is damaged (" + error.what() + ").");
        case SQLITE_FULL:
            return ProjectFileError(Kind::Io, "Could not " + doing + " " + path + ": the disk is full.");
        default:
            return ProjectFileError(Kind::Io, "Could not " + doing + " " + path + ": " + error.what() + ".");
    }
}
