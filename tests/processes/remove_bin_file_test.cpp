// RemoveBinFile against real files below a real installation folder, in real sessions;
// its message box is answered from a helper thread.
#include <windows.h>
#include <msi.h>

#include <string>

#include <gtest/gtest.h>

#include "support/library.h"
#include "support/message_box_answerer.h"
#include "support/session.h"

namespace {

using namespace testing_support;

constexpr char kCaption[] = "File Need to Remove";
constexpr char kRequest[] = "Please delete the following file Before installation.\n ";

// An installation folder, its name padded to the length asked for, with the folder of the
// stale package below it; removed with everything in it at the end.
class InstallFolder {
 public:
  explicit InstallFolder(std::size_t length = 0) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    root_ = std::string(temp) + "installdll-bin\\";
    folder_ = root_;
    if (length > folder_.size() + 1) {
      folder_ += std::string(length - folder_.size() - 1, 'd');
    }
    folder_ += "\\";
    CreateDirectoryA(root_.c_str(), nullptr);
    CreateDirectoryA(folder_.c_str(), nullptr);
    CreateDirectoryA((folder_ + "Bin").c_str(), nullptr);
    EXPECT_TRUE(CreateDirectoryA((folder_ + "Bin\\inst").c_str(), nullptr)) << folder_;
  }
  ~InstallFolder() {
    SetFileAttributesA(Package().c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(Package().c_str());
    RemoveDirectoryA((folder_ + "Bin\\inst").c_str());
    RemoveDirectoryA((folder_ + "Bin").c_str());
    RemoveDirectoryA(folder_.c_str());
    RemoveDirectoryA(root_.c_str());
  }
  InstallFolder(const InstallFolder&) = delete;
  InstallFolder& operator=(const InstallFolder&) = delete;

  const std::string& Path() const { return folder_; }
  std::string Package() const { return folder_ + "Bin\\inst\\VXBin.msi"; }
  void CreatePackage(DWORD attributes) const {
    const HANDLE file = CreateFileA(Package().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << Package();
    CloseHandle(file);
  }
  bool HasPackage() const { return GetFileAttributesA(Package().c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::string root_;
  std::string folder_;
};

// Runs RemoveBinFile with "INSTALLDIR" = install_folder; what it flagged and showed.
SeenMessageBox RunRemoveBinFile(const std::string& install_folder, std::string& flag) {
  TestSession session;
  session.Set("INSTALLDIR", install_folder.c_str());
  MessageBoxAnswerer answerer(kCaption, IDOK);
  RunAction("_RemoveBinFile@4", session.Handle());
  flag = session.Get("KQVXBinExists");
  return answerer.Seen();
}

TEST(RemoveBinFile, DeletesAStalePackageSilently) {
  const DWORD cases[] = {FILE_ATTRIBUTE_NORMAL, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM};
  for (DWORD attributes : cases) {
    InstallFolder folder;
    folder.CreatePackage(attributes);
    std::string flag;
    EXPECT_FALSE(RunRemoveBinFile(folder.Path(), flag).shown) << attributes;
    EXPECT_EQ(flag, "") << attributes;
    EXPECT_FALSE(folder.HasPackage()) << attributes;
  }
}

TEST(RemoveBinFile, DoesNothingWithoutAPackageOrWithAnInstallFolderTooLong) {
  InstallFolder folder;
  const std::string too_long_for_the_path = folder.Path() + std::string(241 - folder.Path().size() + 1, 'x') + "\\";
  for (const std::string& install_folder : {folder.Path(), too_long_for_the_path, std::string(300, 'x')}) {
    std::string flag;
    EXPECT_FALSE(RunRemoveBinFile(install_folder, flag).shown) << install_folder.size();
    EXPECT_EQ(flag, "") << install_folder.size();
  }
  RunAction("_RemoveBinFile@4", kDeadSession);
}

// 241 characters and the 18 of "Bin\\inst\\VXBin.msi" make the 259 that a path may hold.
TEST(RemoveBinFile, HandlesAnInstallFolderOfUpTo241Characters) {
  const struct {
    std::size_t length;
    bool deleted;
  } cases[] = {{241, true}, {242, false}};
  for (const auto& c : cases) {
    InstallFolder folder(c.length);
    ASSERT_EQ(folder.Path().size(), c.length);
    folder.CreatePackage(FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(folder.HasPackage()) << c.length;
    std::string flag;
    EXPECT_FALSE(RunRemoveBinFile(folder.Path(), flag).shown) << c.length;
    EXPECT_EQ(flag, "") << c.length;
    EXPECT_EQ(folder.HasPackage(), !c.deleted) << c.length;
  }
}

TEST(RemoveBinFile, AsksTheUserToDeleteAPackageInUse) {
  // Second: a path longer than the request leaves room for is cut at its end.
  for (std::size_t folder_length : {std::size_t{0}, std::size_t{230}}) {
    InstallFolder folder(folder_length);
    folder.CreatePackage(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const HANDLE in_use = CreateFileA(folder.Package().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    ASSERT_NE(in_use, INVALID_HANDLE_VALUE);
    std::string flag;
    const SeenMessageBox box = RunRemoveBinFile(folder.Path(), flag);
    CloseHandle(in_use);
    EXPECT_EQ(flag, "1");
    EXPECT_TRUE(box.shown);
    const std::string request = kRequest + folder.Package();
    EXPECT_EQ(box.text, request.substr(0, 259));
    EXPECT_EQ(box.text.size() < request.size(), folder.Package().size() > 204) << folder.Package().size();
    EXPECT_FALSE(box.has_owner);
    EXPECT_TRUE(box.has_ok && box.has_cancel && !box.has_other_buttons);
    EXPECT_FALSE(box.has_icon);
    EXPECT_TRUE(folder.HasPackage());
    EXPECT_EQ(GetFileAttributesA(folder.Package().c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  }
}

}  // namespace
