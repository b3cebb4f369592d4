// The installed-version checks against real program files with real version resources,
// real registry values and real sessions.
#include <windows.h>
#include <msi.h>

#include <string>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "frame/file_version.h"
#include "support/code_page.h"
#include "support/handles.h"
#include "support/library.h"
#include "support/products.h"
#include "support/registry.h"
#include "support/session.h"
#include "support/version_files.h"
#include "versions/version_checks.h"

namespace {

using namespace testing_support;
using installdll::kTrevokKey;
using installdll::kVocastraKey;

std::string VersionText(const std::string& path) {
  char text[MAX_PATH] = "";
  DWORD length = MAX_PATH;
  return MsiGetFileVersionA(path.c_str(), text, &length, nullptr, nullptr) == ERROR_SUCCESS ? text : "(none)";
}

// A machine with an installed Vocastra: its program folder in "AppDir".
struct VocastraMachine {
  ScratchFolder folder;
  RegistryGuard registry;

  std::string ProgramFolder() const { return folder / "Vocastra\\Bin"; }

  void Register(const std::string& app_dir) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, kVocastraKey);
    registry.SetString(HKEY_LOCAL_MACHINE, kVocastraKey, "AppDir", app_dir);
  }
  void Install(FourPartVersion file_version, FourPartVersion product_version) {
    WriteVersionedProgram(ProgramFolder() + "\\Vocastra.exe", file_version, product_version);
    Register(ProgramFolder());
  }
};

struct Vocastra2Verdict {
  std::string update_bin;
  std::string patch_first;
  int script_result;
};

Vocastra2Verdict CheckVocastra2() {
  TestSession session;
  RunAction("_CheckVX2VersionNumber@4", session.Handle());
  return {session.Get("KQUPDATEBIN"), session.Get("KQPatchFirst"), Entry<ScriptInt>("_CheckVX2VersionNumberWSE@0")()};
}

TEST(VersionFiles, ReadBackAsWritten) {
  ScratchFolder folder;
  const std::string path = folder / "Vocastra.exe";
  WriteVersionedProgram(path, {2, 0, 1574, 7}, {2, 2, 3, 4});
  VS_FIXEDFILEINFO info;
  ASSERT_EQ(installdll::ReadFixedVersionInfo(path.c_str(), info), S_OK);
  EXPECT_EQ(info.dwFileVersionMS, 0x00020000u);
  EXPECT_EQ(info.dwFileVersionLS, (1574u << 16) | 7u);
  EXPECT_EQ(info.dwProductVersionMS, 0x00020002u);
  EXPECT_EQ(info.dwProductVersionLS, 0x00030004u);
  installdll::FixedProductVersion product = {};
  ASSERT_TRUE(installdll::ReadProductVersion(path.c_str(), product));
  EXPECT_EQ(product.major, 2);
  EXPECT_EQ(product.minor, 2);
  EXPECT_EQ(product.build, 3);
  EXPECT_EQ(product.revision, 4);
  EXPECT_EQ(VersionText(path), "2.0.1574.7");
}

TEST(VersionFiles, WithoutAResourceHaveNoVersion) {
  ScratchFolder folder;
  WriteProgram(folder / "plain.exe");
  VS_FIXEDFILEINFO info;
  EXPECT_EQ(installdll::ReadFixedVersionInfo((folder / "plain.exe").c_str(), info), E_FAIL);
  EXPECT_EQ(installdll::ReadFixedVersionInfo((folder / "missing.exe").c_str(), info), E_FAIL);
  EXPECT_EQ(installdll::ReadFixedVersionInfo(folder.Path().c_str(), info), E_FAIL);
  EXPECT_EQ(installdll::ReadFixedVersionInfo(nullptr, info), E_INVALIDARG);
  installdll::FixedProductVersion product = {};
  EXPECT_FALSE(installdll::ReadProductVersion((folder / "plain.exe").c_str(), product));
}

