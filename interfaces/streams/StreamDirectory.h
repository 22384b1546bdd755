#pragma once
// Stream directories: a section made of numbered sub-streams.
//
// Layout: a run of chunks, each a 4-byte sub-stream number (0 or more), an 8-byte length and that
// many bytes, closed by the number -1. A reader finds every sub-stream by its number and skips
// those it does not know; a sub-stream that the writer did not fill is absent.
//
// A writer sends each sub-stream straight to the parent stream and patches its length when the
// next one starts, so a large sub-stream (a data matrix) is never buffered. Only a parent that
// cannot seek (a pipe) makes the writer buffer one sub-stream at a time. A reader reads a
// sub-stream through a bounded window on the parent stream, so it cannot read past the
// sub-stream and sees the sub-stream's own size as the bytes left (see StreamBytesLeft).
//
// Nesting is bounded: a sub-stream may hold another directory (a nested object's section), and
// each sub-stream knows how deep it lies. A directory that would lie deeper than kMaxNesting
// sub-streams fails to read, so no stream, however it nests, can make a reader recurse until
// the stack overflows. This library's own sections nest at most a few levels deep.

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <vector>

class StreamWindow;

class OutputStreamDirectory {
public:
    // `count` is the number of sub-streams the section's class defines (0 … count-1); the layout
    // does not depend on it, so a reader of any version can skip what it does not know.
    OutputStreamDirectory(std::ostream& os, int count);
    ~OutputStreamDirectory();
    OutputStreamDirectory(const OutputStreamDirectory&) = delete;
    OutputStreamDirectory& operator=(const OutputStreamDirectory&) = delete;

    // The stream into which sub-stream k is written; it stays current until the next GetOutput
    // or Close. Each sub-stream is written in one go.
    std::ostream& GetOutput(int k);
    // Finishes the last sub-stream and closes the section; the destructor closes too.
    void Close();

private:
    void FinishChunk();

    std::ostream& mOs;
    bool mSeekable;
    bool mOpen = true;
    bool mInChunk = false;
    int mCurrent = -1;
    std::ostream::pos_type mLengthAt;  // where the current chunk's length goes
    std::ostream::pos_type mDataAt;    // where its data starts
    std::stringstream mBuffer;         // used only when the parent cannot seek
};

class InputStreamDirectory {
public:
    // The deepest sub-stream that may hold a directory; the top-level stream is depth 0.
    static constexpr int kMaxNesting = 64;

    // Reads the directory of the section at the stream's position. A damaged directory sets the
    // stream's failbit and leaves every sub-stream absent.
    explicit InputStreamDirectory(std::istream& is);
    ~InputStreamDirectory();
    InputStreamDirectory(const InputStreamDirectory&) = delete;
    InputStreamDirectory& operator=(const InputStreamDirectory&) = delete;

    // Sub-stream k positioned at its start, or null when the section has no sub-stream k. The
    // stream is valid until Close.
    std::istream* GetInput(int k);
    // True when the directory itself could be read.
    bool IsValid() const { return mValid; }
    // Puts the parent stream after the section; the destructor closes too.
    void Close();

private:
    struct Entry {
        int number;
        std::int64_t start;  // position in the parent
        std::int64_t length;
    };
    struct OpenInput;

    bool ReadEntries(std::int64_t available);
    bool ReadEntriesUnseekable();

    std::istream& mIs;
    std::streambuf* mParent;
    int mDepth;  // sub-streams of the parent above this directory
    bool mValid = false;
    bool mOpen = true;
    bool mUnseekable = false;
    std::int64_t mEnd = 0;  // parent position after the section
    std::vector<Entry> mEntries;
    std::vector<std::unique_ptr<OpenInput>> mInputs;
    std::vector<std::unique_ptr<std::string>> mCopies;  // chunk bytes of an unseekable parent
};
