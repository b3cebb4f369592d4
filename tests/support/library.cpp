#include "support/library.h"

namespace testing_support {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string program(path, length);
  return program.substr(0, program.find_last_of('\\') + 1);
}

HMODULE InstallDll() {
  static HMODULE module = LoadLibraryA("InstallDll.dll");
  if (module == nullptr) {
    ADD_FAILURE() << "InstallDll.dll does not load";
  }
  return module;
}

void RunAction(const char* decorated_name, MSIHANDLE session) {
  const CustomAction action = Entry<CustomAction>(decorated_name);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action(session), static_cast<UINT>(ERROR_SUCCESS)) << decorated_name;
}

}  // namespace testing_support
