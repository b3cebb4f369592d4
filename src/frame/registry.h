// Registry access with the least rights each purpose needs, into fixed buffers.
#pragma once

#include <windows.h>

#include <cstddef>

#include "frame/handles.h"

namespace installdll {

constexpr REGSAM kReadAccess = KEY_READ;                    // 0x20019
constexpr REGSAM kReadWriteAccess = KEY_READ | KEY_WRITE;   // 0x2001F, an opening used as a test
constexpr REGSAM kWriteAccess = KEY_WRITE;                  // 0x20006
constexpr REGSAM kAllAccess = KEY_ALL_ACCESS;               // 0xF003F
constexpr REGSAM kDeleteAccess = DELETE;                    // 0x10000

// Opens an existing key; an empty owner when it does not open.
UniqueHkey OpenKey(HKEY root, const char* path, REGSAM access) noexcept;

// Reads a value of any type as a zero-terminated string into size bytes. False (buffer
// empty) when the value is missing or larger than the buffer. Data that fills the whole
// buffer without a terminating zero loses its last byte to the terminator.
bool ReadStringValue(HKEY key, const char* name, char* buffer, std::size_t size) noexcept;
template <std::size_t N>
bool ReadStringValue(HKEY key, const char* name, char (&buffer)[N]) noexcept {
  return ReadStringValue(key, name, buffer, N);
}

// Opens root\path for reading and reads one string value; false when either fails.
template <std::size_t N>
bool ReadStringValue(HKEY root, const char* path, const char* name, char (&buffer)[N]) noexcept {
  const UniqueHkey key = OpenKey(root, path, kReadAccess);
  buffer[0] = '\0';
  return key && ReadStringValue(key.Get(), name, buffer, N);
}

// Reads the first 4 bytes of a value of any type as a number.
bool ReadNumberValue(HKEY key, const char* name, DWORD& number) noexcept;

// Writes a REG_SZ value, its terminating zero counted in the length; the result is not
// looked at.
void WriteStringValue(HKEY key, const char* name, const char* value) noexcept;

// Writes a REG_DWORD value; the result is not looked at.
void WriteNumberValue(HKEY key, const char* name, DWORD number) noexcept;

}  // namespace installdll
