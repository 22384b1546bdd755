#include "varobs/RecordFactory.h"

#include <memory>
#include <mutex>
#include <typeinfo>

#include "interfaces/streams/FactoryRepository.h"
#include "varobs/DateTimeVariableInfo.h"
#include "varobs/ObservationInfo.h"
#include "varobs/QualitativeVariableInfo.h"
#include "varobs/QuantitativeVariableInfo.h"
#include "varobs/RecordReader.h"
#include "varobs/RecordWriter.h"
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

bool WriteRecord(const VarObsInfo& record, std::ostream& os) { return RecordWriter().Write(record, os); }

std::unique_ptr<VarObsInfo> ReadRecord(std::istream& is) { return RecordReader().Read(is); }

}  // namespace RecordFactory
