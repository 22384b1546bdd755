// Run under ThreadSanitizer in CI (tests whose names contain "Concurrency").
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/varobs/TestCollection.h"
#include "varobs/SelectedLabel.h"

namespace {

// Starts `count` threads that wait for each other and then run `work(i)`.
template <typename Work>
void RunTogether(int count, Work work) {
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i) {
        threads.emplace_back([&, i] {
            ++ready;
            while (ready.load() < count) std::this_thread::yield();
            work(i);
        });
    }
    for (auto& thread : threads) thread.join();
}

}  // namespace

TEST(Concurrency, ThreadsAskingForThePrimaryIndexShareOneObject) {
    TestCollection c;
    for (unsigned long id = 1; id <= 20000; ++id) c.AddObs({CString("Obs" + std::to_string(id))}, id);

    constexpr int kThreads = 8;
    for (int round = 0; round < 3; ++round) {
        c.ClearInfosByUserID();
        std::vector<boost::shared_ptr<InfosByUserID>> got(kThreads);
        std::vector<unsigned long> found(kThreads, 0);
        RunTogether(kThreads, [&](int i) {
            got[i] = c.GetInfosByUserID(1);
            found[i] = got[i]->GetUniqueID(("OBS" + std::to_string(100 + i)).c_str());
        });
        for (int i = 0; i < kThreads; ++i) {
            EXPECT_EQ(got[i], got[0]);
            EXPECT_EQ(found[i], 100UL + i);
        }
        EXPECT_EQ(c.GetInfosByUserID(1), got[0]);
    }
}

TEST(Concurrency, ConcurrentSelectionsAreCountedOneByOne) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 300;
    std::vector<SelectedLabel> labels(kThreads);
    int delivered = 0;  // not atomic: the signals must never overlap
    bool inside = false;
    bool overlapped = false;
    const boost::signals2::scoped_connection connection =
        SelectedLabel::msSelectedlabelChange.connect([&](SelectedLabel*) {
            if (inside) overlapped = true;
            inside = true;
            ++delivered;
            inside = false;
        });
    const unsigned before = SelectedLabel::GetVersionCount();
    RunTogether(kThreads, [&](int i) {
        for (int call = 0; call < kCalls; ++call) labels[i].SetSelected(1 + call % 3, {1, 2, 3}, call % 2 == 0);
    });
    EXPECT_EQ(SelectedLabel::GetVersionCount(), before + kThreads * kCalls);
    EXPECT_EQ(delivered, kThreads * kCalls);
    EXPECT_FALSE(overlapped);
}
