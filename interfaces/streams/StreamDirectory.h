#pragma once
// Stream directories: a section made of numbered sub-streams.
//
// Layout: a run of chunks, each a 4-byte sub-stream number (0 or more), an 8-byte length and that
// many bytes, closed by the number -1. A reader finds every sub-stream by its number and skips
// those it does not know; a sub-stream that the writer did not fill is absent.
//
// A writer collects a small sub-stream in memory and hands it to the parent in one write; a large
// one (a data matrix) goes ahead to the parent in blocks and has its length patched at its end, so
// it is never held whole (see SubStreamWriter). Only a parent that cannot seek (a pipe) makes the
// writer hold a large sub-stream whole. A reader reads a sub-stream through a bounded window on
// the parent stream, so it cannot read past the sub-stream and sees the sub-stream's own size as
// the bytes left (see StreamBytesLeft).
//
// Sub-stream objects (streams, their buffers and windows) are reused within a thread, so that a
// million small sections read or written one after the other allocate none of them again.
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
    // or Close. Each sub-stream is written in one go. A failure to write it fails the parent
    // stream, at the latest when the sub-stream is finished.
    std::ostream& GetOutput(int k);
    // Finishes the last sub-stream and closes the section; the destructor closes too.
    void Close();

private:
    struct PooledOutput;  // a sub-stream's stream and writer, reused within a thread

    void FinishChunk();

    std::ostream& mOs;
    bool mOpen = true;
    std::unique_ptr<PooledOutput> mChunk;  // taken at the first sub-stream, given back at Close
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
    struct PooledInput;  // a sub-stream's stream and window, reused within a thread
    struct Entry {
        int number;
        std::int64_t start;  // position in the parent, or the index of the copy
        std::int64_t length;
    };
    // Sections of this library have at most a dozen sub-streams: their entries need no allocation.
    static constexpr int kInlineEntries = 16;

    bool ReadEntries(std::int64_t available);
    bool ReadEntriesUnseekable();
    void AddEntry(const Entry& entry);
    const Entry* FindEntry(int k) const;
    void ClearEntries();

    std::istream& mIs;
    std::streambuf* mParent;
    int mDepth;  // sub-streams of the parent above this directory
    bool mValid = false;
    bool mOpen = true;
    bool mUnseekable = false;
    std::int64_t mEnd = 0;  // parent position after the section
    int mEntryCount = 0;
    Entry mEntries[kInlineEntries];
    std::vector<Entry> mMoreEntries;
    std::unique_ptr<PooledInput> mInputs;               // the sub-streams handed out, a list kept until Close
    std::vector<std::unique_ptr<std::string>> mCopies;  // chunk bytes of an unseekable parent
};
