#include "varobs/SelectedLabel.h"

#include <boost/thread/lock_guard.hpp>
#include <boost/thread/recursive_mutex.hpp>

#include "interfaces/streams/Section.h"

boost::signals2::signal<void(SelectedLabel*)> SelectedLabel::msSelectedlabelChange;

namespace {

// The process-wide change counter and the lock around it and the change signal. Recursive so
// that a signal handler may read the counter or change a label itself.
struct LabelChanges {
    boost::recursive_mutex lock;
    unsigned count = 1;
};

LabelChanges& Changes() {
    static LabelChanges changes;
    return changes;
}

// "SELECTED_LABLE" version 2, three sub-streams; only version 2 is read.
const Section& StreamSection() {
    static const Section section("SELECTED_LABLE", 2, 3);
    return section;
}

NCIntegralVector<int, -99> PrimaryOnly() {
    NCIntegralVector<int, -99> label;
    label.push_back(1);
    return label;
}

NCIntegralVector<int, -99> Translate(const NCIntegralVector<int, -99>& label, const std::vector<int>& aliases) {
    NCIntegralVector<int, -99> positions;
    const int count = static_cast<int>(label.size());
    for (int i = 1; i <= count; ++i) {
        const int alias = label[i];
        for (std::size_t p = 0; p < aliases.size(); ++p) {
            if (aliases[p] == alias) {
                positions.push_back(static_cast<int>(p) + 1);
                break;
            }
        }
    }
    return positions.size() == 0 ? PrimaryOnly() : positions;
}

}  // namespace

const ZStreamableData& SelectedLabel::StreamData() { return StreamSection().Data(); }

SelectedLabel::SelectedLabel() : mLongLabel(PrimaryOnly()), mShortLabel(PrimaryOnly()) {}

SelectedLabel::SelectedLabel(const SelectedLabel& other) = default;

SelectedLabel& SelectedLabel::operator=(const SelectedLabel& other) = default;

SelectedLabel::~SelectedLabel() = default;

void SelectedLabel::SetSelected(int k, const std::vector<int>& aliases, bool shortLabel) {
    if (k < 1 || k > static_cast<int>(aliases.size())) return;
    const int alias = aliases[k - 1];
    NCIntegralVector<int, -99>& label = shortLabel ? mShortLabel : mLongLabel;

    NCIntegralVector<int, -99> toggled;
    bool found = false;
    const int count = static_cast<int>(label.size());
    for (int i = 1; i <= count; ++i) {
        if (!found && label[i] == alias) {
            found = true;
            continue;
        }
        toggled.push_back(label[i]);
    }
    if (!found) toggled.push_back(alias);
    label = toggled.size() == 0 ? PrimaryOnly() : toggled;

    LabelChanges& changes = Changes();
    const boost::lock_guard<boost::recursive_mutex> guard(changes.lock);
    ++changes.count;
    msSelectedlabelChange(this);
}

NCIntegralVector<int, -99> SelectedLabel::GetSelectedLongLabel(const std::vector<int>& aliases) const {
    return Translate(mLongLabel, aliases);
}

NCIntegralVector<int, -99> SelectedLabel::GetSelectedShortLabel(const std::vector<int>& aliases) const {
    return Translate(mShortLabel, aliases);
}

unsigned SelectedLabel::GetVersionCount() {
    LabelChanges& changes = Changes();
    const boost::lock_guard<boost::recursive_mutex> guard(changes.lock);
    return changes.count;
}

bool SelectedLabel::ZStreamableStartWrite(std::ostream& os) {
    const auto bases = [&] { return ZStreamBase::ZStreamableStartWrite(os); };
    return StreamSection().Write(os, mSection, bases, [&](SectionOutput& out) {
        out.Write(0, GetVersionCount());
        out.Write(1, mLongLabel);
        out.Write(2, mShortLabel);
    });
}

bool SelectedLabel::ZStreamableStartRead(std::istream& is) {
    const auto bases = [&] { return ZStreamBase::ZStreamableStartRead(is); };
    return StreamSection().Read(is, mSection, bases, [&](SectionInput& in) {
        unsigned count = 0;
        in.Required(0, count);
        {
            LabelChanges& changes = Changes();
            const boost::lock_guard<boost::recursive_mutex> guard(changes.lock);
            changes.count = count;
        }
        in.Required(1, mLongLabel);
        in.Required(2, mShortLabel);
    });
}

void SelectedLabel::ZStreamableReset() {
    mSection.Reset();
    ZStreamBase::ZStreamableReset();
}
