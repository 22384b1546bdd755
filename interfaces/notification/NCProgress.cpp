#include "interfaces/notification/NCProgress.h"

#include <mutex>
#include <utility>

namespace {

struct InstalledSink {
    std::mutex lock;
    std::shared_ptr<NCProgressSink> sink;
};

InstalledSink& TheSink() {
    static InstalledSink installed;
    return installed;
}

std::shared_ptr<NCProgressSink> CurrentSink() {
    InstalledSink& installed = TheSink();
    std::lock_guard<std::mutex> guard(installed.lock);
    return installed.sink;
}

}  // namespace

NCProgressSink::~NCProgressSink() = default;

NCProgress::NCProgress(const char* text, double minimum, double maximum, bool, bool, bool, const char* secondText)
    : mSink(CurrentSink()) {
    if (mSink) mSink->Begin(text ? text : "", secondText, minimum, maximum);
}

NCProgress::~NCProgress() {
    if (mSink) mSink->End();
}

bool NCProgress::SetValue(double x) {
    if (mSink && mSink->Update(x)) mCancelled = true;
    return mCancelled;
}

bool NCProgress::NextSpin() {
    if (mSink && mSink->Spin()) mCancelled = true;
    return mCancelled;
}

void NCProgress::SetSink(std::shared_ptr<NCProgressSink> sink) {
    InstalledSink& installed = TheSink();
    std::shared_ptr<NCProgressSink> previous;  // released outside the lock
    std::lock_guard<std::mutex> guard(installed.lock);
    previous = std::exchange(installed.sink, std::move(sink));
}
