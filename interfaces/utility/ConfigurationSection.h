#pragma once
// ConfigurationSection: a node of the application's settings tree that the application hands to
// the library for saving and loading settings. A section holds named values (numbers and texts)
// and subsections; subsections are addressed by name, or by name and 0-based number when several
// share a name. Returned subsection pointers belong to the section.

#include "interfaces/utility/CString.h"

class ConfigurationSection {
public:
    virtual ~ConfigurationSection() = default;

    // The (first) subsection called `name`; when there is none, a new one when `create` is true,
    // otherwise null.
    virtual ConfigurationSection* GetSubSection(const char* name, bool create) = 0;
    // The number of subsections called `name`.
    virtual int CountSubSections(const char* name) const = 0;
    // The index-th subsection called `name`, 0-based; null when index is out of range.
    virtual ConfigurationSection* GetSubSection(const char* name, int index) = 0;
    // A new, empty subsection called `name`, after any that share the name.
    virtual ConfigurationSection* AddSubSection(const char* name) = 0;

    // True, with `value` set, when the key holds a number; otherwise false and `value` untouched.
    virtual bool GetDouble(const char* key, double& value) const = 0;
    virtual void SetDouble(const char* key, double value) = 0;
    // True, with `value` set, when the key exists; otherwise false and `value` untouched.
    virtual bool GetText(const char* key, CString& value) const = 0;
    virtual void SetText(const char* key, const char* value) = 0;
};
