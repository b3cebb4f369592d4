// InstallerIdle: whether Windows Installer is present, and a wait until the installer
// processes running are fewer than the number that means another installation is busy.
#include "processes/installer_idle.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

#include "frame/entry.h"
#include "frame/handles.h"

namespace installdll {

namespace {

constexpr char kInstallerName[] = "MSIEXEC.EXE";
constexpr std::size_t kInstallerNameLength = sizeof kInstallerName - 1;
constexpr DWORD kPollMilliseconds = 1000;

// Whether offset falls on the start of a character of text, not on a trail byte.
bool StartsCharacter(const char* text, std::size_t offset) noexcept {
  std::size_t position = 0;
  while (position < offset) {
    position += CharacterLength(text + position);
  }
  return position == offset;
}

// On Windows NT the installer service is itself one installer process, so only a second
// one means that an installation is busy.
unsigned BusyThreshold() noexcept {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT ? 2 : 1;
}

bool IsWindowsInstallerPresent(HMODULE installer) noexcept {
  return installer != nullptr && GetProcAddress(installer, "MsiQueryProductStateA") != nullptr;
}

}  // namespace

bool IsInstallerProcessName(const char* executable) noexcept {
  const std::size_t length = std::strlen(executable);
  if (length < kInstallerNameLength) {
    return false;
  }
  const std::size_t suffix = length - kInstallerNameLength;
  return StartsCharacter(executable, suffix) && EqualsIgnoreCase(executable + suffix, kInstallerName);
}

unsigned CountInstallerProcesses() noexcept {
  const UniqueSnapshot snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    return 1;
  }
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  if (!Process32First(snapshot.Get(), &entry)) {
    return 1;
  }
  unsigned count = 0;
  do {
    if (IsInstallerProcessName(entry.szExeFile)) {
      ++count;
    }
  } while (Process32Next(snapshot.Get(), &entry));
  return count;
}

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(short) InstallerIdle() {
  return Guarded<short>(0, [&]() -> short {
    const UniqueModule installer(LoadLibraryA("msi.dll"));
    if (!IsWindowsInstallerPresent(installer.Get())) {
      return 0;
    }
    const unsigned threshold = BusyThreshold();
    while (CountInstallerProcesses() >= threshold) {
      Sleep(kPollMilliseconds);
    }
    return 1;
  });
}
