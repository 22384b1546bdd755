#include "interfaces/streams/StreamDirectory.h"

#include <algorithm>
#include <new>
#include <typeinfo>

#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/StreamWindow.h"
#include "interfaces/utility/SubStreamWriter.h"

namespace {
constexpr std::int32_t kEndMarker = -1;
constexpr std::size_t kGrowStep = 64 * 1024;
// Spare sub-stream objects a thread keeps for the next section; more are freed when given back.
constexpr int kKeptSpares = 16;

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

// Bytes from the parent's buffer; straight out of a window's buffer when it holds them.
bool GetBytes(std::streambuf* buffer, unsigned char* into, std::size_t count) {
    if (typeid(*buffer) == typeid(StreamWindow) && static_cast<StreamWindow*>(buffer)->TakeDirect(into, count))
        return true;
    return buffer->sgetn(reinterpret_cast<char*>(into), static_cast<std::streamsize>(count)) ==
           static_cast<std::streamsize>(count);
}

// A stream handed out as a sub-stream starts with the state of a new one, whatever the previous
// user of the reused object did to it.
void ResetFormat(std::ios& stream) {
    stream.flags(std::ios_base::skipws | std::ios_base::dec);
    stream.width(0);
    stream.precision(6);
    stream.fill(' ');
}

// The spare objects of one kind on this thread, as a list.
template <typename Item>
struct Spares {
    std::unique_ptr<Item> first;
    int count = 0;
    ~Spares() { Gone() = true; }
    // True once the thread's list is destroyed (the thread ends): objects are then simply freed.
    static bool& Gone() {
        thread_local bool gone = false;
        return gone;
    }
    static Spares& Mine() {
        thread_local Spares spares;
        return spares;
    }
};

template <typename Item>
std::unique_ptr<Item> TakeSpare() {
    if (!Spares<Item>::Gone()) {
        Spares<Item>& spares = Spares<Item>::Mine();
        if (spares.first) {
            std::unique_ptr<Item> item = std::move(spares.first);
            spares.first = std::move(item->next);
            --spares.count;
            return item;
        }
    }
    return std::make_unique<Item>();
}

template <typename Item>
void GiveSpare(std::unique_ptr<Item> item) noexcept {
    if (!item || Spares<Item>::Gone()) return;
    Spares<Item>& spares = Spares<Item>::Mine();
    if (spares.count >= kKeptSpares) return;
    item->next = std::move(spares.first);
    spares.first = std::move(item);
    ++spares.count;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

struct OutputStreamDirectory::PooledOutput {
    SubStreamWriter writer;
    std::ostream stream{&writer};
    std::unique_ptr<PooledOutput> next;
};

OutputStreamDirectory::OutputStreamDirectory(std::ostream& os, int /*count*/) : mOs(os) {}

OutputStreamDirectory::~OutputStreamDirectory() { Close(); }

std::ostream& OutputStreamDirectory::GetOutput(int k) {
    FinishChunk();
    if (!mOpen || k < 0) {
        // Writing into a closed directory or a negative sub-stream is a caller error: the
        // bytes go nowhere and the parent is marked failed, so the write reports failure.
        mOs.setstate(std::ios_base::failbit);
        return mOs;
    }
    // Nothing more reaches a failed parent: its own stream takes the writes and drops them.
    if (!mOs.good()) return mOs;
    try {
        if (!mChunk) {
            mChunk = TakeSpare<PooledOutput>();
            mChunk->stream.exceptions(std::ios_base::goodbit);
            ResetFormat(mChunk->stream);
        }
        mChunk->writer.Open(mOs, k);
    } catch (const std::bad_alloc&) {
        // Writing never throws: no memory for the sub-stream fails the parent.
        mOs.setstate(std::ios_base::badbit);
        return mOs;
    }
    mChunk->stream.clear();
    return mChunk->stream;
}

void OutputStreamDirectory::FinishChunk() {
    if (!mChunk || !mChunk->writer.IsOpen()) return;
    if (!mChunk->stream.good()) mOs.setstate(std::ios_base::failbit);
    mChunk->writer.Finish();
}

void OutputStreamDirectory::Close() {
    if (!mOpen) return;
    FinishChunk();
    mOpen = false;
    if (mChunk) {
        mChunk->writer.Trim();
        GiveSpare(std::move(mChunk));
    }
    WriteFourBytes(&kEndMarker, 1, mOs);
}

// ---------------------------------------------------------------------------------------------

struct InputStreamDirectory::PooledInput {
    StreamWindow window{nullptr, 0, 0};
    std::unique_ptr<std::streambuf> copy;  // over the bytes of a chunk of an unseekable parent
    std::istream stream{&window};
    std::unique_ptr<PooledInput> next;
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
        ClearEntries();
        mCopies.clear();
        is.setstate(std::ios_base::failbit);
    }
}

InputStreamDirectory::~InputStreamDirectory() { Close(); }

void InputStreamDirectory::AddEntry(const Entry& entry) {
    if (mEntryCount < kInlineEntries)
        mEntries[mEntryCount] = entry;
    else
        mMoreEntries.push_back(entry);
    ++mEntryCount;
}

const InputStreamDirectory::Entry* InputStreamDirectory::FindEntry(int k) const {
    const int inlineCount = std::min(mEntryCount, kInlineEntries);
    for (int i = 0; i < inlineCount; ++i)
        if (mEntries[i].number == k) return &mEntries[i];
    for (const Entry& entry : mMoreEntries)
        if (entry.number == k) return &entry;
    return nullptr;
}

void InputStreamDirectory::ClearEntries() {
    mEntryCount = 0;
    mMoreEntries.clear();
}

bool InputStreamDirectory::ReadEntries(std::int64_t available) {
    const auto startPos = mParent->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (startPos == std::streambuf::pos_type(std::streambuf::off_type(-1))) return false;
    std::int64_t position = static_cast<std::int64_t>(startPos);
    const std::int64_t limit = position + available;
    for (;;) {
        unsigned char header[8];
        if (limit - position < 4 || !GetBytes(mParent, header, 4)) return false;
        const std::int32_t number = LittleInt32(header);
        position += 4;
        if (number == kEndMarker) break;
        if (number < 0) return false;
        if (limit - position < 8 || !GetBytes(mParent, header, 8)) return false;
        position += 8;
        const std::uint64_t length = LittleUint64(header);
        if (length > static_cast<std::uint64_t>(limit - position)) return false;
        AddEntry({number, position, static_cast<std::int64_t>(length)});
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
        AddEntry({number, static_cast<std::int64_t>(mCopies.size()), static_cast<std::int64_t>(length)});
        mCopies.push_back(std::move(bytes));
    }
    return true;
}

std::istream* InputStreamDirectory::GetInput(int k) {
    if (!mOpen) return nullptr;
    const Entry* entry = FindEntry(k);
    if (!entry) return nullptr;
    std::unique_ptr<PooledInput> input = TakeSpare<PooledInput>();
    std::istream& stream = input->stream;
    stream.exceptions(std::ios_base::goodbit);
    if (mUnseekable) {
        input->copy = std::make_unique<ChunkBuffer>(*mCopies[static_cast<std::size_t>(entry->start)]);
        stream.rdbuf(input->copy.get());
    } else {
        input->window.Reset(mParent, entry->start, entry->length);
        stream.rdbuf(&input->window);
    }
    ResetFormat(stream);
    stream.iword(NestingSlot()) = mDepth + 1;
    // A stream turns bad here only when storing the depth could not allocate; that must reach
    // the reader as the allocation failure it is, not as an absent or damaged sub-stream.
    if (stream.bad()) throw std::bad_alloc();
    input->next = std::move(mInputs);
    mInputs = std::move(input);
    return &stream;
}

void InputStreamDirectory::Close() {
    if (!mOpen) return;
    mOpen = false;
    while (mInputs) {
        std::unique_ptr<PooledInput> input = std::move(mInputs);
        mInputs = std::move(input->next);
        input->stream.exceptions(std::ios_base::goodbit);
        input->stream.rdbuf(&input->window);
        input->copy.reset();
        input->window.Reset(nullptr, 0, 0);
        GiveSpare(std::move(input));
    }
    mCopies.clear();
    // An unseekable parent is already after the section.
    if (mValid && !mUnseekable) mParent->pubseekpos(mEnd, std::ios_base::in);
}
