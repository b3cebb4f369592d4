// Texts of the message boxes: a caller's string placed into a fixed text, shortened so
// that the text always fits its buffer.
#pragma once

#include <cstddef>

namespace installdll {

// Copies as many whole characters of source as fit into a buffer of capacity bytes, the
// terminating zero included; a double-byte character is never split.
void CopyWholeCharacters(char* buffer, std::size_t capacity, const char* source) noexcept;
template <std::size_t N>
void CopyWholeCharacters(char (&buffer)[N], const char* source) noexcept {
  CopyWholeCharacters(buffer, N, source);
}

}  // namespace installdll
