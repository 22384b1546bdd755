#pragma once
// ColumnConcatenateInfo: one ID built at import by concatenating several import columns with a
// separator.
//
// Section "CCI", version 2, without a directory: the columns (an index vector object), then the
// separator (a binary string). Versions 0 to 2 are read.

#include <istream>
#include <ostream>
#include <string>
#include <utility>

#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class ColumnConcatenateInfo : public ZStreamBase {
public:
    ColumnConcatenateInfo() = default;
    ColumnConcatenateInfo(const NCIntegralVector<int, -99>& columns, std::string separator)
        : mColumns(columns), mSeparator(std::move(separator)) {}
    ColumnConcatenateInfo(const ColumnConcatenateInfo&) = default;
    ColumnConcatenateInfo& operator=(const ColumnConcatenateInfo&) = default;
    ~ColumnConcatenateInfo() override = default;

    // The import column numbers, in concatenation order.
    const NCIntegralVector<int, -99>& GetColumns() const { return mColumns; }
    const std::string& GetSeparatorChar() const { return mSeparator; }

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version above 2 or a short stream; never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    NCIntegralVector<int, -99> mColumns;
    std::string mSeparator;
    SectionFlag mSection;
};
