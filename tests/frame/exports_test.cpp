// The built DLL as a host sees it: exactly the decorated names of the export list, only
// system DLLs imported, and a version resource.
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/library.h"

namespace {

using testing_support::InstallDll;
using testing_support::ProgramFolder;

std::set<std::string> NamesInExportList() {
  std::ifstream list(ProgramFolder() + "InstallDll.def");
  const std::regex entry(R"(^\s*(_\w+@\d+)\s*=\s*\w+@\d+\s*$)");
  std::set<std::string> names;
  for (std::string line; std::getline(list, line);) {
    std::smatch match;
    if (std::regex_match(line, match, entry)) {
      names.insert(match[1]);
    }
  }
  return names;
}

const IMAGE_NT_HEADERS* Headers(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
}

template <class T>
const T* At(HMODULE module, DWORD rva) {
  return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva);
}

std::set<std::string> ExportedNames(HMODULE module) {
  const IMAGE_DATA_DIRECTORY& directory = Headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  std::set<std::string> names;
  if (directory.VirtualAddress == 0) {
    return names;
  }
  const auto* exports = At<IMAGE_EXPORT_DIRECTORY>(module, directory.VirtualAddress);
  const DWORD* name_rvas = At<DWORD>(module, exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    names.insert(At<char>(module, name_rvas[i]));
  }
  EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames) << "an export without a name";
  return names;
}

std::vector<std::string> ImportedLibraries(HMODULE module) {
  const IMAGE_DATA_DIRECTORY& directory = Headers(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<std::string> libraries;
  for (const auto* import = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress); import->Name != 0;
       ++import) {
    std::string name = At<char>(module, import->Name);
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(tolower(c)); });
    libraries.push_back(name);
  }
  return libraries;
}

TEST(Exports, AreExactlyTheDecoratedNamesOfTheExportList) {
  const std::set<std::string> listed = NamesInExportList();
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(ExportedNames(InstallDll()), listed);
}

TEST(Exports, EveryListedNameIsFoundByName) {
  for (const std::string& name : NamesInExportList()) {
    EXPECT_NE(GetProcAddress(InstallDll(), name.c_str()), nullptr) << name;
  }
}

TEST(Imports, NameOnlySystemLibraries) {
  const std::set<std::string> system = {"kernel32.dll", "user32.dll",  "gdi32.dll",   "advapi32.dll", "shell32.dll",
                                        "shlwapi.dll",  "version.dll", "wininet.dll", "msi.dll",      "msvcrt.dll"};
  const std::vector<std::string> imported = ImportedLibraries(InstallDll());
  EXPECT_FALSE(imported.empty());
  for (const std::string& library : imported) {
    EXPECT_EQ(system.count(library), 1u) << library << " is not a system library";
  }
}

TEST(VersionResource, NamesTheModule) {
  char path[MAX_PATH];
  GetModuleFileNameA(InstallDll(), path, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));
  char* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\OriginalFilename",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_STREQ(text, "InstallDll.dll");
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

}  // namespace
