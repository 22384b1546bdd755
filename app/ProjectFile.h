#pragma once
// ProjectFile: the reference application's project on disk, one SQLite file. The project's named
// streams (both collections, every dataset, the batch import settings, the local centering data,
// the stored batch lists and the dataset descriptions) are the rows of one table. Opening never
// changes the file; a save replaces its content in one transaction, so a crash, a kill or a full
// disk during a save leaves the previous project in the file.

#include <stdexcept>
#include <string>

#include <boost/shared_ptr.hpp>

#include "app/ReferenceProject.h"

class NCProgress;

// What went wrong with a project file; the message names the file and, for a damaged stream, the
// stream.
class ProjectFileError : public std::runtime_error {
public:
    enum class Kind {
        NotAProject,    // missing, not SQLite, or SQLite without this application's table
        NewerVersion,   // written by a newer version of the application
        DamagedStream,  // a stream is missing or cannot be read
        Io              // the file could not be read or written (full disk, no permission, ...)
    };

    ProjectFileError(Kind kind, const std::string& message) : std::runtime_error(message), mKind(kind) {}
    Kind GetKind() const { return mKind; }

private:
    Kind mKind;
};

class ProjectFile {
public:
    // Opens an existing project file: collections, settings, centering data, stored batch lists and
    // information records are read; datasets load on demand. Throws ProjectFileError.
    static boost::shared_ptr<ReferenceProject> Open(const std::string& path);
    // Writes the whole project (every loaded dataset, and the unloaded ones' streams kept as they are)
    // into `path` in one transaction, creating the file when missing. Throws ProjectFileError; on failure
    // the file holds its previous content. `progress` may be null.
    static void Save(ReferenceProject& project, const std::string& path, NCProgress* progress = nullptr);
};
