// Files with chosen version resources, in a folder of the test's own.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// A four-part version a.b.c.d.
struct FourPartVersion {
  WORD a, b, c, d;
};

// A fresh, empty folder below the temporary folder, removed with everything in it when it
// goes out of scope.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's path, without a trailing backslash.
  const std::string& Path() const { return path_; }
  // The path of name inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Creates the folders of path that are missing, up to its last backslash.
void CreateFoldersFor(const std::string& path);

// A copy of a small program that has no version resource (its folders created).
void WriteProgram(const std::string& path);

// A copy of the small program carrying a version resource with these file and product
// versions in its fixed information.
void WriteVersionedProgram(const std::string& path, FourPartVersion file_version,
                           FourPartVersion product_version);

// The same with one version as both the file and the product version.
inline void WriteVersionedProgram(const std::string& path, FourPartVersion version) {
  WriteVersionedProgram(path, version, version);
}

}  // namespace testing_support
