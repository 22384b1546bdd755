#include "app/MemoryConfigurationSection.h"

#include <cctype>
#include <charconv>

#include "interfaces/utility/ZoString.h"  // zostrtod

namespace {

std::string Name(const char* text) { return text ? text : ""; }

}  // namespace

ConfigurationSection* MemoryConfigurationSection::GetSubSection(const char* name, bool create) {
    ConfigurationSection* found = GetSubSection(name, 0);
    if (found || !create) return found;
    return AddSubSection(name);
}

int MemoryConfigurationSection::CountSubSections(const char* name) const {
    const std::string wanted = Name(name);
    int count = 0;
    for (const auto& entry : mSubSections) {
        if (entry.first == wanted) ++count;
    }
    return count;
}

ConfigurationSection* MemoryConfigurationSection::GetSubSection(const char* name, int index) {
    if (index < 0) return nullptr;
    const std::string wanted = Name(name);
    for (const auto& entry : mSubSections) {
        if (entry.first != wanted) continue;
        if (index == 0) return entry.second.get();
        --index;
    }
    return nullptr;
}

ConfigurationSection* MemoryConfigurationSection::AddSubSection(const char* name) {
    mSubSections.emplace_back(Name(name), std::make_unique<MemoryConfigurationSection>());
    return mSubSections.back().second.get();
}

bool MemoryConfigurationSection::GetDouble(const char* key, double& value) const {
    const auto found = mValues.find(Name(key));
    if (found == mValues.end()) return false;
    const char* text = found->second.c_str();
    char* end = nullptr;
    const double number = zostrtod(text, &end);
    if (end == text) return false;
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    if (*end != '\0') return false;
    value = number;
    return true;
}

void MemoryConfigurationSection::SetDouble(const char* key, double value) {
    // The shortest text that reads back as the same double, with '.' whatever the locale.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    mValues[Name(key)] = std::string(buffer, result.ptr);
}

bool MemoryConfigurationSection::GetText(const char* key, CString& value) const {
    const auto found = mValues.find(Name(key));
    if (found == mValues.end()) return false;
    value = CString(found->second);
    return true;
}

void MemoryConfigurationSection::SetText(const char* key, const char* value) { mValues[Name(key)] = Name(value); }
