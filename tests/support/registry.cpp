#include "support/registry.h"

#include <shlwapi.h>

#include <stdexcept>

namespace testing_support {

RegistryGuard::~RegistryGuard() {
  for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) {
    SHDeleteKeyA(key->root, key->path.c_str());
  }
}

void RegistryGuard::Watch(HKEY root, const std::string& path) { keys_.push_back({root, path}); }

void RegistryGuard::CreateKey(HKEY root, const std::string& path) {
  SHDeleteKeyA(root, path.c_str());
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the key " + path);
  }
  RegCloseKey(key);
  Watch(root, path);
}

void RegistryGuard::SetValue(HKEY root, const std::string& path, const char* name, DWORD type,
                             const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the key " + path);
  }
  const LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) {
    throw std::runtime_error("cannot write a value of " + path);
  }
  bool watched = false;
  for (const Key& known : keys_) {
    watched = watched || (known.root == root && path.compare(0, known.path.size(), known.path) == 0);
  }
  if (!watched) {
    Watch(root, path);
  }
}

void RegistryGuard::SetString(HKEY root, const std::string& path, const char* name, const std::string& value) {
  SetValue(root, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void RegistryGuard::SetBinary(HKEY root, const std::string& path, const char* name, const void* data, DWORD size) {
  SetValue(root, path, name, REG_BINARY, data, size);
}

void RegistryGuard::SetNumber(HKEY root, const std::string& path, const char* name, DWORD value) {
  SetValue(root, path, name, REG_DWORD, &value, sizeof(value));
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool ReadValue(HKEY root, const std::string& path, const char* name, DWORD& type, std::string& data) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    data.assign(size, '\0');
    result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    data.resize(size);
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace testing_support
