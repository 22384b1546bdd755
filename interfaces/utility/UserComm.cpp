#include "interfaces/utility/UserComm.h"

#include <mutex>
#include <utility>

namespace {

class SilentUserComm : public UserComm {
public:
    int AskQuestion(const char*, const char*) override { return 0; }
    int AskQuestionWithExplanation(const char*, const char*, const char*, int) override { return 0; }
    void ShowMessage(const char*, const char*) override {}
};

struct Installed {
    std::mutex lock;
    std::shared_ptr<UserComm> comm;
};

Installed& TheInstalled() {
    static Installed installed;
    return installed;
}

}  // namespace

UserComm::~UserComm() = default;

UserComm* UserComm::GetUserComm() {
    static SilentUserComm silent;
    Installed& installed = TheInstalled();
    std::lock_guard<std::mutex> guard(installed.lock);
    return installed.comm ? installed.comm.get() : &silent;
}

void UserComm::SetUserComm(std::shared_ptr<UserComm> comm) {
    Installed& installed = TheInstalled();
    std::shared_ptr<UserComm> previous;  // released outside the lock
    std::lock_guard<std::mutex> guard(installed.lock);
    previous = std::exchange(installed.comm, std::move(comm));
}
