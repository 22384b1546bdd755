#pragma once
// SectionFlag: the section-done flag of one class in one persistent object (see Section.h).

// Set while one class's part of an object has been handled in the current write or read pass, so
// that an object reached twice (through two persistent bases) is handled once. A copy starts
// unset: copying an object in the middle of a pass does not copy the pass.
class SectionFlag {
public:
    SectionFlag() = default;
    SectionFlag(const SectionFlag&) noexcept {}
    SectionFlag& operator=(const SectionFlag&) noexcept { return *this; }

    // True the first time in a pass (and sets the flag), false when already handled.
    bool Enter() {
        if (mSet) return false;
        mSet = true;
        return true;
    }
    // Ends the pass; ZStreamableReset calls it.
    void Reset() { mSet = false; }
    bool IsSet() const { return mSet; }

protected:
    bool mSet = false;
};

// A section flag that copies take along: for classes whose copies promise every field, the
// section flag included (the records and the selected label).
class CopiedSectionFlag : public SectionFlag {
public:
    CopiedSectionFlag() = default;
    CopiedSectionFlag(const CopiedSectionFlag& other) noexcept : SectionFlag() { mSet = other.mSet; }
    CopiedSectionFlag& operator=(const CopiedSectionFlag& other) noexcept {
        mSet = other.mSet;
        return *this;
    }
};
