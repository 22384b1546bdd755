#include "app/MemoryStorage.h"

#include <sstream>
#include <utility>

void MemoryStorage::Put(const std::string& name, std::string bytes) { mStreams[name] = std::move(bytes); }

void MemoryStorage::Remove(const std::string& name) { mStreams.erase(name); }

bool MemoryStorage::Contains(const std::string& name) const { return mStreams.count(name) != 0; }

std::istream* MemoryStorage::OpenInputStream(const char* name) const {
    if (!name) return nullptr;
    const auto found = mStreams.find(name);
    if (found == mStreams.end()) return nullptr;
    return new std::istringstream(found->second);
}
