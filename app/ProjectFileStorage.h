#pragma once
// ProjectFileStorage: the named streams of a project file, read-only. The file is an SQLite
// database whose application ID says that it is a project and whose user version is the layout
// of the file; its one table holds each stream as one or more rows:
//
//   CREATE TABLE streams(name TEXT NOT NULL, part INTEGER NOT NULL, bytes BLOB NOT NULL,
//                        PRIMARY KEY(name, part))
//
// A stream is the concatenation of its rows' bytes in part order (0, 1, 2, ...), so a stream may
// be longer than SQLite's limit for one BLOB. The storage opens the file read-only and keeps the
// connection for the streams read later; it never writes to the file. The one exception is a
// save that was interrupted (a crash, a kill): SQLite's rollback journal is then played back
// once, which puts the file back to the project it held before that save.

#include <cstdint>
#include <istream>
#include <memory>
#include <set>
#include <string>

#include "dataset/ProjectStorage.h"

class ProjectFileError;
class SqliteDatabase;
class SqliteError;

class ProjectFileStorage : public ProjectStorage {
public:
    // "NCDS", in SQLite's application_id header field.
    static constexpr std::int32_t kApplicationID = 0x4E434453;
    // The layout this version writes and the newest it reads.
    static constexpr std::int32_t kLayoutVersion = 1;
    // The longest row a save writes; longer streams take several rows. Rows of a few MiB are the
    // fastest to write: SQLite copies each row whole into a buffer of its own before it pages it.
    static constexpr std::size_t kPartSize = std::size_t{4} << 20;

    // Opens the project file at `path` and lists its streams. Throws ProjectFileError: Io when
    // the file cannot be opened or read, NotAProject, NewerVersion, and DamagedStream when the
    // database itself is damaged.
    explicit ProjectFileStorage(const std::string& path);
    ~ProjectFileStorage() override;

    // A new stream over the named stream's bytes (read from the file as the caller reads), owned
    // by the caller; null for a null name or one the file did not hold when it was opened. When
    // the rows are damaged (parts missing, not bytes, a damaged database) the stream is returned
    // already failed, so a reader reports it as damaged rather than absent. Throws
    // ProjectFileError (Io) when the file cannot be read at all (locked by a writer, an I/O
    // error). The stream holds a read lock on the file until it is deleted.
    std::istream* OpenInputStream(const char* name) const override;

    bool Contains(const std::string& name) const { return mNames.count(name) != 0; }
    // The names of the streams as the file was opened, sorted.
    const std::set<std::string>& GetNames() const { return mNames; }
    const std::string& GetPath() const { return mPath; }
    // True when `path` names this very file (the same device and inode), also under another name.
    bool IsSameFile(const std::string& path) const;

    // What an open database holds.
    enum class Content { Empty, Project };
    // Reads the header of `database` (the file at `path`): Empty for a database without tables
    // and without an application ID (a new or empty file), Project for a project of a layout this
    // version reads. Throws ProjectFileError for anything else and SqliteError when it cannot read.
    static Content Inspect(SqliteDatabase& database, const std::string& path);
    // The error to report for an SQLite failure while `doing` something with the file at `path`.
    static ProjectFileError ErrorFor(const SqliteError& error, const std::string& path, const std::string& doing);

private:
    std::string mPath;
    std::shared_ptr<SqliteDatabase> mDatabase;
    std::set<std::string> mNames;
    std::uint64_t mDevice = 0;
    std::uint64_t mInode = 0;
};
