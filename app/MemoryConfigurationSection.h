#pragma once
// MemoryConfigurationSection: a settings tree held in memory. Values live as texts under
// case-sensitive keys, as in a settings file: SetDouble stores the number's shortest exact text
// ("C" rules), GetDouble accepts a key whose text is wholly one number, and GetText reads any key.
// Subsections keep their order of creation; GetSubSection(name, create) is the first of that name.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "interfaces/utility/ConfigurationSection.h"

class MemoryConfigurationSection : public ConfigurationSection {
public:
    MemoryConfigurationSection() = default;
    MemoryConfigurationSection(const MemoryConfigurationSection&) = delete;
    MemoryConfigurationSection& operator=(const MemoryConfigurationSection&) = delete;

    ConfigurationSection* GetSubSection(const char* name, bool create) override;
    int CountSubSections(const char* name) const override;
    ConfigurationSection* GetSubSection(const char* name, int index) override;
    ConfigurationSection* AddSubSection(const char* name) override;

    bool GetDouble(const char* key, double& value) const override;
    void SetDouble(const char* key, double value) override;
    bool GetText(const char* key, CString& value) const override;
    void SetText(const char* key, const char* value) override;

private:
    std::map<std::string, std::string> mValues;
    std::vector<std::pair<std::string, std::unique_ptr<MemoryConfigurationSection>>> mSubSections;
};
