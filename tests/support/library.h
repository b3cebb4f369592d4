// The built InstallDll.dll, loaded from the test program's folder, and its entry points
// looked up by their exported (decorated) names, as a host calls them.
#pragma once

#include <windows.h>
#include <msi.h>

#include <string>

#include <gtest/gtest.h>

namespace testing_support {

using CustomAction = UINT(__stdcall*)(MSIHANDLE);
using ScriptShort = short(__stdcall*)();
using ScriptInt = int(__stdcall*)();
using ScriptShortText = short(__stdcall*)(const char*);
using ScriptIntText = int(__stdcall*)(const char*);
using ScriptIntTwoTexts = int(__stdcall*)(const char*, const char*);

// The folder of the running test program, with its trailing backslash: the build puts the
// DLL and the helper programs there.
std::string ProgramFolder();

HMODULE InstallDll();

// The export of that name; fails the test when the DLL does not export it.
template <class Function>
Function Entry(const char* decorated_name) {
  FARPROC address = GetProcAddress(InstallDll(), decorated_name);
  EXPECT_NE(address, nullptr) << decorated_name << " is not exported";
  return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

// Runs a custom action on the session and checks that it reports success, as every
// custom action must on every path.
void RunAction(const char* decorated_name, MSIHANDLE session);

}  // namespace testing_support
