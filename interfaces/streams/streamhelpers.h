#pragma once
// Field helpers of the persistence pattern: one typed field, container or nested object written
// to or read from a stream (or a sub-stream of a directory) with the same encoding both ways.
//
//   32-bit int, unsigned 32-bit (unique IDs held in unsigned long), float, long: 4 bytes
//   16-bit int: 2 bytes;  bool and single bytes: 1 byte;  double: 8 bytes
//   CString, std::string: a binary string
//   a persistent object (ZStreamBase): the object through operator<< / operator>>
//   boost::shared_ptr<T>: a presence byte (0 empty, 1 present), then the object; reading a
//     present one makes a new default-constructed T
//   std::vector, std::list, std::set: a 4-byte count, then each element
//   std::map: a 4-byte count, then key and value of each entry in the map's order
//   std::pair and small records: their fields in order (a record type provides its own
//     WriteToStream/ReadFromStream overloads, for instance with WriteFields/ReadFields)
//
// Reading never trusts a count: it is checked against the bytes that can still follow before
// anything is allocated. A value is replaced only when its read succeeds.

#include <boost/shared_ptr.hpp>

#include <cstdint>
#include <cstring>
#include <istream>
#include <list>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "interfaces/streams/StreamDirectory.h"
#include "interfaces/streams/ZStreamBase.h"
#include "interfaces/streams/ZoStreamError.h"
#include "interfaces/utility/BinaryIO.h"
#include "interfaces/utility/CString.h"

namespace streamhelpers_detail {

// The fewest bytes one element of a type occupies in a stream; bounds counts before allocation.
template <typename T, typename = void>
struct MinimumSize {
    static constexpr std::uint64_t value = 1;
};
template <typename T>
struct MinimumSize<T, std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>>> {
    static constexpr std::uint64_t value = sizeof(T) >= 4 ? 4 : sizeof(T);  // long and double at least 4
};
template <>
struct MinimumSize<std::string> {
    static constexpr std::uint64_t value = 4;
};
template <>
struct MinimumSize<CString> {
    static constexpr std::uint64_t value = 4;
};

inline bool Finish(std::istream& is, bool required) {
    if (is.good()) return true;
    if (required) throw ZoStreamError("Error when reading from stream");
    return false;
}

template <typename Int, typename Stored>
bool WriteAs(Int value, std::ostream& os) {
    const auto stored = static_cast<Stored>(value);
    if constexpr (sizeof(Stored) == 4)
        return WriteFourBytes(&stored, 1, os);
    else if constexpr (sizeof(Stored) == 2)
        return WriteTwoBytes(&stored, 1, os);
    else
        return WriteBytes(&stored, 1, os);
}

template <typename Int, typename Stored>
bool ReadAs(Int& value, std::istream& is) {
    Stored stored{};
    bool ok = false;
    if constexpr (sizeof(Stored) == 4)
        ok = ReadFourBytes(&stored, 1, is);
    else if constexpr (sizeof(Stored) == 2)
        ok = ReadTwoBytes(&stored, 1, is);
    else
        ok = ReadBytes(&stored, 1, is);
    if (ok) value = static_cast<Int>(stored);
    return ok;
}

}  // namespace streamhelpers_detail

// ---- scalars ---------------------------------------------------------------------------------

