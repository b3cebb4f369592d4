#include "support/library.h"

namespace testing_support {

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
