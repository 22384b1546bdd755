#include "app/SignalLog.h"

#include <algorithm>
#include <utility>

#include "dataset/NCDataSet.h"
#include "interfaces/notification/NCSignals.h"

namespace {

std::string DatasetText(const NCDataSet& dataset) { return "dataset " + std::to_string(dataset.GetNumber()); }

}  // namespace

SignalLog::SignalLog() {
    mConnections.emplace_back(
        NCSignals::DataSetValueChanged().connect([this](NCDataSet& dataset, unsigned long obs, unsigned long var) {
            Append("value changed: " + DatasetText(dataset) + ", observation " + std::to_string(obs) + ", variable " +
                   std::to_string(var));
        }));
    mConnections.emplace_back(
        NCSignals::VarObsAdded().connect([this](NCDataSet& dataset) { Append("added: " + DatasetText(dataset)); }));
    mConnections.emplace_back(
        NCSignals::VarObsDeleted().connect([this](NCDataSet& dataset) { Append("deleted: " + DatasetText(dataset)); }));
    mConnections.emplace_back(NCSignals::DatasetMerged().connect(
        [this](NCDataSet& dataset, DatasetMergeInfo&) { Append("merged: " + DatasetText(dataset)); }));
}

SignalLog::~SignalLog() { mConnections.clear(); }

std::vector<std::string> SignalLog::GetLines() const {
    std::lock_guard<std::mutex> guard(mLock);
    return mLines;
}

int SignalLog::Count(const std::string& prefix) const {
    std::lock_guard<std::mutex> guard(mLock);
    return static_cast<int>(std::count_if(mLines.begin(), mLines.end(), [&prefix](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

void SignalLog::Clear() {
    std::lock_guard<std::mutex> guard(mLock);
    mLines.clear();
}

void SignalLog::Append(std::string line) {
    std::lock_guard<std::mutex> guard(mLock);
    mLines.push_back(std::move(line));
}