inline bool WriteToStream(int value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<int, std::int32_t>(value, os);
}
inline bool WriteToStream(unsigned int value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<unsigned int, std::uint32_t>(value, os);
}
inline bool WriteToStream(long value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<long, std::int32_t>(value, os);
}
inline bool WriteToStream(unsigned long value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<unsigned long, std::uint32_t>(value, os);
}
inline bool WriteToStream(short value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<short, std::int16_t>(value, os);
}
inline bool WriteToStream(unsigned short value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<unsigned short, std::uint16_t>(value, os);
}
inline bool WriteToStream(bool value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<bool, std::uint8_t>(value, os);
}
inline bool WriteToStream(char value, std::ostream& os) { return streamhelpers_detail::WriteAs<char, char>(value, os); }
inline bool WriteToStream(unsigned char value, std::ostream& os) {
    return streamhelpers_detail::WriteAs<unsigned char, std::uint8_t>(value, os);
}
inline bool WriteToStream(float value, std::ostream& os) { return WriteFourBytes(&value, 1, os); }
inline bool WriteToStream(double value, std::ostream& os) {
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint32_t words[2] = {static_cast<std::uint32_t>(bits), static_cast<std::uint32_t>(bits >> 32)};
    return WriteFourBytes(words, 2, os);
}
inline bool WriteToStream(const CString& value, std::ostream& os) { return WriteBinaryString(value, os); }
inline bool WriteToStream(const std::string& value, std::ostream& os) { return WriteBinaryString(value.c_str(), os); }
inline bool WriteToStream(const char* value, std::ostream& os) { return WriteBinaryString(value, os); }

inline bool ReadValue(int& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<int, std::int32_t>(value, is);
}
inline bool ReadValue(unsigned int& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<unsigned int, std::uint32_t>(value, is);
}
inline bool ReadValue(long& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<long, std::int32_t>(value, is);
}
inline bool ReadValue(unsigned long& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<unsigned long, std::uint32_t>(value, is);
}
inline bool ReadValue(short& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<short, std::int16_t>(value, is);
}
inline bool ReadValue(unsigned short& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<unsigned short, std::uint16_t>(value, is);
}
inline bool ReadValue(bool& value, std::istream& is) {
    std::uint8_t byte = 0;
    if (!ReadBytes(&byte, 1, is)) return false;
    value = byte != 0;
    return true;
}
inline bool ReadValue(char& value, std::istream& is) { return streamhelpers_detail::ReadAs<char, char>(value, is); }
inline bool ReadValue(unsigned char& value, std::istream& is) {
    return streamhelpers_detail::ReadAs<unsigned char, std::uint8_t>(value, is);
}
inline bool ReadValue(float& value, std::istream& is) {
    float stored = 0;
    if (!ReadFourBytes(&stored, 1, is)) return false;
    value = stored;
    return true;
}
inline bool ReadValue(double& value, std::istream& is) {
    std::uint32_t words[2] = {0, 0};
    if (!ReadFourBytes(words, 2, is)) return false;
    const std::uint64_t bits = words[0] | static_cast<std::uint64_t>(words[1]) << 32;
    std::memcpy(&value, &bits, sizeof value);
    return true;
}
inline bool ReadValue(CString& value, std::istream& is) { return ReadBinaryString(value, is); }
inline bool ReadValue(std::string& value, std::istream& is) { return ReadBinaryString(value, is); }

// ---- persistent objects ----------------------------------------------------------------------

template <typename T, std::enable_if_t<std::is_base_of_v<ZStreamBase, T>, int> = 0>
bool WriteToStream(const T& object, std::ostream& os) {
    os << static_cast<const ZStreamBase&>(object);
    return os.good();
}

template <typename T, std::enable_if_t<std::is_base_of_v<ZStreamBase, T>, int> = 0>
bool ReadValue(T& object, std::istream& is) {
    is >> static_cast<ZStreamBase&>(object);
    return is.good();
}

// ---- containers (declared first so that they can nest) ----------------------------------------

