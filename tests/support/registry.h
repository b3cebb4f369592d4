// Registry keys that a test writes, removed again when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// Creates keys and values for a test and deletes every key it created, with all its
// sub-keys, when it goes out of scope. A key that is already there is first removed, so
// that each test starts from a known state.
class RegistryGuard {
 public:
  RegistryGuard() = default;
  ~RegistryGuard();
  RegistryGuard(const RegistryGuard&) = delete;
  RegistryGuard& operator=(const RegistryGuard&) = delete;

  // Creates the key anew (removing what stood there) and takes it into the guard's care.
  void CreateKey(HKEY root, const std::string& path);
  // Takes a key into the guard's care without creating it: it is removed at the end.
  void Watch(HKEY root, const std::string& path);
  void SetString(HKEY root, const std::string& path, const char* name, const std::string& value);
  void SetBinary(HKEY root, const std::string& path, const char* name, const void* data, DWORD size);
  void SetNumber(HKEY root, const std::string& path, const char* name, DWORD value);
  // Lets everyone open the key with the given access and nothing more (its access list),
  // until the guard goes out of scope or the access is set again.
  void LimitAccess(HKEY root, const std::string& path, DWORD access);
  // Leaves every key in place when the guard goes out of scope.
  void Forget() { keys_.clear(); }

 private:
  struct Key {
    HKEY root;
    std::string path;
  };
  void SetValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                DWORD size);
  std::vector<Key> keys_;
  std::vector<Key> limited_;
};

bool KeyExists(HKEY root, const std::string& path);
// The value's type and data; false when it is not there.
bool ReadValue(HKEY root, const std::string& path, const char* name, DWORD& type, std::string& data);

}  // namespace testing_support
