#pragma once
// Binary field I/O of the stream format. Every item is little-endian whatever the machine, so a
// stream written on one machine reads on any other. Strings are a 4-byte length and the bytes.
//
// Readers never trust a length: a count read from a stream is checked against the bytes that can
// still follow (CanStillRead) before anything is allocated.
//
// Every string of this library is a C string (CString converts to const char*, writers measure
// up to the first zero byte), so a stored string that holds a zero byte cannot have been written
// by this library: reading it fails. Were it accepted, the next write would cut it at the zero
// byte and write→read→write would not give the same bytes.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

#include "interfaces/utility/CString.h"

// Write `count` items of 4, 2 or 1 bytes from `data`; true when the stream is still good.
bool WriteFourBytes(const void* data, std::size_t count, std::ostream& os);
bool WriteTwoBytes(const void* data, std::size_t count, std::ostream& os);
bool WriteBytes(const void* data, std::size_t count, std::ostream& os);

// Read `count` items back; false (and the stream failed) on a short read.
bool ReadFourBytes(void* data, std::size_t count, std::istream& is);
bool ReadTwoBytes(void* data, std::size_t count, std::istream& is);
bool ReadBytes(void* data, std::size_t count, std::istream& is);

// One string: 4-byte length, then the bytes without terminator, up to the first zero byte. Null
// writes the empty string.
bool WriteBinaryString(const char* text, std::ostream& os);
// Read one string; false (stream failed, output untouched) when short, when its length cannot
// follow, or when it holds a zero byte.
bool ReadBinaryString(std::string& out, std::istream& is);
bool ReadBinaryString(CString& out, std::istream& is);
// Allocates with new[]; the caller delete[]s. Null on failure.
bool ReadBinaryString(char*& out, std::istream& is);

// Bytes that can still be read from the stream's position; -1 when the stream cannot tell (a pipe).
std::int64_t StreamBytesLeft(std::istream& is);

// False, with the stream's failbit set, when fewer than `bytes` bytes can follow. True when they
// can, or when the stream cannot tell: such a reader must then grow its storage as data arrives.
bool CanStillRead(std::istream& is, std::uint64_t bytes);
