#include "interfaces/utility/BinaryIO.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <typeinfo>
#include <vector>

#include "interfaces/utility/StreamWindow.h"
#include "interfaces/utility/SubStreamWriter.h"

namespace {

constexpr bool kHostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
// Strings longer than this are read in steps when the stream cannot tell its size.
constexpr std::size_t kGrowStep = 64 * 1024;
// Strings up to this length are written and read through a buffer on the stack.
constexpr std::size_t kShortString = 252;

// Small items go straight into the buffer of a directory's sub-stream when it has room, and come
// straight out of one when it holds them: the same bytes as the stream's write and read, without
// their sentry and virtual call per item. Any other stream, or a full or empty buffer, takes the
// stream's own path.
// The writer behind a good sub-stream of ours whose buffer has room for `count` bytes, or null.
SubStreamWriter* DirectWriter(std::ostream& os, std::size_t count) {
    std::streambuf* buffer = os.rdbuf();
    if (os.rdstate() != std::ios_base::goodbit || os.tie() || !buffer || typeid(*buffer) != typeid(SubStreamWriter))
        return nullptr;
    auto* writer = static_cast<SubStreamWriter*>(buffer);
    return writer->HasRoomFor(count) ? writer : nullptr;
}

bool PutBytes(const char* data, std::size_t count, std::ostream& os) {
    if (SubStreamWriter* writer = DirectWriter(os, count)) {
        writer->PutDirect(data, count);
        return true;
    }
    os.write(data, static_cast<std::streamsize>(count));
    return os.good();
}

bool TakeBytes(char* data, std::size_t count, std::istream& is) {
    std::streambuf* buffer = is.rdbuf();
    if (is.rdstate() == std::ios_base::goodbit && !is.tie() && buffer && typeid(*buffer) == typeid(StreamWindow) &&
        static_cast<StreamWindow*>(buffer)->TakeDirect(data, count))
        return true;
    const auto total = static_cast<std::streamsize>(count);
    is.read(data, total);
    if (is.gcount() != total) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    return is.good();
}

bool WriteItems(const void* data, std::size_t count, std::size_t size, std::ostream& os) {
    if (count == 0) return os.good();
    if (kHostIsLittleEndian || size == 1) return PutBytes(static_cast<const char*>(data), count * size, os);
    // Big-endian host: swap through a bounded scratch buffer.
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::vector<unsigned char> scratch(std::min<std::size_t>(count, 4096) * size);
    while (count > 0) {
        const std::size_t n = std::min<std::size_t>(count, scratch.size() / size);
        for (std::size_t i = 0; i < n; ++i)
            std::reverse_copy(bytes + i * size, bytes + (i + 1) * size, scratch.data() + i * size);
        os.write(reinterpret_cast<const char*>(scratch.data()), static_cast<std::streamsize>(n * size));
        bytes += n * size;
        count -= n;
    }
    return os.good();
}

bool ReadItems(void* data, std::size_t count, std::size_t size, std::istream& is) {
    if (count == 0) return is.good();
    if (!TakeBytes(static_cast<char*>(data), count * size, is)) return false;
    if (!kHostIsLittleEndian && size > 1) {
        auto* bytes = static_cast<unsigned char*>(data);
        for (std::size_t i = 0; i < count; ++i) std::reverse(bytes + i * size, bytes + (i + 1) * size);
    }
    return true;
}

}  // namespace

bool WriteFourBytes(const void* data, std::size_t count, std::ostream& os) { return WriteItems(data, count, 4, os); }
bool WriteTwoBytes(const void* data, std::size_t count, std::ostream& os) { return WriteItems(data, count, 2, os); }
bool WriteBytes(const void* data, std::size_t count, std::ostream& os) { return WriteItems(data, count, 1, os); }
bool ReadFourBytes(void* data, std::size_t count, std::istream& is) { return ReadItems(data, count, 4, is); }
bool ReadTwoBytes(void* data, std::size_t count, std::istream& is) { return ReadItems(data, count, 2, is); }
bool ReadBytes(void* data, std::size_t count, std::istream& is) { return ReadItems(data, count, 1, is); }

bool WriteBinaryString(const char* text, std::ostream& os) {
    const char* t = text ? text : "";
    const std::size_t size = std::strlen(t);
    const auto length = static_cast<std::uint32_t>(size);
    if (size <= kShortString) {
        // Length and bytes in one write: most strings (IDs, names, tags) are short.
        const char little[4] = {static_cast<char>(length & 0xFF), static_cast<char>((length >> 8) & 0xFF),
                                static_cast<char>((length >> 16) & 0xFF), static_cast<char>((length >> 24) & 0xFF)};
        if (SubStreamWriter* writer = DirectWriter(os, 4 + size)) {
            writer->PutDirect(little, 4);
            writer->PutDirect(t, size);
            return true;
        }
        char framed[4 + kShortString];
        std::memcpy(framed, little, 4);
        std::memcpy(framed + 4, t, size);
        return PutBytes(framed, 4 + size, os);
    }
    WriteFourBytes(&length, 1, os);
    return WriteBytes(t, length, os);
}

bool ReadBinaryString(std::string& out, std::istream& is) {
    std::uint32_t length = 0;
    if (!ReadFourBytes(&length, 1, is)) return false;
    const std::int64_t left = StreamBytesLeft(is);
    if (left >= 0 && length > static_cast<std::uint64_t>(left)) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    if (length <= kShortString) {
        // Read on the stack and copied into `out`, whose memory is reused when it has enough.
        char text[kShortString];
        if (!ReadBytes(text, length, is)) return false;
        if (std::find(text, text + length, '\0') != text + length) {
            is.setstate(std::ios_base::failbit);
            return false;
        }
        out.assign(text, length);
        return true;
    }
    std::string text;
    if (left >= 0) {
        text.resize(length);
        if (!ReadBytes(text.data(), length, is)) return false;
    } else {
        // The stream cannot tell its size: grow only as the bytes really arrive.
        while (text.size() < length) {
            const std::size_t step = std::min<std::size_t>(kGrowStep, length - text.size());
            const std::size_t at = text.size();
            text.resize(at + step);
            if (!ReadBytes(text.data() + at, step, is)) return false;
        }
    }
    if (text.find('\0') != std::string::npos) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    out.swap(text);
    return true;
}

bool ReadBinaryString(CString& out, std::istream& is) {
    std::string text;
    if (!ReadBinaryString(text, is)) return false;
    out = CString(std::move(text));
    return true;
}

bool ReadBinaryString(char*& out, std::istream& is) {
    out = nullptr;
    std::string text;
    if (!ReadBinaryString(text, is)) return false;
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    out = copy.release();
    return true;
}

std::int64_t StreamBytesLeft(std::istream& is) {
    std::streambuf* buffer = is.rdbuf();
    if (!buffer) return -1;
    // StreamWindow is final: comparing the type is enough, and cheaper than a dynamic_cast.
    if (typeid(*buffer) == typeid(StreamWindow)) return static_cast<const StreamWindow*>(buffer)->BytesLeft();
    const auto here = buffer->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (here == std::streambuf::pos_type(std::streambuf::off_type(-1))) return -1;
    const auto end = buffer->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    buffer->pubseekpos(here, std::ios_base::in);
    if (end == std::streambuf::pos_type(std::streambuf::off_type(-1))) return -1;
    return static_cast<std::int64_t>(end - here);
}

bool CanStillRead(std::istream& is, std::uint64_t bytes) {
    const std::int64_t left = StreamBytesLeft(is);
    if (left >= 0 && bytes > static_cast<std::uint64_t>(left)) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    return true;
}
