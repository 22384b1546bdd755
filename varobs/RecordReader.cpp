#include "varobs/RecordReader.h"

#include "interfaces/streams/FactoryRepository.h"
#include "interfaces/utility/BinaryIO.h"
#include "varobs/RecordFactory.h"
#include "varobs/VarObsInfo.h"

RecordReader::RecordReader() { RecordFactory::RegisterRecordClasses(); }

const RecordReader::Creator& RecordReader::CreatorOf(const std::string& className) {
    for (const auto& entry : mCreators)
        if (entry.first == className) return entry.second;
    // Both look-ups throw for an unknown product or class; nothing is kept then.
    const auto& factory = OBJCREAT_Details::FindFactory<VarObsInfo*>(RecordFactory::kProductTypeName);
    Creator creator = factory.GetCreator(className);
    mCreators.emplace_back(className, std::move(creator));
    return mCreators.back().second;
}

std::unique_ptr<VarObsInfo> RecordReader::Read(std::istream& is) {
    if (!ReadBinaryString(mClassName, is)) return nullptr;
    std::unique_ptr<VarObsInfo> record = CreatorOf(mClassName)();
    if (!record) return nullptr;
    is >> *record;
    if (is.fail()) return nullptr;
    return record;
}
