#include "tools/ProjectSession.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "app/InputError.h"
#include "app/OperationCancelled.h"
#include "app/ProjectFile.h"
#include "app/TerminalProgress.h"
#include "dataset/NCDataSet.h"
#include "interfaces/notification/NCProgress.h"

ProjectSession::ProjectSession(const std::string& path, bool createIfMissing) : mPath(path) {
    std::error_code error;
    if (createIfMissing && !std::filesystem::exists(path, error)) {
        mNew = true;
        mProject = ReferenceProject::Create();
        return;
    }
    mProject = ProjectFile::Open(path);
}

void ProjectSession::Save() {
    if (TerminalProgress::IsCancelRequested()) throw OperationCancelled();
    const auto removeNewFile = [this] {
        if (!mNew) return;
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) std::remove((mPath + suffix).c_str());
    };
    try {
        NCProgress progress(("Saving " + std::filesystem::path(mPath).filename().string()).c_str(), 0.0, 100.0);
        ProjectFile::Save(*mProject, mPath, &progress);
        progress.SetValue(100.0);
    } catch (...) {
        removeNewFile();
        if (TerminalProgress::IsCancelRequested()) throw OperationCancelled();
        throw;
    }
    mNew = false;
}

boost::shared_ptr<NCDataSet> ProjectSession::Dataset(int number) {
    if (const boost::shared_ptr<NCDataSet> dataset = mProject->GetDataset(number)) return dataset;
    std::string numbers;
    for (const int n : mProject->GetDatasetNumbers()) numbers += (numbers.empty() ? "" : ", ") + std::to_string(n);
    throw InputError(mPath + " has no dataset " + std::to_string(number) +
                     (numbers.empty() ? "; it has no datasets yet" : "; its datasets are " + numbers));
}
