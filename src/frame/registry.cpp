#include "frame/registry.h"

#include <cstring>

namespace installdll {

UniqueHkey OpenKey(HKEY root, const char* path, REGSAM access) noexcept {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, access, &key) != ERROR_SUCCESS) {
    return UniqueHkey();
  }
  return UniqueHkey(key);
}

bool ReadStringValue(HKEY key, const char* name, char* buffer, std::size_t size) noexcept {
  DWORD length = static_cast<DWORD>(size);
  const LONG result =
      RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length);
  if (result != ERROR_SUCCESS) {
    buffer[0] = '\0';
    return false;
  }
  buffer[length < size ? length : size - 1] = '\0';
  return true;
}

bool ReadNumberValue(HKEY key, const char* name, DWORD& number) noexcept {
  number = 0;  // data shorter than 4 bytes leaves the rest zero
  DWORD length = sizeof(number);
  return RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number),
                          &length) == ERROR_SUCCESS;
}

void WriteStringValue(HKEY key, const char* name, const char* value) noexcept {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>(std::strlen(value) + 1));
}

void WriteNumberValue(HKEY key, const char* name, DWORD number) noexcept {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
}

}  // namespace installdll