TEST(CheckVX2VersionNumber, DecidesByTheProductVersion) {
  const struct {
    FourPartVersion product;
    Vocastra2Verdict expected;
  } cases[] = {
      {{2, 0, 1574, 0}, {"true", "", 0}},
      {{2, 1, 1500, 0}, {"", "1", 1}},
      {{2, 0, 1600, 0}, {"", "1", 0}},
      {{2, 1, 1574, 9}, {"true", "", 0}},
      {{2, 2, 1577, 0}, {"", "", 0}},
      {{3, 0, 1574, 0}, {"", "", 0}},
      {{1, 5, 1574, 0}, {"", "", 0}},
  };
  for (const auto& c : cases) {
    VocastraMachine machine;
    // A file version that would pass every test, so that only the product version decides.
    machine.Install({2, 0, 1574, 0}, c.product);
    const Vocastra2Verdict verdict = CheckVocastra2();
    const std::string version = std::to_string(c.product.a) + "." + std::to_string(c.product.b) + "." +
                                std::to_string(c.product.c) + "." + std::to_string(c.product.d);
    EXPECT_EQ(verdict.update_bin, c.expected.update_bin) << version;
    EXPECT_EQ(verdict.patch_first, c.expected.patch_first) << version;
    EXPECT_EQ(verdict.script_result, c.expected.script_result) << version;
  }
}

TEST(CheckVX2VersionNumber, IgnoresTheFileVersion) {
  VocastraMachine machine;
  machine.Install({2, 0, 1574, 0}, {2, 2, 0, 0});
  const Vocastra2Verdict verdict = CheckVocastra2();
  EXPECT_EQ(verdict.update_bin, "");
  EXPECT_EQ(verdict.patch_first, "");
  EXPECT_EQ(verdict.script_result, 0);
}

TEST(CheckVX2VersionNumber, SetsNothingWithoutAReadableProgram) {
  const struct {
    const char* what;
    bool key, app_dir, program, version;
  } cases[] = {{"no key", false, false, false, false},
               {"no AppDir", true, false, false, false},
               {"no program", true, true, false, false},
               {"a program without version", true, true, true, false}};
  for (const auto& c : cases) {
    VocastraMachine machine;
    if (c.key) {
      machine.registry.CreateKey(HKEY_LOCAL_MACHINE, kVocastraKey);
    }
    if (c.app_dir) {
      machine.Register(machine.ProgramFolder());
    }
    if (c.program) {
      WriteProgram(machine.ProgramFolder() + "\\Vocastra.exe");
    }
    const Vocastra2Verdict verdict = CheckVocastra2();
    EXPECT_EQ(verdict.update_bin + verdict.patch_first, "") << c.what;
    EXPECT_EQ(verdict.script_result, 0) << c.what;
  }
}

// "AppDir" padded so that "AppDir\Vocastra.exe" is exactly length characters long.
std::string PaddedAppDir(const ScratchFolder& folder, std::size_t length) {
  const std::size_t padding = length - folder.Path().size() - 1 - std::string("\\Vocastra.exe").size();
  return folder / std::string(padding, 'p');
}

TEST(CheckVX2VersionNumber, TakesAProgramPathTooLongForItsBufferAsMissing) {
  const struct {
    std::size_t path_length;
    bool found;
  } cases[] = {{259, true}, {260, false}};
  for (const auto& c : cases) {
    VocastraMachine machine;
    const std::string app_dir = PaddedAppDir(machine.folder, c.path_length);
    const std::string program = app_dir + "\\Vocastra.exe";
    if (c.found) {
      WriteVersionedProgram(program, {2, 0, 1574, 0});
    } else {
      // What a path cut to the buffer would name instead.
      WriteVersionedProgram(program.substr(0, 259), {2, 0, 1574, 0});
    }
    machine.Register(app_dir);
    const Vocastra2Verdict verdict = CheckVocastra2();
    EXPECT_EQ(verdict.update_bin, c.found ? "true" : "") << c.path_length;
    TestSession session;
    RunAction("_CheckAppVersion@4", session.Handle());
    EXPECT_EQ(session.Get("KQVXVersion6Plus"), c.found ? "1" : "") << c.path_length;
  }
}