template <typename T>
bool WriteToStream(const boost::shared_ptr<T>& pointer, std::ostream& os);
template <typename T>
bool ReadValue(boost::shared_ptr<T>& pointer, std::istream& is);
template <typename A, typename B>
bool WriteToStream(const std::pair<A, B>& pair, std::ostream& os);
template <typename A, typename B>
bool ReadValue(std::pair<A, B>& pair, std::istream& is);
template <typename T, typename Al>
bool WriteToStream(const std::vector<T, Al>& items, std::ostream& os);
template <typename T, typename Al>
bool ReadValue(std::vector<T, Al>& items, std::istream& is);
template <typename T, typename Al>
bool WriteToStream(const std::list<T, Al>& items, std::ostream& os);
template <typename T, typename Al>
bool ReadValue(std::list<T, Al>& items, std::istream& is);
template <typename T, typename C, typename Al>
bool WriteToStream(const std::set<T, C, Al>& items, std::ostream& os);
template <typename T, typename C, typename Al>
bool ReadValue(std::set<T, C, Al>& items, std::istream& is);
template <typename K, typename V, typename C, typename Al>
bool WriteToStream(const std::map<K, V, C, Al>& items, std::ostream& os);
template <typename K, typename V, typename C, typename Al>
bool ReadValue(std::map<K, V, C, Al>& items, std::istream& is);

namespace streamhelpers_detail {

template <typename Range>
bool WriteRange(const Range& items, std::ostream& os) {
    const auto count = static_cast<std::int32_t>(items.size());
    WriteFourBytes(&count, 1, os);
    for (const auto& item : items) WriteToStream(item, os);
    return os.good();
}

// Reads the count and checks it against the bytes left; -1 on failure.
template <typename Element>
std::int32_t ReadCount(std::istream& is) {
    std::int32_t count = 0;
    if (!ReadFourBytes(&count, 1, is)) return -1;
    if (count < 0) {
        is.setstate(std::ios_base::failbit);
        return -1;
    }
    if (!CanStillRead(is, static_cast<std::uint64_t>(count) * MinimumSize<Element>::value)) return -1;
    return count;
}

// Capacity to reserve before reading `count` elements: all of them when the stream vouched for
// the bytes, a bounded start otherwise.
inline std::size_t SafeReserve(std::istream& is, std::int32_t count) {
    return StreamBytesLeft(is) >= 0 ? static_cast<std::size_t>(count)
                                    : std::min<std::size_t>(static_cast<std::size_t>(count), 4096);
}

}  // namespace streamhelpers_detail

template <typename T>
bool WriteToStream(const boost::shared_ptr<T>& pointer, std::ostream& os) {
    const std::uint8_t present = pointer ? 1 : 0;
    WriteBytes(&present, 1, os);
    if (pointer) WriteToStream(*pointer, os);
    return os.good();
}

template <typename T>
bool ReadValue(boost::shared_ptr<T>& pointer, std::istream& is) {
    std::uint8_t present = 0;
    if (!ReadBytes(&present, 1, is)) return false;
    if (present == 0) {
        pointer.reset();
        return true;
    }
    if (present != 1) {
        is.setstate(std::ios_base::failbit);
        return false;
    }
    boost::shared_ptr<std::remove_const_t<T>> fresh(new std::remove_const_t<T>());
    if (!ReadValue(*fresh, is)) return false;
    pointer = fresh;
    return true;
}

template <typename A, typename B>
bool WriteToStream(const std::pair<A, B>& pair, std::ostream& os) {
    WriteToStream(pair.first, os);
    return WriteToStream(pair.second, os);
}

template <typename A, typename B>
bool ReadValue(std::pair<A, B>& pair, std::istream& is) {
    return ReadValue(pair.first, is) && ReadValue(pair.second, is);
}

template <typename T, typename Al>
bool WriteToStream(const std::vector<T, Al>& items, std::ostream& os) {
    return streamhelpers_detail::WriteRange(items, os);
}
template <typename T, typename Al>
bool WriteToStream(const std::list<T, Al>& items, std::ostream& os) {
    return streamhelpers_detail::WriteRange(items, os);
}
template <typename T, typename C, typename Al>
bool WriteToStream(const std::set<T, C, Al>& items, std::ostream& os) {
    return streamhelpers_detail::WriteRange(items, os);
}
template <typename K, typename V, typename C, typename Al>
bool WriteToStream(const std::map<K, V, C, Al>& items, std::ostream& os) {
    return streamhelpers_detail::WriteRange(items, os);
}

