#pragma once
// ClassInfoVector: an ordered list of phases. Copying clones every phase, so two lists never
// share one and a change to a copy's phase leaves the source as it was. Positions are 0-based.
// Not a persistent object of its own: the classes that hold a phase list write it with the
// field helpers below, as a 4-byte count and then per phase a presence byte (0 for an empty
// element, 1) followed by the phase's "DPINFO" section.

#include <boost/shared_ptr.hpp>

#include <cstddef>
#include <istream>
#include <ostream>
#include <vector>

#include "batchinfo/ClassInfo.h"

class ClassInfoVector {
public:
    using value_type = boost::shared_ptr<ClassInfo>;
    using iterator = std::vector<value_type>::iterator;
    using const_iterator = std::vector<value_type>::const_iterator;

    ClassInfoVector() = default;
    // Clones every phase of `other`.
    ClassInfoVector(const ClassInfoVector& other);
    ClassInfoVector& operator=(const ClassInfoVector& other);
    // Moving hands the phases over; nothing is shared afterwards either.
    ClassInfoVector(ClassInfoVector&& other) noexcept = default;
    ClassInfoVector& operator=(ClassInfoVector&& other) noexcept = default;
    ~ClassInfoVector() = default;

    std::size_t size() const { return mPhases.size(); }
    bool empty() const { return mPhases.empty(); }
    iterator begin() { return mPhases.begin(); }
    iterator end() { return mPhases.end(); }
    const_iterator begin() const { return mPhases.begin(); }
    const_iterator end() const { return mPhases.end(); }
    // 0-based; the caller keeps i in range.
    value_type& operator[](std::size_t i) { return mPhases[i]; }
    const value_type& operator[](std::size_t i) const { return mPhases[i]; }
    value_type& front() { return mPhases.front(); }
    const value_type& front() const { return mPhases.front(); }
    value_type& back() { return mPhases.back(); }
    const value_type& back() const { return mPhases.back(); }
    // Appends the phase itself (not a clone).
    void push_back(const value_type& phase) { mPhases.push_back(phase); }
    void pop_back() { mPhases.pop_back(); }
    iterator insert(const_iterator at, const value_type& phase) { return mPhases.insert(at, phase); }
    iterator erase(const_iterator at) { return mPhases.erase(at); }
    iterator erase(const_iterator first, const_iterator last) { return mPhases.erase(first, last); }
    void clear() { mPhases.clear(); }
    void reserve(std::size_t n) { mPhases.reserve(n); }

    // Same length and every pair of phases equal (ClassInfo::operator==), in order. An empty
    // element equals only an empty element.
    bool operator==(const ClassInfoVector& other) const;
    bool operator!=(const ClassInfoVector& other) const { return !(*this == other); }

private:
    std::vector<value_type> mPhases;
};

// Field helpers (see interfaces/streams/streamhelpers.h): the list as a count and its phases.
// Reading replaces the list only when every phase could be read.
bool WriteToStream(const ClassInfoVector& phases, std::ostream& os);
bool ReadValue(ClassInfoVector& phases, std::istream& is);
