#include "app/OutputFile.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <unistd.h>

OutputFile::OutputFile(const std::string& path) : mPath(path), mTemporary(path + ".tmp-" + std::to_string(::getpid())) {
    mStream.open(mTemporary, std::ios::binary | std::ios::trunc);
    if (!mStream) throw OutputError(path + " cannot be written: " + std::generic_category().message(errno));
}

OutputFile::~OutputFile() {
    if (mCommitted) return;
    mStream.close();
    std::remove(mTemporary.c_str());
}

void OutputFile::Commit() {
    mStream.flush();
    const bool written = static_cast<bool>(mStream);
    mStream.close();
    if (!written || mStream.fail()) throw OutputError(mPath + " could not be written completely (is the disk full?)");
    if (std::rename(mTemporary.c_str(), mPath.c_str()) != 0)
        throw OutputError(mPath + " cannot be written: " + std::generic_category().message(errno));
    mCommitted = true;
}
