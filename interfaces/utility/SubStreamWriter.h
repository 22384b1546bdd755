#pragma once
// SubStreamWriter: the stream buffer behind a sub-stream of an OutputStreamDirectory.
//
// A sub-stream is one chunk of the directory's layout: its number, its 8-byte length and its
// bytes. The writer keeps a chunk in memory while it is small and hands number, length and bytes
// to the parent in one write when the chunk ends, so a section of small fields costs the parent
// one write per sub-stream instead of a write per field and two seeks per sub-stream.
//
// A chunk that outgrows kSpillSize goes ahead to the parent: its number and a placeholder length,
// then its bytes in blocks of that size (large writes straight through), and the length is
// patched when the chunk ends. So a large sub-stream (a data matrix) is never held in memory
// whole. Only a parent that cannot seek (a pipe) makes the writer hold a large chunk whole, since
// its length must come first.
//
// A parent that is itself a sub-stream (a nested section) is patched through its writer, also when
// the bytes to patch have already gone on to its own parent.

#include <cstdint>
#include <cstring>
#include <ostream>
#include <streambuf>
#include <vector>

class SubStreamWriter final : public std::streambuf {
public:
    static constexpr std::int64_t kSpillSize = 64 * 1024;

    SubStreamWriter() = default;
    SubStreamWriter(const SubStreamWriter&) = delete;
    SubStreamWriter& operator=(const SubStreamWriter&) = delete;

    // Starts chunk `number` (0 or more) on `parent`; the previous chunk must have been finished.
    void Open(std::ostream& parent, std::int32_t number);
    // Hands the rest of the chunk to the parent and, for a chunk sent ahead, patches its length.
    // False when the parent failed. The writer is then free for the next Open.
    bool Finish();
    // Gives back buffer memory beyond the spill size (after a chunk held whole for a pipe).
    void Trim();

    // True when `count` bytes fit into the buffer as it is. Then PutDirect appends them, so that a
    // caller that writes small items can skip the stream's per-call work (see BinaryIO).
    bool HasRoomFor(std::size_t count) const {
        return count <= static_cast<std::size_t>(kSpillSize) && static_cast<std::size_t>(epptr() - pptr()) >= count;
    }
    void PutDirect(const void* data, std::size_t count) {
        std::memcpy(pptr(), data, count);
        pbump(static_cast<int>(count));
    }
    // True between Open and Finish.
    bool IsOpen() const { return mParent != nullptr; }
    // Bytes written into the chunk so far.
    std::int64_t Position() const { return mSent + (pptr() - pbase()); }

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* s, std::streamsize n) override;
    // Tells the position (tellp); the writer cannot be moved by a caller.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    static constexpr std::int64_t kHeaderSize = 4 + 8;

    // Makes room for at least one more byte: sends the chunk ahead, flushes it, or grows the buffer.
    bool MakeRoom();
    // Sends the chunk's number, a placeholder length and the bytes so far to the parent.
    bool SendAhead();
    // Hands the buffered bytes of a chunk sent ahead to the parent.
    bool FlushSent();
    // Overwrites `count` bytes at chunk position `at`, all written before.
    bool Patch(std::int64_t at, const char* bytes, std::size_t count);
    // Overwrites bytes at parent position `at` (as the parent's tellp or writer tells it).
    bool PatchParentAt(std::int64_t at, const char* bytes, std::size_t count);
    static bool PatchStream(std::ostream& os, std::int64_t at, const char* bytes, std::size_t count);
    void Reserve(std::size_t bytes);
    // pbump for any count.
    void Bump(std::int64_t count);

    std::ostream* mParent = nullptr;
    std::int32_t mNumber = 0;
    bool mSentAhead = false;   // number and placeholder length are in the parent
    bool mHoldWhole = false;   // the parent cannot be patched: the chunk stays in memory
    std::int64_t mSent = 0;    // chunk bytes already handed to the parent
    std::int64_t mDataAt = 0;  // parent position of the chunk's first byte, once sent ahead
    // Before the chunk goes ahead: room for its header, then its bytes; after: bytes not yet sent.
    std::vector<char> mBuffer;
};
