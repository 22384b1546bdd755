#pragma once
// ProjectFile: the reference application's project on disk, one SQLite file. The project's named
// streams (both collections, every dataset, the batch import settings, the local centering data,
// the stored batch lists and the dataset descriptions) are the rows of one table. Opening never
// changes the file; a save replaces its content in one transaction, so a crash, a kill or a full
// disk during a save leaves the previous project in the file.

#include <cstddef>
#include <string>

#include <boost/shared_ptr.hpp>

#include "app/ProjectFileError.h"
#include "app/ReferenceProject.h"

class NCProgress;

class ProjectFile {
public:
    // Opens an existing project file: collections, settings, centering data, stored batch lists and
    // information records are read; datasets load on demand. Throws ProjectFileError.
    static boost::shared_ptr<ReferenceProject> Open(const std::string& path);
    // Writes the whole project (every loaded dataset, and the unloaded ones' streams kept as they are)
    // into `path` in one transaction, creating the file when missing. Throws ProjectFileError; on failure
    // the file holds its previous content. `progress` may be null.
    // `progress` moves over 0 ... 100 as the streams are written; it cannot cancel a save. Afterwards the
    // project reads its unloaded datasets and stored streams from `path`.
    static void Save(ReferenceProject& project, const std::string& path, NCProgress* progress = nullptr);
    // Save with every stream cut into rows of at most `partSize` bytes (Save uses
    // ProjectFileStorage::kPartSize), which lets a test reach streams of several rows with little data.
    static void Save(ReferenceProject& project, const std::string& path, NCProgress* progress, std::size_t partSize);
};
