// DirectX detection: no DirectX library is loaded, only the versions of its files read.
#include "environment/directx.h"

#include "frame/entry.h"
#include "frame/file_version.h"
#include "frame/properties.h"
#include "frame/strings.h"

namespace installdll {

HRESULT ReadFixedFileVersion(const char* path, ULONGLONG& version) noexcept {
  VS_FIXEDFILEINFO info;
  const HRESULT status = ReadFixedVersionInfo(path, info);
  if (SUCCEEDED(status)) {
    version = (static_cast<ULONGLONG>(info.dwFileVersionMS) << 32) | info.dwFileVersionLS;
  }
  return status;
}

namespace {

// Probe paths: the system folder, a backslash and a file name.
constexpr std::size_t kProbePathCapacity = 512;

constexpr ULONGLONG FileVersion(WORD a, WORD b, WORD c, WORD d) noexcept {
  return (static_cast<ULONGLONG>(a) << 48) | (static_cast<ULONGLONG>(b) << 32) |
         (static_cast<ULONGLONG>(c) << 16) | d;
}

WORD FirstPart(ULONGLONG version) noexcept { return static_cast<WORD>(version >> 48); }
WORD FourthPart(ULONGLONG version) noexcept { return static_cast<WORD>(version); }

enum class Condition {
  kAnyVersion,
  kAtLeast,         // at least `threshold`
  kAtLeastFor4Or5,  // first part exactly 4 and at least `threshold`, or exactly 5 and at least `threshold_5`
};

struct Probe {
  const char* file;
  Condition condition;
  ULONGLONG threshold;
  ULONGLONG threshold_5;
  DirectXVersion result;
  bool letter_by_fourth_part;  // Direct3D 9: 9.0a to 9.0c are told apart by the fourth part
};

constexpr DirectXVersion kNoDirectX = {0, 0, ' '};

// Walked in order; every probe that holds overrides the ones before it. The first parts
// 4 and 5 are the numbering of the Windows 9x and of the Windows NT builds of a file.
constexpr Probe kProbes[] = {
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 2, 0, 95), 0, {1, 0, ' '}, false},
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 3, 0, 1096), 0, {2, 0, ' '}, false},
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 4, 0, 68), 0, {3, 0, ' '}, false},
    {"\\d3drg8x.dll", Condition::kAtLeast, FileVersion(4, 4, 0, 70), 0, {3, 0, 'a'}, false},
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 5, 0, 155), 0, {5, 0, ' '}, false},
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 6, 0, 318), 0, {6, 0, ' '}, false},
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 6, 0, 436), 0, {6, 1, ' '}, false},
    {"\\dplayx.dll", Condition::kAtLeast, FileVersion(4, 6, 3, 518), 0, {6, 1, 'a'}, false},
    {"\\ddraw.dll", Condition::kAtLeast, FileVersion(4, 7, 0, 700), 0, {7, 0, ' '}, false},
    {"\\dinput.dll", Condition::kAtLeast, FileVersion(4, 7, 0, 716), 0, {7, 0, 'a'}, false},
    {"\\ddraw.dll", Condition::kAtLeastFor4Or5, FileVersion(4, 8, 0, 400), FileVersion(5, 1, 2258, 400), {8, 0, ' '}, false},
    {"\\d3d8.dll", Condition::kAtLeastFor4Or5, FileVersion(4, 8, 1, 881), FileVersion(5, 1, 2600, 881), {8, 1, ' '}, false},
    {"\\d3d8.dll", Condition::kAtLeastFor4Or5, FileVersion(4, 8, 1, 901), FileVersion(5, 1, 2600, 901), {8, 1, 'a'}, false},
    {"\\mpg2splt.ax", Condition::kAtLeast, FileVersion(6, 3, 1, 885), 0, {8, 1, 'b'}, false},
    {"\\dpnet.dll", Condition::kAtLeastFor4Or5, FileVersion(4, 9, 0, 134), FileVersion(5, 2, 3677, 134), {8, 2, ' '}, false},
    {"\\d3d9.dll", Condition::kAnyVersion, 0, 0, {9, 0, ' '}, true},
    {"\\d3d10.dll", Condition::kAnyVersion, 0, 0, {10, 0, ' '}, false},
};

