#include "support/registry.h"

#include <sddl.h>
#include <shlwapi.h>

#include <cstdio>
#include <stdexcept>

namespace testing_support {

namespace {

void SetAccessList(HKEY root, const std::string& path, DWORD access) {
  char access_list[64];
  std::snprintf(access_list, sizeof(access_list), "D:(A;;0x%lx;;;WD)", access);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  HKEY key = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(access_list, SDDL_REVISION_1, &descriptor, nullptr) ||
      RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS ||
      RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) != ERROR_SUCCESS) {
    if (key != nullptr) {
      RegCloseKey(key);
    }
    LocalFree(descriptor);
    throw std::runtime_error("cannot set the access list of " + path);
  }
  RegCloseKey(key);
  LocalFree(descriptor);
}

}  // namespace

RegistryGuard::~RegistryGuard() {
  for (const Key& key : limited_) {
    try {
      SetAccessList(key.root, key.path, KEY_ALL_ACCESS);
    } catch (const std::exception&) {
      // The key stays; removing it below may fail as well.
    }
  }
  for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) {
    SHDeleteKeyA(key->root, key->path.c_str());
  }
}

void RegistryGuard::LimitAccess(HKEY root, const std::string& path, DWORD access) {
  SetAccessList(root, path, access);
  limited_.push_back({root, path});
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
