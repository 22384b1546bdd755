#pragma once
// OutputFile: a file that appears whole or not at all. The text goes into a temporary file beside
// the destination, which Commit flushes and renames over the destination; a file that is never
// committed (an error, a cancellation) is removed, and the destination stays as it was.

#include <fstream>
#include <stdexcept>
#include <string>

// A file could not be written; the message names it and says why.
class OutputError : public std::runtime_error {
public:
    explicit OutputError(const std::string& message) : std::runtime_error(message) {}
};

class OutputFile {
public:
    // Creates the temporary file; throws OutputError when it cannot be created.
    explicit OutputFile(const std::string& path);
    // Removes the temporary file unless committed.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::ostream& Stream() { return mStream; }
    // Flushes, closes and renames the temporary file to the destination; throws OutputError.
    void Commit();

private:
    std::string mPath;
    std::string mTemporary;
    std::ofstream mStream;
    bool mCommitted = false;
};
