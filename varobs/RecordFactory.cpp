#include "varobs/RecordFactory.h"

#include <memory>
#include <mutex>
#include <typeinfo>

#include "interfaces/streams/FactoryRepository.h"
#include "interfaces/utility/BinaryIO.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/VarObsInfo.h"

namespace RecordFactory {
namespace {

using Factory = OBJCREAT_Details::ProductFactory<VarObsInfo*>;

template <typename Record>
void Register(Factory& factory, const char* className) {
    factory.Register(className, []() -> std::unique_ptr<VarObsInfo> { return std::make_unique<Record>(); });
    OBJCREAT_Details::FactoryRepositoryBase::Instance().SetRealName(typeid(Record).name(), className);
}

}  // namespace

void RegisterRecordClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        auto& factory =
            OBJCREAT_Details::FactoryRepositoryBase::Instance().GetOrAddFactory<VarObsInfo*>(kProductTypeName);
        Register<QuantitativeVariableInfo>(factory, "QuantitativeVariableInfo");
        Register<QualitativeVariableInfo>(factory, "QualitativeVariableInfo");
        Register<ObservationInfo>(factory, "ObservationInfo");
        Register<DateTimeVariableInfo>(factory, "DateTimeVariableInfo");
    });
}

std::unique_ptr<VarObsInfo> CreateRecord(const std::string& className) {
    RegisterRecordClasses();
    return OBJCREAT_Details::CreateByName<VarObsInfo*>(kProductTypeName, className);
}

std::string GetClassName(const VarObsInfo& record) {
    RegisterRecordClasses();
    return OBJCREAT_Details::FactoryRepositoryBase::Instance().GetRealName(typeid(record).name());
}

bool WriteRecord(const VarObsInfo& record, std::ostream& os) {
    const std::string className = GetClassName(record);
    if (className.empty()) {
        os.setstate(std::ios_base::failbit);
        return false;
    }
    if (!WriteBinaryString(className.c_str(), os)) return false;
    os << record;
    return os.good();
}

std::unique_ptr<VarObsInfo> ReadRecord(std::istream& is) {
    std::string className;
    if (!ReadBinaryString(className, is)) return nullptr;
    std::unique_ptr<VarObsInfo> record = CreateRecord(className);
    if (!record) return nullptr;
    is >> *record;
    if (is.fail()) return nullptr;
    return record;
}

}  // namespace RecordFactory