TEST(VersionChecks, SucceedOnAHandleThatIsNoSession) {
  VocastraMachine machine;
  machine.Install({2, 0, 1574, 0}, {2, 0, 1574, 0});
  for (const char* action : {"_CheckVX2VersionNumber@4", "_CheckTREVOKVersionNumber@4", "_CheckAppVersion@4"}) {
    RunAction(action, kDeadSession);
  }
}

TEST(CheckTREVOKVersionNumber, AllowsTrevok2OrATrevokKeyBuildOf2230) {
  constexpr INSTALLSTATE kNoRecord = INSTALLSTATE_UNKNOWN;
  const struct {
    INSTALLSTATE trevok2;
    bool program;
    FourPartVersion product;
    bool allowed;
  } cases[] = {
      {INSTALLSTATE_ABSENT, false, {}, true},
      {INSTALLSTATE_DEFAULT, true, {1, 0, 2229, 0}, true},
      {INSTALLSTATE_ADVERTISED, true, {1, 0, 2230, 0}, true},
      {INSTALLSTATE_ADVERTISED, false, {}, false},
      {kNoRecord, true, {1, 0, 2230, 0}, true},
      {kNoRecord, true, {0, 0, 65535, 0}, true},
      {kNoRecord, true, {9, 9, 2229, 0}, false},
      {kNoRecord, false, {}, false},
  };
  for (const auto& c : cases) {
    ProductRecords records;
    if (c.trevok2 != kNoRecord) {
      records.AddProduct(PC_TREVOK2, c.trevok2);
    }
    ScratchFolder folder;
    RegistryGuard registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kTrevokKey);
    if (c.program) {
      // "InstallDir" ends with a backslash; "Bin\TREVOK.exe" follows it directly.
      registry.SetString(HKEY_LOCAL_MACHINE, kTrevokKey, "InstallDir", folder.Path() + "\\");
      WriteVersionedProgram(folder / "Bin\\TREVOK.exe", {9, 9, 9999, 0}, c.product);
    }
    TestSession session;
    RunAction("_CheckTREVOKVersionNumber@4", session.Handle());
    EXPECT_EQ(session.Get("KQ_ALLOW_DIR"), c.allowed ? "true" : "")
        << c.trevok2 << " build " << c.product.c;
  }
}

TEST(CheckTREVOKVersionNumber, JoinsInstallDirAndProgramWithoutASeparator) {
  ScratchFolder folder;
  RegistryGuard registry;
  registry.SetString(HKEY_LOCAL_MACHINE, kTrevokKey, "InstallDir", folder / "Trevok");
  WriteVersionedProgram(folder / "TrevokBin\\TREVOK.exe", {1, 0, 2230, 0});
  TestSession session;
  RunAction("_CheckTREVOKVersionNumber@4", session.Handle());
  EXPECT_EQ(session.Get("KQ_ALLOW_DIR"), "true");
}

TEST(CheckAppVersion, PublishesTheFolderBeforeTheFirstBin) {
  const char kPreset[] = "preset";
  const struct {
    const char* app_dir;
    const char* install_dir;
  } cases[] = {
      {"D:\\Apps\\Vocastra\\Bin", "D:\\Apps\\Vocastra\\"},
      {"C:\\Binaries\\Vocastra\\Bin", "C:\\"},
      {"Bin\\Vocastra", ""},  // the empty value removes the property
      {"D:\\Apps\\Vocastra\\bin", kPreset},
      {"D:\\Apps\\Vocastra", kPreset},
  };
  for (const auto& c : cases) {
    VocastraMachine machine;
    machine.Register(c.app_dir);
    TestSession session;
    session.Set("KQInstallDir", kPreset);
    RunAction("_CheckAppVersion@4", session.Handle());
    EXPECT_EQ(session.Get("KQInstallDir"), c.install_dir) << c.app_dir;
    EXPECT_FALSE(session.Has("KQVXVersion6Plus")) << c.app_dir;
  }
}

