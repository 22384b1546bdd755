#include "batchinfo/ClassInfoVector.h"

#include <utility>

#include "interfaces/streams/streamhelpers.h"

ClassInfoVector::ClassInfoVector(const ClassInfoVector& other) {
    mPhases.reserve(other.mPhases.size());
    for (const value_type& phase : other.mPhases) mPhases.push_back(phase ? phase->Clone() : value_type());
}

ClassInfoVector& ClassInfoVector::operator=(const ClassInfoVector& other) {
    if (this != &other) {
        ClassInfoVector copy(other);
        mPhases.swap(copy.mPhases);
    }
    return *this;
}

bool ClassInfoVector::operator==(const ClassInfoVector& other) const {
    if (mPhases.size() != other.mPhases.size()) return false;
    for (std::size_t i = 0; i < mPhases.size(); ++i) {
        const ClassInfo* mine = mPhases[i].get();
        const ClassInfo* theirs = other.mPhases[i].get();
        if (!mine || !theirs) {
            if (mine != theirs) return false;
        } else if (*mine != *theirs) {
            return false;
        }
    }
    return true;
}

bool WriteToStream(const ClassInfoVector& phases, std::ostream& os) {
    const std::vector<ClassInfoVector::value_type> elements(phases.begin(), phases.end());
    return WriteToStream(elements, os);
}

bool ReadValue(ClassInfoVector& phases, std::istream& is) {
    std::vector<ClassInfoVector::value_type> elements;
    if (!ReadValue(elements, is)) return false;
    ClassInfoVector read;
    read.reserve(elements.size());
    for (auto& phase : elements) read.push_back(std::move(phase));
    phases = std::move(read);
    return true;
}
