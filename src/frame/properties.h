// Installer properties read and written through the session handle that Windows Installer
// passes to a custom action. The handle is never closed here.
#pragma once

#include <windows.h>
#include <msi.h>

#include <cstddef>

namespace installdll {

// Capacities of the property buffers, the terminating zero included.
constexpr std::size_t kSelectorCapacity = 64;
constexpr std::size_t kPathCapacity = 260;

// Reads a property into a buffer of capacity characters. Returns false (buffer empty) when
// the value does not fit or the handle is no live session: such a read is no value at all.
// A property that is not set reads as the empty string.
bool ReadProperty(MSIHANDLE session, const char* name, char* buffer, std::size_t capacity) noexcept;
template <std::size_t N>
bool ReadProperty(MSIHANDLE session, const char* name, char (&buffer)[N]) noexcept {
  return ReadProperty(session, name, buffer, N);
}

// Sets a property; a null value removes it. The result is not looked at.
void WriteProperty(MSIHANDLE session, const char* name, const char* value) noexcept;

}  // namespace installdll
