#include "interfaces/utility/BinaryIO.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "interfaces/utility/StreamWindow.h"

namespace {

constexpr bool kHostIsLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
// Strings longer than this are read in steps when the stream cannot tell its size.
constexpr std::size_t kGrowStep = 64 * 1024;

bool WriteItems(const void* data, std::size_t count, std::size_t size, std::ostream& os) {
    if (count == 0) return os.good();
    if (kHostIsLittleEndian || size == 1) {
        os.write(static_cast<const char*>(data), static_cast<std::streamsize>(count * size));
        return os.good();
    }
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
    const auto total = static_cast<std::streamsize>(count * size);
    is.read(static_cast<char*>(data), total);
    if (is.gcount() != total) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    if (!kHostIsLittleEndian && size > 1) {
        auto* bytes = static_cast<unsigned char*>(data);
        for (std::size_t i = 0; i < count; ++i) std::reverse(bytes + i * size, bytes + (i + 1) * size);
    }
    return is.good();
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
    const auto length = static_cast<std::uint32_t>(std::strlen(t));
    WriteFourBytes(&length, 1, os);
    return WriteBytes(t, length, os);
}

bool ReadBinaryString(std::string& out, std::istream& is) {
    std::uint32_t length = 0;
    if (!ReadFourBytes(&length, 1, is)) return false;
    if (!CanStillRead(is, length)) return false;
    std::string text;
    if (StreamBytesLeft(is) >= 0) {
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
    if (const auto* window = dynamic_cast<const StreamWindow*>(buffer)) return window->BytesLeft();
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
