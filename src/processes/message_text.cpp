#include "processes/message_text.h"

#include <cstring>

#include "frame/strings.h"

namespace installdll {

void CopyWholeCharacters(char* buffer, std::size_t capacity, const char* source) noexcept {
  if (capacity == 0) {
    return;
  }
  std::size_t length = 0;
  for (std::size_t next = CharacterLength(source); next != 0 && length + next < capacity;
       next = CharacterLength(source + length)) {
    length += next;
  }
  std::memcpy(buffer, source, length);
  buffer[length] = '\0';
}

}  // namespace installdll
