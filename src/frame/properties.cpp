#include "frame/properties.h"

#include <msiquery.h>

namespace installdll {

bool ReadProperty(MSIHANDLE session, const char* name, char* buffer, std::size_t capacity) noexcept {
  buffer[0] = '\0';
  DWORD length = static_cast<DWORD>(capacity);
  if (MsiGetPropertyA(session, name, buffer, &length) != ERROR_SUCCESS) {
    buffer[0] = '\0';
    return false;
  }
  buffer[capacity - 1] = '\0';
  return true;
}

void WriteProperty(MSIHANDLE session, const char* name, const char* value) noexcept {
  MsiSetPropertyA(session, name, value);
}

}  // namespace installdll
