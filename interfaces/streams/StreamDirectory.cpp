#include "interfaces/streams/StreamDirectory.h"

#include <algorithm>
#include <new>

#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/StreamWindow.h"

namespace {
constexpr std::int32_t kEndMarker = -1;
constexpr std::int64_t kChunkHeader = 4 + 8;
constexpr std::size_t kGrowStep = 64 * 1024;

// 8 bytes, low word first, on every machine.
void WriteLength(std::uint64_t length, std::ostream& os) {
    const std::uint32_t words[2] = {static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(length >> 32)};
    WriteFourBytes(words, 2, os);
}

std::int32_t LittleInt32(const unsigned char* b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                     static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

// The nesting depth of a stream, kept in the stream itself (0 for a stream this file did not make).
int NestingSlot() {
    static const int slot = std::ios_base::xalloc();
    return slot;
}

std::uint64_t LittleUint64(const unsigned char* b) {
    return static_cast<std::uint32_t>(LittleInt32(b)) |
           static_cast<std::uint64_t>(static_cast<std::uint32_t>(LittleInt32(b + 4))) << 32;
}

// A read-only, seekable view of a chunk kept by the directory (the parent could not seek), so
// that reading the sub-stream does not copy its bytes once more.
class ChunkBuffer : public std::streambuf {
public:
    explicit ChunkBuffer(const std::string& bytes) {
        char* begin = const_cast<char*>(bytes.data());  // only ever read
        setg(begin, begin, begin + bytes.size());
    }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
        if (!(which & std::ios_base::in)) return pos_type(off_type(-1));
        const off_type size = egptr() - eback();
        off_type target = off;
        if (dir == std::ios_base::cur)
            target += gptr() - eback();
        else if (dir == std::ios_base::end)
            target += size;
        if (target < 0 || target > size) return pos_type(off_type(-1));
        setg(eback(), eback() + target, egptr());
        return pos_type(target);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }
};
}  // namespace

// ---------------------------------------------------------------------------------------------

OutputStreamDirectory::OutputStreamDirectory(std::ostream& os, int /*count*/)
    : mOs(os), mSeekable(os.tellp() != std::ostream::pos_type(-1)) {}

OutputStreamDirectory::~OutputStreamDirectory() { Close(); }

std::ostream& OutputStreamDirectory::GetOutput(int k) {
    FinishChunk();
    if (!mOpen || k < 0) {
        // Writing into a closed directory or a negative sub-stream is a caller error: the
        // bytes go nowhere and the parent is marked failed, so the write reports failure.
        mOs.setstate(std::ios_base::failbit);
        return mOs;
    }
    mCurrent = k;
    mInChunk = true;
    if (!mSeekable) {
        mBuffer.str(std::string());
        mBuffer.clear();
        return mBuffer;
    }
    const std::int32_t number = k;
    const std::int64_t placeholder = 0;
    WriteFourBytes(&number, 1, mOs);
    mLengthAt = mOs.tellp();
    WriteBytes(&placeholder, 8, mOs);
    mDataAt = mOs.tellp();
    return mOs;
}

void OutputStreamDirectory::FinishChunk() {
    if (!mInChunk) return;
    mInChunk = false;
    if (!mSeekable) {
        // The bytes go from the buffer straight to the parent, not through a copy of them all; a
        // sub-stream whose writer failed fails the parent, as it does when written in place.
        std::stringbuf& buffer = *mBuffer.rdbuf();
        const auto end = buffer.pubseekoff(0, std::ios_base::end, std::ios_base::in);
        const std::uint64_t length = end > 0 ? static_cast<std::uint64_t>(end) : 0;
        buffer.pubseekpos(0, std::ios_base::in);
        const std::int32_t number = mCurrent;
        WriteFourBytes(&number, 1, mOs);
        WriteLength(length, mOs);
        if (length > 0) mOs << &buffer;
        if (mBuffer.fail()) mOs.setstate(std::ios_base::failbit);
        mBuffer.str(std::string());
        return;
    }
    if (!mOs.good()) return;
    const auto end = mOs.tellp();
    mOs.seekp(mLengthAt);
    WriteLength(static_cast<std::uint64_t>(end - mDataAt), mOs);
    mOs.seekp(end);
}

void OutputStreamDirectory::Close() {
    if (!mOpen) return;
    FinishChunk();
    mOpen = false;
    WriteFourBytes(&kEndMarker, 1, mOs);
}

// ---------------------------------------------------------------------------------------------

