// Calls the DLL's script entry points the way the script setup engine does: loads
// InstallDll.dll, looks each export up by its decorated name and prints its result.
// Reads one call a line, fields separated by tabs:
//   EXPORT SHAPE [ARGUMENT [ARGUMENT]]
// SHAPE is "short" (a 16-bit result, printed as a signed 16-bit number), "int" or "text"
// (a string result). Prints one result a line.
#include <windows.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Call0 = void* (__stdcall*)();
using Call1 = void* (__stdcall*)(const char*);
using Call2 = void* (__stdcall*)(const char*, const char*);

std::string Call(HMODULE library, const std::vector<std::string>& f) {
  FARPROC entry = f.size() >= 2 && f.size() <= 4 ? GetProcAddress(library, f[0].c_str()) : nullptr;
  if (entry == nullptr) {
    return "not exported";
  }
  void* address = reinterpret_cast<void*>(entry);
  void* result = nullptr;
  if (f.size() == 2) {
    result = reinterpret_cast<Call0>(address)();
  } else if (f.size() == 3) {
    result = reinterpret_cast<Call1>(address)(f[2].c_str());
  } else {
    result = reinterpret_cast<Call2>(address)(f[2].c_str(), f[3].c_str());
  }
  const auto value = reinterpret_cast<INT_PTR>(result);
  if (f[1] == "short") {
    return std::to_string(static_cast<short>(value & 0xFFFF));
  }
  if (f[1] == "text") {
    return result != nullptr ? static_cast<const char*>(result) : "(null)";
  }
  return std::to_string(static_cast<int>(value));
}

}  // namespace

int main() {
  HMODULE library = LoadLibraryA("InstallDll.dll");
  if (library == nullptr) {
    std::fprintf(stderr, "script_host: InstallDll.dll does not load\n");
    return 1;
  }
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    std::vector<std::string> fields;
    std::istringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) {
      fields.push_back(field);
    }
    if (!fields.empty()) {
      std::printf("%s\n", Call(library, fields).c_str());
    }
  }
  FreeLibrary(library);
  return 0;
}
