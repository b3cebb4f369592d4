// Installed-version checks: whether a patch applies to the installed program.
#include "versions/version_checks.h"

#include "catalogue/catalogue.h"
#include "detection/install_state.h"
#include "frame/entry.h"
#include "frame/file_version.h"
#include "frame/properties.h"
#include "frame/registry.h"

namespace installdll {

bool ReadProductVersion(const char* path, FixedProductVersion& version) noexcept {
  VS_FIXEDFILEINFO info;
  if (FAILED(ReadFixedVersionInfo(path, info))) {
    return false;
  }
  version = {HIWORD(info.dwProductVersionMS), LOWORD(info.dwProductVersionMS),
             HIWORD(info.dwProductVersionLS), LOWORD(info.dwProductVersionLS)};
  return true;
}

namespace {

constexpr char kAppDirValue[] = "AppDir";
constexpr char kVocastraProgram[] = "\\Vocastra.exe";
constexpr char kTrevokProgram[] = "Bin\\TREVOK.exe";

// The build that the Vocastra 2 program-files patch was made for.
constexpr WORD kVocastra2PatchBuild = 1574;
// Trevok Key programs of this build or later let a Trevok setup choose its folder.
constexpr WORD kTrevokFirstAllowedBuild = 2230;

// The product version of the product's program: a folder from the product key followed by
// the program's file part. A missing value or a path that would not fit counts as a
// missing program.
bool ReadInstalledProductVersion(const char* key, const char* value, const char* program,
                                 FixedProductVersion& version) noexcept {
  char folder[kPathCapacity];
  char path[kPathCapacity];
  return ReadStringValue(HKEY_LOCAL_MACHINE, key, value, folder) && JoinBounded(path, folder, program) &&
         ReadProductVersion(path, version);
}

// Versions 2.0 and 2.1 of Vocastra take the program-files patch.
bool IsVocastra2Patchable(const FixedProductVersion& version) noexcept {
  return version.major == 2 && version.minor < 2;
}

// A version text whose first character is "2", or whose first is "1" and third "6" or "7":
// "1.6", "1.7", "2.0" and "20.0" pass, "1.8", "10.6" and "3.0" do not.
bool IsVersion6Plus(const char* text) noexcept {
  if (text[0] == '2') {
    return true;
  }
  return text[0] == '1' && text[1] != '\0' && (text[2] == '6' || text[2] == '7');
}

// "KQInstallDir": the program folder up to its first "Bin" (case significant), when it
// holds one; the empty string this may give removes the property.
void PublishInstallDir(MSIHANDLE session, const char* app_dir) noexcept {
  const char* bin = FindExact(app_dir, "Bin");
  if (bin == nullptr) {
    return;
  }
  char install_dir[kPathCapacity];
  CopyBounded(install_dir, app_dir);
  install_dir[bin - app_dir] = '\0';
  WriteProperty(session, "KQInstallDir", install_dir);
}

void PublishVersion6Plus(MSIHANDLE session, const char* program) noexcept {
  char version[kPathCapacity];
  DWORD length = sizeof(version);
  if (MsiGetFileVersionA(program, version, &length, nullptr, nullptr) == ERROR_SUCCESS &&
      IsVersion6Plus(version)) {
    WriteProperty(session, "KQVXVersion6Plus", "1");
  }
}

}  // namespace

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) CheckVX2VersionNumber(MSIHANDLE session) {
  return GuardedAction([&] {
    FixedProductVersion version;
    if (!ReadInstalledProductVersion(kVocastraKey, kAppDirValue, kVocastraProgram, version) ||
        !IsVocastra2Patchable(version)) {
      return;
    }
    if (version.build == kVocastra2PatchBuild) {
      WriteProperty(session, "KQUPDATEBIN", "true");
    } else {
      WriteProperty(session, "KQPatchFirst", "1");
    }
  });
}

INSTALLDLL_ENTRY(int) CheckVX2VersionNumberWSE() {
  return Guarded(0, [&] {
    FixedProductVersion version;
    return ReadInstalledProductVersion(kVocastraKey, kAppDirValue, kVocastraProgram, version) &&
                   IsVocastra2Patchable(version) && version.build < kVocastra2PatchBuild
               ? 1
               : 0;
  });
}

INSTALLDLL_ENTRY(UINT) CheckTREVOKVersionNumber(MSIHANDLE session) {
  return GuardedAction([&] {
    // With Trevok 2 installed the Trevok Key program is not looked at.
    FixedProductVersion version;
    if (IsProductInstalled(PC_TREVOK2) ||
        (ReadInstalledProductVersion(kTrevokKey, "InstallDir", kTrevokProgram, version) &&
         version.build >= kTrevokFirstAllowedBuild)) {
      WriteProperty(session, "KQ_ALLOW_DIR", "true");
    }
  });
}

INSTALLDLL_ENTRY(UINT) CheckAppVersion(MSIHANDLE session) {
  return GuardedAction([&] {
    char app_dir[kPathCapacity];
    if (!ReadStringValue(HKEY_LOCAL_MACHINE, kVocastraKey, kAppDirValue, app_dir)) {
      return;
    }
    PublishInstallDir(session, app_dir);
    char program[kPathCapacity];
    if (JoinBounded(program, app_dir, kVocastraProgram)) {
      PublishVersion6Plus(session, program);
    }
  });
}
