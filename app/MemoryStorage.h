#pragma once
// MemoryStorage: a project storage that keeps its named streams in memory. The reference
// application and the tests put streams into it by name; the library reads them back through
// OpenInputStream.
//
// A storage can rest on a project file (SetBase): the streams it does not hold itself are then
// read from the file, so that a project opened from a file reads a stream only when it is asked
// for. Put and Remove change the storage only, never the file; a save writes what the storage
// shows (GetNames) into a file.

#include <istream>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "dataset/ProjectStorage.h"

class ProjectFileStorage;

class MemoryStorage : public ProjectStorage {
public:
    MemoryStorage() = default;

    // Stores (or replaces) the stream of that name.
    void Put(const std::string& name, std::string bytes);
    // Removes the stream of that name, also from what the storage shows of its base; nothing
    // when there is none.
    void Remove(const std::string& name);
    bool Contains(const std::string& name) const;

    // A new std::istringstream over a copy of the stream's bytes, owned by the caller, for a stream
    // held in memory; for one of the base, the base's stream; null for a null or unknown name.
    std::istream* OpenInputStream(const char* name) const override;

    // Rests the storage on `base` (null: on nothing). Streams held in memory stay and hide the
    // base's of the same name; earlier removals are forgotten.
    void SetBase(std::shared_ptr<const ProjectFileStorage> base);
    const std::shared_ptr<const ProjectFileStorage>& GetBase() const { return mBase; }
    // The names of every stream the storage shows: those held in memory and the base's that were
    // not removed, sorted.
    std::set<std::string> GetNames() const;
    // The bytes of the stream of that name when it is held in memory; null otherwise (also when
    // it is shown from the base).
    const std::string* FindInMemory(const std::string& name) const;
    // Forgets the streams held in memory (after they were saved into the base).
    void ClearMemory() { mStreams.clear(); }

private:
    std::map<std::string, std::string> mStreams;
    std::shared_ptr<const ProjectFileStorage> mBase;
    // Names of the base's streams that were removed.
    std::set<std::string> mRemoved;
};
