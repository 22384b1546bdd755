#include "app/MemoryStorage.h"

#include <sstream>
#include <utility>

#include "app/ProjectFileStorage.h"

void MemoryStorage::Put(const std::string& name, std::string bytes) {
    mStreams[name] = std::move(bytes);
    mRemoved.erase(name);
}

void MemoryStorage::Remove(const std::string& name) {
    mStreams.erase(name);
    if (mBase && mBase->Contains(name)) mRemoved.insert(name);
}

bool MemoryStorage::Contains(const std::string& name) const {
    return mStreams.count(name) != 0 || (mBase && !mRemoved.count(name) && mBase->Contains(name));
}

std::istream* MemoryStorage::OpenInputStream(const char* name) const {
    if (!name) return nullptr;
    const auto found = mStreams.find(name);
    if (found != mStreams.end()) return new std::istringstream(found->second);
    if (!mBase || mRemoved.count(name)) return nullptr;
    return mBase->OpenInputStream(name);
}

void MemoryStorage::SetBase(std::shared_ptr<const ProjectFileStorage> base) {
    mBase = std::move(base);
    mRemoved.clear();
}

std::set<std::string> MemoryStorage::GetNames() const {
    std::set<std::string> names;
    for (const auto& entry : mStreams) names.insert(entry.first);
    if (mBase)
        for (const std::string& name : mBase->GetNames())
            if (!mRemoved.count(name)) names.insert(name);
    return names;
}

const std::string* MemoryStorage::FindInMemory(const std::string& name) const {
    const auto found = mStreams.find(name);
    return found == mStreams.end() ? nullptr : &found->second;
}