bool Holds(const Probe& probe, ULONGLONG version) noexcept {
  switch (probe.condition) {
    case Condition::kAnyVersion:
      return true;
    case Condition::kAtLeast:
      return version >= probe.threshold;
    case Condition::kAtLeastFor4Or5:
      return (FirstPart(version) == 4 && version >= probe.threshold) ||
             (FirstPart(version) == 5 && version >= probe.threshold_5);
  }
  return false;
}

// DirectX 9.0a, 9.0b and 9.0c by the fourth part of d3d9.dll; below 901 it is 9.0.
char Direct3D9Letter(ULONGLONG version) noexcept {
  const WORD fourth = FourthPart(version);
  if (fourth >= 903) {
    return 'c';
  }
  if (fourth == 902) {
    return 'b';
  }
  return fourth == 901 ? 'a' : ' ';
}

DirectXVersion ResultOf(const Probe& probe, ULONGLONG version) noexcept {
  DirectXVersion result = probe.result;
  if (probe.letter_by_fourth_part) {
    result.letter = Direct3D9Letter(version);
  }
  return result;
}

HRESULT ReadProbedVersion(const char* system_folder, const char* file, ULONGLONG& version) noexcept {
  char path[kProbePathCapacity];
  if (!JoinBounded(path, system_folder, file)) {
    return E_FAIL;
  }
  return ReadFixedFileVersion(path, version);
}

// The system folder; false when it is not obtained whole.
bool ReadSystemFolder(char (&folder)[kPathCapacity]) noexcept {
  const UINT length = GetSystemDirectoryA(folder, kPathCapacity);
  folder[kPathCapacity - 1] = '\0';
  return length != 0 && length < kPathCapacity;
}

}  // namespace

DirectXVersion DetectDirectXVersion(const char* system_folder) noexcept {
  DirectXVersion found = kNoDirectX;
  // Consecutive probes of the same file share one reading of its version.
  const char* read_file = nullptr;
  HRESULT status = E_FAIL;
  ULONGLONG version = 0;
  for (const Probe& probe : kProbes) {
    if (read_file == nullptr || !EqualsExact(read_file, probe.file)) {
      read_file = probe.file;
      status = ReadProbedVersion(system_folder, probe.file, version);
    }
    if (SUCCEEDED(status) && Holds(probe, version)) {
      found = ResultOf(probe, version);
    }
  }
  return found;
}

bool IsDirectX9cOrLater(const DirectXVersion& version) noexcept {
  if (version.major != 9) {
    return version.major > 9;
  }
  return version.minor > 0 || version.letter >= 'c';
}

void CheckDirectX9(MSIHANDLE session, const char* system_folder) noexcept {
  if (IsDirectX9cOrLater(DetectDirectXVersion(system_folder))) {
    WriteProperty(session, "KQDirectX", "9");
  }
}

bool HasDirect3D9(const char* system_folder) noexcept {
  char path[kProbePathCapacity];
  return JoinBounded(path, system_folder, "\\d3d9.dll") && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) IsDX9Installed(MSIHANDLE session) {
  return GuardedAction([&] {
    char system_folder[kPathCapacity];
    if (ReadSystemFolder(system_folder)) {
      CheckDirectX9(session, system_folder);
    }
  });
}

INSTALLDLL_ENTRY(short) IsDX9Exists() {
  return Guarded<short>(0, [&]() -> short {
    char system_folder[kPathCapacity];
    return ReadSystemFolder(system_folder) && HasDirect3D9(system_folder) ? 1 : 0;
  });
}
