// Narrow strings in the ANSI code page: bounded building and the two comparison rules.
// Every comparison walks characters, a lead byte and its trail byte forming one character.
#pragma once

#include <cstddef>

namespace installdll {

// A null string argument from a script reads as the empty string.
inline const char* TextOrEmpty(const char* text) noexcept { return text != nullptr ? text : ""; }

// Copies source into a buffer of capacity bytes. Returns false, leaving the buffer empty,
// when source and its terminating zero do not fit.
bool CopyBounded(char* buffer, std::size_t capacity, const char* source) noexcept;
template <std::size_t N>
bool CopyBounded(char (&buffer)[N], const char* source) noexcept {
  return CopyBounded(buffer, N, source);
}

// Appends tail to the zero-terminated text in a buffer of capacity bytes. Returns false,
// leaving the buffer as it was, when the whole result does not fit.
bool AppendBounded(char* buffer, std::size_t capacity, const char* tail) noexcept;
template <std::size_t N>
bool AppendBounded(char (&buffer)[N], const char* tail) noexcept {
  return AppendBounded(buffer, N, tail);
}

// Copies folder and tail into the buffer as one path; false (buffer empty) if it does not fit.
template <std::size_t N>
bool JoinBounded(char (&buffer)[N], const char* folder, const char* tail) noexcept {
  if (CopyBounded(buffer, N, folder) && AppendBounded(buffer, N, tail)) {
    return true;
  }
  buffer[0] = '\0';
  return false;
}

// Length in bytes of the character that starts at text (1 or 2; 0 at the terminator).
std::size_t CharacterLength(const char* text) noexcept;

// Case-insensitive rule: equal character by character, letters folded to upper case by
// the code page (double-byte characters by the system's upper-case mapping).
bool EqualsIgnoreCase(const char* left, const char* right) noexcept;

// Exact rule: equal byte for byte.
bool EqualsExact(const char* left, const char* right) noexcept;

// Exact rule as a search: the first occurrence of needle in text that starts on a
// character boundary, or null. An empty needle is found at the start.
const char* FindExact(const char* text, const char* needle) noexcept;

// The last "." of text that is a character of its own (never a trail byte), or null.
char* FindLastDot(char* text) noexcept;

// Upper-cases text in place by the code page's multibyte rules.
void ToUpperInPlace(char* text) noexcept;

}  // namespace installdll
