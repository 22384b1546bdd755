#pragma once
// RecordWriter: writes records of mixed classes one after another, each framed by its registered
// class name, as RecordFactory::WriteRecord does. The class name of each run-time type is looked
// up in the factory repository once per writer, not once per record, so a collection writes a
// million records without a million look-ups.

#include <ostream>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

class VarObsInfo;

class RecordWriter {
public:
    RecordWriter();

    // Writes the class name (a binary string) and the record. A record of an unregistered class is
    // not written: the stream's failbit is set and the result is false.
    bool Write(const VarObsInfo& record, std::ostream& os);

private:
    // The registered name of the record's run-time type; "" when it has none.
    const std::string& ClassNameOf(const VarObsInfo& record);

    std::vector<std::pair<const std::type_info*, std::string>> mNames;  // one entry per type met
};
