// The installer-idle wait against real processes: copies of a stand-in program running
// under installer-like names.
#include <windows.h>

#include <thread>

#include <gtest/gtest.h>

#include "processes/installer_idle.h"
#include "support/handles.h"
#include "support/library.h"
#include "support/stand_in_process.h"

namespace {

using namespace testing_support;

TEST(IsInstallerProcessName, EndsInTheElevenCharactersOfTheInstaller) {
  const struct {
    const char* name;
    bool installer;
  } cases[] = {
      {"msiexec.exe", true},
      {"MSIEXEC.EXE", true},
      {"setupMsiExec.exe", true},
      {"C:\\windows\\system32\\msiexec.exe", true},
      {"siexec.exe", false},
      {"msiexec.ex", false},
      {"msiexec.exe.bak", false},
      {"msiexec", false},
      {"", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(installdll::IsInstallerProcessName(c.name), c.installer) << c.name;
  }
}

TEST(CountInstallerProcesses, CountsRunningProcessesWithInstallerNames) {
  const unsigned before = installdll::CountInstallerProcesses();
  {
    StandInProcess near_miss("siexec.exe");
    EXPECT_EQ(installdll::CountInstallerProcesses(), before);
    StandInProcess first("msiexec.exe");
    EXPECT_EQ(installdll::CountInstallerProcesses(), before + 1);
    StandInProcess second("SetupMSIEXEC.EXE");
    EXPECT_EQ(installdll::CountInstallerProcesses(), before + 2);
  }
  EXPECT_EQ(installdll::CountInstallerProcesses(), before);
}

// Milliseconds InstallerIdle takes, and its result.
DWORD TimeInstallerIdle(short& result) {
  const DWORD start = GetTickCount();
  result = static_cast<short>(Entry<ScriptShort>("_InstallerIdle@0")() & 0xFFFF);
  return GetTickCount() - start;
}

TEST(InstallerIdle, ReturnsAtOnceWithNoneOrOneInstallerRunning) {
  // On Windows NT the installer service alone is one installer process.
  ASSERT_EQ(installdll::CountInstallerProcesses(), 0u) << "another installer is running";
  short result = 0;
  EXPECT_LT(TimeInstallerIdle(result), 500u);
  EXPECT_EQ(result, 1);
  StandInProcess service("msiexec.exe");
  EXPECT_LT(TimeInstallerIdle(result), 500u);
  EXPECT_EQ(result, 1);
}

TEST(InstallerIdle, WaitsWhileASecondInstallerRunsCountingOncePerSecond) {
  ASSERT_EQ(installdll::CountInstallerProcesses(), 0u) << "another installer is running";
  StandInProcess service("msiexec.exe");
  StandInProcess installation("SetupMsiExec.exe");
  // The installation ends half a second into the wait, between the first two counts.
  std::thread installation_ends([&] {
    Sleep(500);
    installation.End();
  });
  short result = 0;
  const DWORD elapsed = TimeInstallerIdle(result);
  installation_ends.join();
  EXPECT_EQ(result, 1);
  EXPECT_TRUE(service.IsRunning());
  // Noticed at the second count, one poll interval after the first: a shorter interval
  // notices it sooner, a longer one later.
  EXPECT_GE(elapsed, 950u);
  EXPECT_LT(elapsed, 1500u);
}

TEST(InstallerIdle, ClosesItsSnapshots) {
  // The first calls load what the platform keeps.
  installdll::CountInstallerProcesses();
  Entry<ScriptShort>("_InstallerIdle@0")();
  const HandleLeakProbe probe;
  for (int call = 0; call < 20; ++call) {
    installdll::CountInstallerProcesses();
    EXPECT_EQ(static_cast<unsigned short>(Entry<ScriptShort>("_InstallerIdle@0")()), 1);
  }
  EXPECT_TRUE(probe.Unchanged());
}

}  // namespace
