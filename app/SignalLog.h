#pragma once
// SignalLog: connects to every NCSignals signal for its lifetime and keeps one readable line per
// signal raised, e.g. "value changed: dataset 2, observation 5, variable 7",
// "added: dataset 2", "deleted: dataset 2", "merged: dataset 2". Handlers run on the raising
// thread; the log itself is guarded, so datasets on several threads may raise at once.

#include <mutex>
#include <string>
#include <vector>

#include <boost/signals2/connection.hpp>

class SignalLog {
public:
    SignalLog();
    ~SignalLog();
    SignalLog(const SignalLog&) = delete;
    SignalLog& operator=(const SignalLog&) = delete;

    std::vector<std::string> GetLines() const;
    // The number of lines that start with `prefix` ("value changed", "added", "deleted", "merged").
    int Count(const std::string& prefix) const;
    void Clear();

private:
    void Append(std::string line);

    mutable std::mutex mLock;
    std::vector<std::string> mLines;
    std::vector<boost::signals2::scoped_connection> mConnections;
};
