// DirectX detection: the probe table on folders of crafted component files, the entry
// points in the Wine prefix's real system folder, where Wine's own DirectX DLLs stand.
#include <windows.h>
#include <msi.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "environment/directx.h"
#include "support/library.h"
#include "support/session.h"
#include "support/version_files.h"

namespace {

using namespace testing_support;
using installdll::DirectXVersion;

struct ComponentFile {
  const char* name;
  FourPartVersion version;
};

std::string Name(const DirectXVersion& version) {
  return std::to_string(version.major) + "." + std::to_string(version.minor) + version.letter;
}

std::string SystemFolder() {
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return std::string(folder, length);
}

TEST(ReadFixedFileVersion, GivesTheFileVersionAs64Bits) {
  ScratchFolder folder;
  WriteVersionedProgram(folder / "d3d9.dll", {4, 9, 2, 904}, {1, 2, 3, 4});
  WriteProgram(folder / "plain.dll");
  ULONGLONG version = 0;
  ASSERT_EQ(installdll::ReadFixedFileVersion((folder / "d3d9.dll").c_str(), version), S_OK);
  // Without the DLL overrides of tests/CMakeLists.txt Wine answers for its own d3d9.dll.
  ASSERT_EQ(version, 0x0004000900020388ull) << "the crafted d3d9.dll reads as Wine's own";
  EXPECT_LT(installdll::ReadFixedFileVersion((folder / "plain.dll").c_str(), version), 0);
  EXPECT_LT(installdll::ReadFixedFileVersion((folder / "missing.dll").c_str(), version), 0);
  EXPECT_EQ(installdll::ReadFixedFileVersion(nullptr, version), E_INVALIDARG);
}

TEST(DetectDirectXVersion, TakesTheLastProbeThatHolds) {
  const struct {
    std::vector<ComponentFile> files;
    const char* release;
    bool dx9c;
  } cases[] = {
      {{}, "0.0 ", false},
      {{{"ddraw.dll", {4, 2, 0, 95}}}, "1.0 ", false},
      {{{"ddraw.dll", {4, 2, 0, 94}}}, "0.0 ", false},
      // Every threshold holds from its own version on, and not a build below it.
      {{{"ddraw.dll", {4, 3, 0, 1096}}}, "2.0 ", false},
      {{{"ddraw.dll", {4, 3, 0, 1095}}}, "1.0 ", false},
      {{{"ddraw.dll", {4, 4, 0, 68}}}, "3.0 ", false},
      {{{"ddraw.dll", {4, 4, 0, 67}}}, "2.0 ", false},
      {{{"d3drg8x.dll", {4, 4, 0, 70}}}, "3.0a", false},
      {{{"d3drg8x.dll", {4, 4, 0, 69}}}, "0.0 ", false},
      {{{"ddraw.dll", {4, 5, 0, 155}}}, "5.0 ", false},
      {{{"ddraw.dll", {4, 5, 0, 154}}}, "3.0 ", false},
      {{{"ddraw.dll", {4, 6, 0, 318}}}, "6.0 ", false},
      {{{"ddraw.dll", {4, 6, 0, 317}}}, "5.0 ", false},
      {{{"ddraw.dll", {4, 6, 0, 436}}}, "6.1 ", false},
      {{{"ddraw.dll", {4, 6, 0, 435}}}, "6.0 ", false},
      {{{"dplayx.dll", {4, 6, 3, 517}}}, "0.0 ", false},
      {{{"ddraw.dll", {4, 7, 0, 700}}}, "7.0 ", false},
      {{{"ddraw.dll", {4, 7, 0, 699}}}, "6.1 ", false},
      {{{"dinput.dll", {4, 7, 0, 716}}}, "7.0a", false},
      {{{"dinput.dll", {4, 7, 0, 715}}}, "0.0 ", false},
      {{{"ddraw.dll", {4, 8, 0, 399}}}, "7.0 ", false},
      {{{"d3d8.dll", {4, 8, 1, 881}}}, "8.1 ", false},
      {{{"d3d8.dll", {4, 8, 1, 880}}}, "0.0 ", false},
      {{{"d3d8.dll", {5, 1, 2600, 880}}}, "0.0 ", false},
      {{{"mpg2splt.ax", {6, 3, 1, 884}}}, "0.0 ", false},
      {{{"dpnet.dll", {4, 9, 0, 134}}}, "8.2 ", false},
      {{{"dpnet.dll", {4, 9, 0, 133}}}, "0.0 ", false},
      {{{"dpnet.dll", {5, 2, 3677, 133}}}, "0.0 ", false},
      {{{"ddraw.dll", {4, 4, 0, 68}}, {"d3drg8x.dll", {4, 4, 0, 70}}}, "3.0a", false},
      {{{"ddraw.dll", {4, 6, 0, 436}}, {"dplayx.dll", {4, 6, 3, 518}}}, "6.1a", false},
      {{{"ddraw.dll", {4, 7, 0, 700}}, {"dinput.dll", {4, 7, 0, 716}}}, "7.0a", false},
      {{{"ddraw.dll", {4, 8, 0, 400}}}, "8.0 ", false},
      {{{"ddraw.dll", {5, 1, 2258, 400}}}, "8.0 ", false},
      {{{"ddraw.dll", {5, 1, 2258, 399}}}, "7.0 ", false},
      // Only first parts 4 and 5 take part in the rows of DirectX 8.
      {{{"ddraw.dll", {6, 0, 0, 0}}}, "7.0 ", false},
      {{{"d3d8.dll", {6, 0, 0, 0}}, {"dpnet.dll", {6, 0, 0, 0}}}, "0.0 ", false},
      {{{"d3d8.dll", {5, 1, 2600, 881}}}, "8.1 ", false},
      {{{"d3d8.dll", {5, 1, 2600, 901}}}, "8.1a", false},
      {{{"d3d8.dll", {4, 8, 1, 901}}}, "8.1a", false},
      {{{"mpg2splt.ax", {6, 3, 1, 885}}, {"dpnet.dll", {4, 9, 0, 133}}}, "8.1b", false},
      {{{"dpnet.dll", {5, 2, 3677, 134}}}, "8.2 ", false},
      {{{"d3d9.dll", {4, 9, 0, 901}}}, "9.0a", false},
      {{{"d3d9.dll", {4, 9, 0, 902}}}, "9.0b", false},
      {{{"d3d9.dll", {4, 9, 0, 903}}}, "9.0c", true},
      {{{"d3d9.dll", {4, 9, 0, 904}}}, "9.0c", true},
      {{{"d3d9.dll", {5, 3, 2600, 2180}}}, "9.0c", true},
      {{{"dpnet.dll", {4, 9, 0, 134}}, {"d3d9.dll", {4, 9, 0, 900}}}, "9.0 ", false},
      // The release before it has no say in the letter of DirectX 9.0.
      {{{"mpg2splt.ax", {6, 3, 1, 885}}, {"d3d9.dll", {4, 9, 0, 900}}}, "9.0 ", false},
      {{{"d3d9.dll", {4, 9, 0, 900}}, {"d3d10.dll", {6, 0, 6000, 16386}}}, "10.0 ", true},
      {{{"d3d10.dll", {0, 0, 0, 0}}}, "10.0 ", true},
  };
  for (const auto& c : cases) {
    ScratchFolder folder;
    std::string files;
    for (const ComponentFile& file : c.files) {
      WriteVersionedProgram(folder / file.name, file.version);
      files += std::string(file.name) + " ";
    }
    const DirectXVersion found = installdll::DetectDirectXVersion(folder.Path().c_str());
    EXPECT_EQ(Name(found), c.release) << files;
    EXPECT_EQ(installdll::IsDirectX9cOrLater(found), c.dx9c) << files;

    TestSession session;
    session.Set("KQDirectX", "8");
    installdll::CheckDirectX9(session.Handle(), folder.Path().c_str());
    EXPECT_EQ(session.Get("KQDirectX"), c.dx9c ? "9" : "8") << files;
  }
}

TEST(DetectDirectXVersion, SkipsAD3d9WithoutVersion) {
  ScratchFolder with_file;
  WriteProgram(with_file / "d3d9.dll");
  WriteVersionedProgram(with_file / "ddraw.dll", {4, 8, 0, 400});
  ScratchFolder with_folder;
  CreateDirectoryA((with_folder / "d3d9.dll").c_str(), nullptr);
  EXPECT_EQ(Name(installdll::DetectDirectXVersion(with_file.Path().c_str())), "8.0 ");
  EXPECT_EQ(Name(installdll::DetectDirectXVersion(with_folder.Path().c_str())), "0.0 ");
  // Whatever it is, something named d3d9.dll exists.
  EXPECT_TRUE(installdll::HasDirect3D9(with_file.Path().c_str()));
  EXPECT_TRUE(installdll::HasDirect3D9(with_folder.Path().c_str()));
  ScratchFolder empty;
  WriteProgram(empty / "d3d9.dl");
  EXPECT_FALSE(installdll::HasDirect3D9(empty.Path().c_str()));
}

TEST(DirectXEntryPoints, AnswerForTheRealSystemFolder) {
  const std::string system_folder = SystemFolder();
  // Wine's own Direct3D 10 stands there with a version, so it counts as DirectX 10.
  ULONGLONG version = 0;
  ASSERT_EQ(installdll::ReadFixedFileVersion((system_folder + "\\d3d10.dll").c_str(), version), S_OK);
  EXPECT_EQ(Name(installdll::DetectDirectXVersion(system_folder.c_str())), "10.0 ");

  TestSession session;
  session.Set("KQDirectX", "8");
  RunAction("_IsDX9Installed@4", session.Handle());
  EXPECT_EQ(session.Get("KQDirectX"), "9");
  EXPECT_EQ(static_cast<unsigned short>(Entry<ScriptShort>("_IsDX9Exists@0")()), 1);
  RunAction("_IsDX9Installed@4", kDeadSession);
}

}  // namespace
