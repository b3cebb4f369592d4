#include "support/version_files.h"

#include <shellapi.h>

#include <cstddef>
#include <stdexcept>

#include "support/library.h"

namespace testing_support {

namespace {

// The root block of a version resource: its header, the key "VS_VERSION_INFO" padded to
// a 32-bit boundary and the fixed information, with no child blocks.
struct VersionResource {
  WORD length;
  WORD value_length;
  WORD type;
  WCHAR key[16];
  WORD padding;
  VS_FIXEDFILEINFO fixed;
};
static_assert(offsetof(VersionResource, fixed) == 40, "the fixed information starts on a 32-bit boundary");

DWORD High(FourPartVersion version) { return MAKELONG(version.b, version.a); }
DWORD Low(FourPartVersion version) { return MAKELONG(version.d, version.c); }

VersionResource MakeVersionResource(FourPartVersion file_version, FourPartVersion product_version) {
  VersionResource resource = {};
  resource.length = sizeof(resource);
  resource.value_length = sizeof(resource.fixed);
  resource.type = 0;
  const wchar_t key[] = L"VS_VERSION_INFO";
  for (std::size_t i = 0; i < sizeof(key) / sizeof(key[0]); ++i) {
    resource.key[i] = key[i];
  }
  VS_FIXEDFILEINFO& fixed = resource.fixed;
  fixed.dwSignature = VS_FFI_SIGNATURE;
  fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
  fixed.dwFileVersionMS = High(file_version);
  fixed.dwFileVersionLS = Low(file_version);
  fixed.dwProductVersionMS = High(product_version);
  fixed.dwProductVersionLS = Low(product_version);
  fixed.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
  fixed.dwFileOS = VOS_NT_WINDOWS32;
  fixed.dwFileType = VFT_APP;
  return resource;
}

// The small program, built beside the test program.
std::string StubProgram() { return ProgramFolder() + "version_stub.exe"; }

}  // namespace

void CreateFoldersFor(const std::string& path) {
  for (std::size_t slash = path.find('\\', 3); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
  }
}

ScratchFolder::ScratchFolder() {
  static unsigned next = 0;
  char temporary[MAX_PATH];
  GetTempPathA(MAX_PATH, temporary);
  // Process ids come again: pass over a folder that an interrupted run left behind.
  do {
    path_ = std::string(temporary) + "versions-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(next++);
  } while (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
  if (GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES) {
    throw std::runtime_error("cannot create the folder " + path_);
  }
}

ScratchFolder::~ScratchFolder() {
  // The operation takes a list of paths that ends with an empty one.
  const std::string paths = path_ + std::string(1, '\0');
  SHFILEOPSTRUCTA operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = paths.c_str();
  operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationA(&operation);
}

void WriteProgram(const std::string& path) {
  CreateFoldersFor(path);
  if (!CopyFileA(StubProgram().c_str(), path.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy the small program to " + path);
  }
}

void WriteVersionedProgram(const std::string& path, FourPartVersion file_version,
                           FourPartVersion product_version) {
  WriteProgram(path);
  VersionResource resource = MakeVersionResource(file_version, product_version);
  HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
  if (update == nullptr) {
    throw std::runtime_error("cannot update the resources of " + path);
  }
  const BOOL added = UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                     MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &resource, sizeof(resource));
  if (!EndUpdateResourceA(update, !added) || !added) {
    throw std::runtime_error("cannot add a version resource to " + path);
  }
}

}  // namespace testing_support
