#include "frame/strings.h"

#include <windows.h>

#include <cstring>

namespace installdll {

bool CopyBounded(char* buffer, std::size_t capacity, const char* source) noexcept {
  if (capacity == 0) {
    return false;
  }
  const std::size_t length = std::strlen(source);
  if (length >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, source, length + 1);
  return true;
}

bool AppendBounded(char* buffer, std::size_t capacity, const char* tail) noexcept {
  const std::size_t used = strnlen(buffer, capacity);
  const std::size_t length = std::strlen(tail);
  if (used >= capacity || length >= capacity - used) {
    return false;
  }
  std::memcpy(buffer + used, tail, length + 1);
  return true;
}

std::size_t CharacterLength(const char* text) noexcept {
  if (text[0] == '\0') {
    return 0;
  }
  if (IsDBCSLeadByte(static_cast<BYTE>(text[0])) && text[1] != '\0') {
    return 2;
  }
  return 1;
}

namespace {

// One character, folded to upper case, as a comparable number.
unsigned FoldedCharacter(const char* text, std::size_t length) noexcept {
  char unit[2] = {text[0], length == 2 ? text[1] : '\0'};
  CharUpperBuffA(unit, static_cast<DWORD>(length));
  return (static_cast<unsigned>(static_cast<BYTE>(unit[0])) << 8) |
         static_cast<BYTE>(length == 2 ? unit[1] : 0);
}

}  // namespace

bool EqualsIgnoreCase(const char* left, const char* right) noexcept {
  for (;;) {
    const std::size_t left_length = CharacterLength(left);
    const std::size_t right_length = CharacterLength(right);
    if (left_length != right_length) {
      return false;
    }
    if (left_length == 0) {
      return true;
    }
    if (FoldedCharacter(left, left_length) != FoldedCharacter(right, right_length)) {
      return false;
    }
    left += left_length;
    right += right_length;
  }
}

bool EqualsExact(const char* left, const char* right) noexcept {
  return std::strcmp(left, right) == 0;
}

const char* FindExact(const char* text, const char* needle) noexcept {
  const std::size_t needle_length = std::strlen(needle);
  for (;;) {
    if (std::strncmp(text, needle, needle_length) == 0) {
      return text;
    }
    const std::size_t length = CharacterLength(text);
    if (length == 0) {
      return nullptr;
    }
    text += length;
  }
}

char* FindLastDot(char* text) noexcept {
  char* last_dot = nullptr;
  for (std::size_t length = CharacterLength(text); length != 0; length = CharacterLength(text)) {
    if (length == 1 && *text == '.') {
      last_dot = text;
    }
    text += length;
  }
  return last_dot;
}

void ToUpperInPlace(char* text) noexcept {
  CharUpperBuffA(text, static_cast<DWORD>(std::strlen(text)));
}

}  // namespace installdll
