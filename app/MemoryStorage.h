#pragma once
// MemoryStorage: a project storage that keeps its named streams in memory. The reference
// application and the tests put streams into it by name; the library reads them back through
// OpenInputStream.

#include <istream>
#include <map>
#include <string>

#include "dataset/ProjectStorage.h"

class MemoryStorage : public ProjectStorage {
public:
    MemoryStorage() = default;

    // Stores (or replaces) the stream of that name.
    void Put(const std::string& name, std::string bytes);
    // Removes the stream of that name; nothing when there is none.
    void Remove(const std::string& name);
    bool Contains(const std::string& name) const;

    // A new std::istringstream over a copy of the stream's bytes, owned by the caller; null for a
    // null or unknown name.
    std::istream* OpenInputStream(const char* name) const override;

private:
    std::map<std::string, std::string> mStreams;
};
