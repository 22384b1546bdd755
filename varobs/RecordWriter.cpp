#include "varobs/RecordWriter.h"

#include "interfaces/streams/FactoryRepository.h"
#include "interfaces/utility/BinaryIO.h"
#include "varobs/RecordFactory.h"
#include "varobs/VarObsInfo.h"

RecordWriter::RecordWriter() { RecordFactory::RegisterRecordClasses(); }

const std::string& RecordWriter::ClassNameOf(const VarObsInfo& record) {
    const std::type_info& type = typeid(record);
    for (const auto& entry : mNames)
        if (*entry.first == type) return entry.second;
    mNames.emplace_back(&type, OBJCREAT_Details::FactoryRepositoryBase::Instance().GetRealName(type.name()));
    return mNames.back().second;
}

bool RecordWriter::Write(const VarObsInfo& record, std::ostream& os) {
    const std::string& className = ClassNameOf(record);
    if (className.empty()) {
        os.setstate(std::ios_base::failbit);
        return false;
    }
    if (!WriteBinaryString(className.c_str(), os)) return false;
    os << record;
    return os.good();
}