struct InputStreamDirectory::OpenInput {
    std::unique_ptr<std::streambuf> buffer;
    std::istream stream;
    explicit OpenInput(std::unique_ptr<std::streambuf> b) : buffer(std::move(b)), stream(buffer.get()) {}
};

InputStreamDirectory::InputStreamDirectory(std::istream& is)
    : mIs(is), mParent(is.rdbuf()), mDepth(static_cast<int>(is.iword(NestingSlot()))) {
    if (!is.good() || !mParent || mDepth < 0 || mDepth > kMaxNesting) {
        is.setstate(std::ios_base::failbit);
        return;
    }
    const std::int64_t available = StreamBytesLeft(is);
    mUnseekable = available < 0;
    mValid = mUnseekable ? ReadEntriesUnseekable() : ReadEntries(available);
    if (!mValid) {
        mEntries.clear();
        mCopies.clear();
        is.setstate(std::ios_base::failbit);
    }
}

InputStreamDirectory::~InputStreamDirectory() { Close(); }

bool InputStreamDirectory::ReadEntries(std::int64_t available) {
    const auto startPos = mParent->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (startPos == std::streambuf::pos_type(std::streambuf::off_type(-1))) return false;
    std::int64_t position = static_cast<std::int64_t>(startPos);
    const std::int64_t limit = position + available;
    for (;;) {
        unsigned char header[8];
        if (limit - position < 4 || mParent->sgetn(reinterpret_cast<char*>(header), 4) != 4) return false;
        const std::int32_t number = LittleInt32(header);
        position += 4;
        if (number == kEndMarker) break;
        if (number < 0) return false;
        if (limit - position < 8 || mParent->sgetn(reinterpret_cast<char*>(header), 8) != 8) return false;
        position += 8;
        const std::uint64_t length = LittleUint64(header);
        if (length > static_cast<std::uint64_t>(limit - position)) return false;
        mEntries.push_back({number, position, static_cast<std::int64_t>(length)});
        position += static_cast<std::int64_t>(length);
        if (mParent->pubseekpos(position, std::ios_base::in) != std::streambuf::pos_type(position)) return false;
    }
    mEnd = position;
    return true;
}

bool InputStreamDirectory::ReadEntriesUnseekable() {
    // The parent cannot seek (a pipe): keep each chunk's bytes, growing only as they arrive.
    for (;;) {
        std::int32_t number = 0;
        if (!ReadFourBytes(&number, 1, mIs)) return false;
        if (number == kEndMarker) break;
        if (number < 0) return false;
        std::uint32_t words[2] = {0, 0};
        if (!ReadFourBytes(words, 2, mIs)) return false;
        const std::uint64_t length = (static_cast<std::uint64_t>(words[1]) << 32) | words[0];
        auto bytes = std::make_unique<std::string>();
        while (bytes->size() < length) {
            const std::size_t step =
                static_cast<std::size_t>(std::min<std::uint64_t>(kGrowStep, length - bytes->size()));
            const std::size_t at = bytes->size();
            bytes->resize(at + step);
            if (!ReadBytes(bytes->data() + at, step, mIs)) return false;
        }
        mEntries.push_back({number, static_cast<std::int64_t>(mCopies.size()), static_cast<std::int64_t>(length)});
        mCopies.push_back(std::move(bytes));
    }
    return true;
}

std::istream* InputStreamDirectory::GetInput(int k) {
    if (!mOpen) return nullptr;
    const auto entry = std::find_if(mEntries.begin(), mEntries.end(), [k](const Entry& e) { return e.number == k; });
    if (entry == mEntries.end()) return nullptr;
    std::unique_ptr<std::streambuf> buffer;
    if (mUnseekable) {
        buffer = std::make_unique<ChunkBuffer>(*mCopies[static_cast<std::size_t>(entry->start)]);
    } else {
        buffer = std::make_unique<StreamWindow>(mParent, entry->start, entry->length);
    }
    mInputs.push_back(std::make_unique<OpenInput>(std::move(buffer)));
    std::istream& input = mInputs.back()->stream;
    input.iword(NestingSlot()) = mDepth + 1;
    // A fresh stream turns bad here only when storing the depth could not allocate; that must
    // reach the reader as the allocation failure it is, not as an absent or damaged sub-stream.
    if (input.bad()) throw std::bad_alloc();
    return &input;
}

void InputStreamDirectory::Close() {
    if (!mOpen) return;
    mOpen = false;
    mInputs.clear();
    mCopies.clear();
    // An unseekable parent is already after the section.
    if (mValid && !mUnseekable) mParent->pubseekpos(mEnd, std::ios_base::in);
}
