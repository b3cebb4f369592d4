#include "support/stand_in_process.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "support/library.h"

namespace testing_support {

namespace {

std::string CopiesFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "installdll-stand-ins\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Whether the process list shows the process under its executable name yet.
bool IsListed(DWORD process_id) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  bool listed = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !listed; more = Process32Next(snapshot, &entry)) {
    listed = entry.th32ProcessID == process_id && entry.szExeFile[0] != '\0';
  }
  CloseHandle(snapshot);
  return listed;
}

}  // namespace

StandInProcess::StandInProcess(const std::string& name, DWORD lifetime) : path_(CopiesFolder() + name) {
  const std::string program = ProgramFolder() + "stand_in.exe";
  EXPECT_TRUE(CopyFileA(program.c_str(), path_.c_str(), FALSE)) << "copying " << program << " to " << path_;
  std::string command = "\"" + path_ + "\" " + std::to_string(lifetime);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started = {};
  EXPECT_TRUE(CreateProcessA(path_.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &started))
      << "starting " << path_;
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  for (int tries = 0; process_ != nullptr && !IsListed(started.dwProcessId) && tries < 100; ++tries) {
    Sleep(20);
  }
}

StandInProcess::~StandInProcess() {
  if (process_ != nullptr) {
    End();
    CloseHandle(process_);
  }
  DeleteFileA(path_.c_str());
}

void StandInProcess::End() {
  TerminateProcess(process_, 0);
  WaitForSingleObject(process_, INFINITE);
}

}  // namespace testing_support
