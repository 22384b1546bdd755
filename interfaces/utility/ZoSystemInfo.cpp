#include "interfaces/utility/ZoSystemInfo.h"

#include <mutex>
#include <string>

namespace {

struct Name {
    std::mutex lock;
    std::string text = "ncds";
};

Name& TheName() {
    static Name name;
    return name;
}

}  // namespace

CString ZoSystemInfo::GetApplicationName() {
    Name& name = TheName();
    std::lock_guard<std::mutex> guard(name.lock);
    return CString(name.text);
}

void ZoSystemInfo::SetApplicationName(const char* text) {
    Name& name = TheName();
    std::lock_guard<std::mutex> guard(name.lock);
    name.text = text ? text : "";
}
