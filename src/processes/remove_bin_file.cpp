// RemoveBinFile: a program-files package left in the installation folder must not be
// there when the install begins. It is deleted; when it cannot be, the user is told to
// delete it and the setup is told through "KQVXBinExists".
#include <windows.h>
#include <shlwapi.h>

#include "frame/entry.h"
#include "frame/properties.h"
#include "processes/message_text.h"

namespace installdll {

namespace {

constexpr char kStalePackage[] = "Bin\\inst\\VXBin.msi";
constexpr char kRemoveRequestFormat[] = "Please delete the following file Before installation.\n %s";
constexpr int kRequestCapacity = 260;
// The longest path that fits into the request after its fixed text.
constexpr std::size_t kPathInRequestLimit = kRequestCapacity - 1 - (sizeof kRemoveRequestFormat - 1 - 2);

void AskUserToRemove(const char* path) noexcept {
  char path_in_request[kPathInRequestLimit + 1];
  CopyWholeCharacters(path_in_request, path);
  char request[kRequestCapacity];
  wnsprintfA(request, kRequestCapacity, kRemoveRequestFormat, path_in_request);
  MessageBoxA(nullptr, request, "File Need to Remove", MB_OKCANCEL);
}

}  // namespace

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) RemoveBinFile(MSIHANDLE session) {
  return GuardedAction([&] {
    char install_folder[kPathCapacity];
    char path[kPathCapacity];
    if (!ReadProperty(session, "INSTALLDIR", install_folder) || !JoinBounded(path, install_folder, kStalePackage)) {
      return;
    }
    // Archive alone clears read-only, hidden and system; it fails when there is no file.
    if (!SetFileAttributesA(path, FILE_ATTRIBUTE_ARCHIVE) || DeleteFileA(path)) {
      return;
    }
    WriteProperty(session, "KQVXBinExists", "1");
    AskUserToRemove(path);
  });
}
