#pragma once
// ColumnConcatenateInfo: one ID built at import by concatenating several import columns with a
// separator.

#include <string>
#include <utility>

#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/Section.h"
#include "interfaces/streams/ZStreamBase.h"

class ColumnConcatenateInfo : public ZStreamBase {
public:
    ColumnConcatenateInfo() = default;
    ColumnConcatenateInfo(const NCIntegralVector<int, -99>& columns, std::string separator)
        : mColumns(columns), mSeparator(std::move(separator))
    {
    }
    ColumnConcatenateInfo(const ColumnConcatenateInfo&) = default;
    ColumnConcatenateInfo& operator=(const ColumnConcatenateInfo&) = default;
    ~ColumnConcatenateInfo() override = default;

    // The import column numbers, in concatenation order.
    const NCIntegralVector<int, -99>& GetColumns() const { return mColumns; }
    const std::string& GetSeparatorChar() const { return mSeparator; }

    // Not persistent yet: writing or reading fails (the stream's failbit is set) rather than
    // writing nothing and reporting success.
    bool ZStreamableStartWrite(std::ostream& os) override { return Section::NotAvailable(os); }
    bool ZStreamableStartRead(std::istream& is) override { return Section::NotAvailable(is); }

private:
    NCIntegralVector<int, -99> mColumns;
    std::string mSeparator;
};