TEST(CheckAppVersion, ReadsAnAppDirOfAtMost259Characters) {
  const std::string head = "D:\\Apps\\Vocastra\\Bin\\";
  for (const std::size_t length : {259u, 260u}) {
    VocastraMachine machine;
    machine.Register(head + std::string(length - head.size(), 'x'));
    TestSession session;
    RunAction("_CheckAppVersion@4", session.Handle());
    EXPECT_EQ(session.Get("KQInstallDir"), length == 259 ? "D:\\Apps\\Vocastra\\" : "") << length;
  }
}

TEST(CheckAppVersion, FlagsVersionTexts16And17And2) {
  const struct {
    FourPartVersion file;
    bool flagged;
  } cases[] = {
      {{1, 6, 0, 1}, true},  {{1, 7, 3, 0}, true},  {{2, 0, 1574, 0}, true}, {{20, 0, 0, 0}, true},
      {{1, 8, 0, 0}, false}, {{1, 5, 2, 0}, false}, {{10, 6, 0, 0}, false},
      // Only the first and the third character count.
      {{116, 0, 0, 0}, true}, {{3, 6, 0, 0}, false},
  };
  for (const auto& c : cases) {
    VocastraMachine machine;
    // The version text is the file version: a product version of the other verdict.
    machine.Install(c.file, c.flagged ? FourPartVersion{1, 0, 0, 0} : FourPartVersion{2, 0, 0, 0});
    const std::string text = VersionText(machine.ProgramFolder() + "\\Vocastra.exe");
    TestSession session;
    RunAction("_CheckAppVersion@4", session.Handle());
    EXPECT_EQ(session.Get("KQVXVersion6Plus"), c.flagged ? "1" : "") << text;
    EXPECT_EQ(session.Get("KQInstallDir"), machine.folder / "Vocastra\\") << text;
  }
}

TEST(CheckAppVersion, TestsTheVersionOfAFolderWithoutBin) {
  VocastraMachine machine;
  const std::string app_dir = machine.folder / "Vocastra";
  WriteVersionedProgram(app_dir + "\\Vocastra.exe", {1, 6, 0, 1});
  machine.Register(app_dir);
  TestSession session;
  RunAction("_CheckAppVersion@4", session.Handle());
  EXPECT_EQ(session.Get("KQVXVersion6Plus"), "1");
  EXPECT_FALSE(session.Has("KQInstallDir"));
}

using testing_support::Multibyte;

// Under the Japanese code page (932): 0x83 0x42 is one katakana whose trail byte is 'B'.
TEST_F(Multibyte, CheckAppVersionCutsAtAWholeBin) {
  VocastraMachine machine;
  machine.Register("D:\\\x83\x42in\\Bin");
  TestSession session;
  RunAction("_CheckAppVersion@4", session.Handle());
  EXPECT_EQ(session.Get("KQInstallDir"), "D:\\\x83\x42in\\");
}


TEST(VersionChecks, CloseTheKeysTheyOpen) {
  VocastraMachine machine;
  machine.Install({2, 0, 1574, 0}, {2, 0, 1574, 0});
  CheckVocastra2();  // the first call loads what the platform keeps
  const HandleLeakProbe probe;
  for (int call = 0; call < 20; ++call) {
    EXPECT_EQ(CheckVocastra2().update_bin, "true");
    TestSession session;
    RunAction("_CheckAppVersion@4", session.Handle());
    RunAction("_CheckTREVOKVersionNumber@4", session.Handle());
  }
  EXPECT_TRUE(probe.Unchanged());
}

}  // namespace