template <typename T, typename Al>
bool ReadValue(std::vector<T, Al>& items, std::istream& is) {
    const std::int32_t count = streamhelpers_detail::ReadCount<T>(is);
    if (count < 0) return false;
    std::vector<T, Al> fresh;
    fresh.reserve(streamhelpers_detail::SafeReserve(is, count));
    for (std::int32_t i = 0; i < count; ++i) {
        T item{};
        if (!ReadValue(item, is)) return false;
        fresh.push_back(std::move(item));
    }
    items.swap(fresh);
    return true;
}

template <typename T, typename Al>
bool ReadValue(std::list<T, Al>& items, std::istream& is) {
    const std::int32_t count = streamhelpers_detail::ReadCount<T>(is);
    if (count < 0) return false;
    std::list<T, Al> fresh;
    for (std::int32_t i = 0; i < count; ++i) {
        T item{};
        if (!ReadValue(item, is)) return false;
        fresh.push_back(std::move(item));
    }
    items.swap(fresh);
    return true;
}

template <typename T, typename C, typename Al>
bool ReadValue(std::set<T, C, Al>& items, std::istream& is) {
    const std::int32_t count = streamhelpers_detail::ReadCount<T>(is);
    if (count < 0) return false;
    std::set<T, C, Al> fresh;
    for (std::int32_t i = 0; i < count; ++i) {
        T item{};
        if (!ReadValue(item, is)) return false;
        fresh.insert(fresh.end(), std::move(item));
    }
    items.swap(fresh);
    return true;
}

template <typename K, typename V, typename C, typename Al>
bool ReadValue(std::map<K, V, C, Al>& items, std::istream& is) {
    const std::int32_t count = streamhelpers_detail::ReadCount<K>(is);
    if (count < 0) return false;
    std::map<K, V, C, Al> fresh;
    for (std::int32_t i = 0; i < count; ++i) {
        K key{};
        V value{};
        if (!ReadValue(key, is) || !ReadValue(value, is)) return false;
        fresh.emplace_hint(fresh.end(), std::move(key), std::move(value));
    }
    items.swap(fresh);
    return true;
}

// ---- small records ---------------------------------------------------------------------------

// Writes several fields in order; true when the stream is still good.
template <typename... Fields>
bool WriteFields(std::ostream& os, const Fields&... fields) {
    (WriteToStream(fields, os), ...);
    return os.good();
}

// Reads several fields in order; stops at the first failure.
template <typename... Fields>
bool ReadFields(std::istream& is, Fields&... fields) {
    return (ReadValue(fields, is) && ...);
}

// ---- the two entry points of every section reader ---------------------------------------------

// Reads one value. On failure: throws ZoStreamError("Error when reading from stream") when
// `required`, otherwise returns false. The value is replaced only by a successful read.
template <typename T>
bool ReadFromStream(T& value, std::istream& is, bool required) {
    // Every ReadValue overload assigns only after a complete read (a persistent object reads into
    // itself: the fields read before a failure keep their new values).
    if (is.good()) {
        if (ReadValue(value, is) && is.good()) return true;
        is.setstate(std::ios_base::failbit);
    }
    return streamhelpers_detail::Finish(is, required);
}

// Reads one value from sub-stream k. An absent sub-stream throws ZoStreamError("ReadFromStreamDir
// failed") when `required`, otherwise returns false and leaves the value untouched.
template <typename T>
bool ReadFromStreamDir(T& value, InputStreamDirectory& directory, int k, bool required) {
    std::istream* input = directory.GetInput(k);
    if (!input) {
        if (required) throw ZoStreamError("ReadFromStreamDir failed");
        return false;
    }
    return ReadFromStream(value, *input, required);
}
