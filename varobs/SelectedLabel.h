#pragma once
// SelectedLabel: which alias columns of a collection form the long and the short label of its
// items. Each label is a list of alias numbers in selection order and is never empty (alias 1,
// the primary ID, when nothing else is selected).
//
// Every change is announced process-wide: a change counter (GetVersionCount) rises by one and
// msSelectedlabelChange is raised with the changed label, both under one process-wide recursive
// lock, so concurrent changes are counted one by one and their signals never overlap; a handler
// may read the counter or change a label on its own thread. The labels themselves are not
// guarded: one label is changed by one thread at a time.

#include <boost/signals2/signal.hpp>

#include <iosfwd>
#include <vector>

#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class SelectedLabel : public ZStreamBase {
public:
    // Both labels hold alias 1.
    SelectedLabel();
    SelectedLabel(const SelectedLabel& other);
    SelectedLabel& operator=(const SelectedLabel& other);
    ~SelectedLabel() override;

    // Toggles the k-th (1-based) alias of `aliases` in the short label (shortLabel true) or the
    // long label: appended when absent, removed when present, alias 1 when the label would be
    // empty. Then raises the change counter and the signal. A k outside the list does nothing.
    void SetSelected(int k, const std::vector<int>& aliases, bool shortLabel);
    // The label as 1-based positions within `aliases`, in label order; selected aliases missing
    // from the list are skipped; position 1 when nothing remains.
    NCIntegralVector<int, -99> GetSelectedLongLabel(const std::vector<int>& aliases) const;
    NCIntegralVector<int, -99> GetSelectedShortLabel(const std::vector<int>& aliases) const;

    // The process-wide change counter (starts at 1; replaced by every label read from a stream).
    static unsigned GetVersionCount();
    // Raised after every SetSelected with the changed label.
    static boost::signals2::signal<void(SelectedLabel*)> msSelectedlabelChange;

    // "SELECTED_LABLE" section, version 2: the change counter, the long label, the short label.
    // Reading accepts version 2 only and replaces the process-wide counter.
    bool ZStreamableStartWrite(std::ostream& os) override;
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

private:
    static const ZStreamableData& StreamData();

    CopiedSectionFlag mSection;
    NCIntegralVector<int, -99> mLongLabel;
    NCIntegralVector<int, -99> mShortLabel;
};
