// A running process of a chosen executable name: a copy of the stand-in program, started
// from a folder of its own and ended when the test is done with it.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class StandInProcess {
 public:
  // Starts the copy named name; it ends by itself after lifetime milliseconds.
  explicit StandInProcess(const std::string& name, DWORD lifetime = 120000);
  ~StandInProcess();
  StandInProcess(const StandInProcess&) = delete;
  StandInProcess& operator=(const StandInProcess&) = delete;

  bool IsRunning() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  // Ends the process now and waits until it has gone.
  void End();

 private:
  std::string path_;
  HANDLE process_ = nullptr;
};

}  // namespace testing_support
