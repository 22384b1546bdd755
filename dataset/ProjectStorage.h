#pragma once
// ProjectStorage: where a project keeps its named streams (stored datasets, variable-ID lists of
// unloaded datasets, stored batch lists). The library only reads from it; how streams are written
// is the application's business.

#include <istream>

class ProjectStorage {
public:
    virtual ~ProjectStorage() = default;

    // A new stream positioned at the start of the named stream, owned (and deleted) by the caller;
    // null when the storage has no stream of that name.
    virtual std::istream* OpenInputStream(const char* name) const = 0;

protected:
    ProjectStorage() = default;
    ProjectStorage(const ProjectStorage&) = default;
    ProjectStorage& operator=(const ProjectStorage&) = default;
};
