#pragma once
// RecordReader: reads records framed by their class names, one after another, as
// RecordFactory::ReadRecord does. The factory and the creator of each class name are looked up
// once per reader, not once per record, and the class name is read into a buffer kept from one
// record to the next.

#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class VarObsInfo;

class RecordReader {
public:
    RecordReader();

    // Reads a class name and a record of that class; null when the name or the record cannot be
    // read. An unknown class name throws Exception ("Internal error: No factory found that
    // produces '…'." or "Internal error: Could not find a factory method for '…'."), as
    // RecordFactory::CreateRecord does; the caller decides.
    std::unique_ptr<VarObsInfo> Read(std::istream& is);

private:
    using Creator = std::function<std::unique_ptr<VarObsInfo>()>;

    const Creator& CreatorOf(const std::string& className);

    std::string mClassName;
    std::vector<std::pair<std::string, Creator>> mCreators;  // one entry per class name met
};
