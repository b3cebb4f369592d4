// The update-checker settings against the real registry and real sessions.
#include <windows.h>
#include <msi.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "versions/update_settings.h"
#include "support/library.h"
#include "support/registry.h"
#include "support/session.h"

namespace {

using namespace testing_support;

const char kAppsKey[] = "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps";

// The update checker's applications of the maker's products.
const char* const kApplications[] = {"Vocastra Bin Files", "Quibbet", "Trevok Program Files",
                                     "TREVOK 2 Program Files", "Pellorig", "Pellorig Express",
                                     "Salvetta", "Salvetta Player"};

std::string ApplicationKey(const std::string& application) { return std::string(kAppsKey) + "\\" + application; }

// Creates the key of every application except the one named absent, all removed at the end.
void CreateApplicationKeys(RegistryGuard& registry, const std::string& absent = "") {
  registry.CreateKey(HKEY_LOCAL_MACHINE, kAppsKey);
  for (const char* application : kApplications) {
    if (application != absent) {
      registry.CreateKey(HKEY_LOCAL_MACHINE, ApplicationKey(application));
    }
  }
}

// The applications whose key holds a "LastCheck" value.
std::set<std::string> ApplicationsWithLastCheck() {
  std::set<std::string> applications;
  for (const char* application : kApplications) {
    DWORD type = 0;
    std::string data;
    if (ReadValue(HKEY_LOCAL_MACHINE, ApplicationKey(application), "LastCheck", type, data)) {
      applications.insert(application);
    }
  }
  return applications;
}

// "LastCheck" of a key, which must be a REG_DWORD of 4 bytes.
DWORD LastCheck(const std::string& key_path) {
  DWORD type = 0;
  std::string data;
  EXPECT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, key_path, "LastCheck", type, data)) << key_path;
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  DWORD seconds = 0;
  EXPECT_EQ(data.size(), sizeof(seconds));
  std::memcpy(&seconds, data.data(), data.size() < sizeof(seconds) ? data.size() : sizeof(seconds));
  return seconds;
}

void ExpectString(const std::string& key_path, const char* name, const std::string& expected) {
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(ReadValue(HKEY_LOCAL_MACHINE, key_path, name, type, data)) << name;
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
  // The terminating zero is part of the data.
  EXPECT_EQ(data, expected + '\0') << name;
}

void SetLastCheckSalvetta() { Entry<ScriptInt>("_SetWiseUpdateLastCheckSalvetta@0")(); }

void SetLastCheckForSelector(const char* selector) {
  TestSession session;
  session.Set("KQAPPLICATION", selector);
  RunAction("_SetWiseUpdateLastCheck@4", session.Handle());
}

FILETIME FileTimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second, WORD milliseconds) {
  SYSTEMTIME system = {};
  system.wYear = year;
  system.wMonth = month;
  system.wDay = day;
  system.wHour = hour;
  system.wMinute = minute;
  system.wSecond = second;
  system.wMilliseconds = milliseconds;
  FILETIME file = {};
  EXPECT_TRUE(SystemTimeToFileTime(&system, &file));
  return file;
}

TEST(UpdateClock, CountsWholeSecondsSince1970InUnsigned32Bits) {
  const struct {
    FILETIME time;
    DWORD seconds;
  } cases[] = {
      {FileTimeOf(1970, 1, 1, 0, 0, 0, 0), 0},
      {FileTimeOf(1970, 1, 1, 0, 0, 0, 999), 0},
      {FileTimeOf(2001, 9, 9, 1, 46, 40, 0), 1000000000},
      {FileTimeOf(2024, 2, 29, 12, 0, 0, 500), 1709208000},
      // Past the signed limit the count goes on, and in 2106 it starts again at 0.
      {FileTimeOf(2038, 1, 19, 3, 14, 8, 0), 2147483648U},
      {FileTimeOf(2106, 2, 7, 6, 28, 17, 0), 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(installdll::UnixTimeFromFileTime(c.time), c.seconds);
  }
}

// update_settings_tests_tz runs this again with the machine nine hours east of UTC.
TEST(UpdateClock, WritesTheCurrentUnixTimeInAnyTimeZone) {
  const char* zone = std::getenv("TZ");
  if (zone != nullptr && std::strcmp(zone, "JST-9") == 0) {
    TIME_ZONE_INFORMATION information = {};
    GetTimeZoneInformation(&information);
    ASSERT_EQ(information.Bias, -540) << "the run is not in the zone it asks for";
  }
  RegistryGuard registry;
  CreateApplicationKeys(registry);
  const auto before = static_cast<DWORD>(std::time(nullptr));
  SetLastCheckSalvetta();
  const auto after = static_cast<DWORD>(std::time(nullptr));
  const DWORD written = LastCheck(ApplicationKey("Salvetta"));
  EXPECT_GE(written, before);
  EXPECT_LE(written, after);
}

TEST(SetWiseUpdateLastCheck, WritesIntoTheKeyOfTheSelectedApplication) {
  const struct {
    const char* selector;
    const char* application;
  } cases[] = {
      {"CLA_VOCASTRA", "Vocastra Bin Files"},
      {"CLA_QUIBBET", "Quibbet"},
      {"CLA_TREVOK_KEY", "Trevok Program Files"},
      {"CLA_TREVOK_2", "TREVOK 2 Program Files"},
      {"CLA_PELLORIG", "Pellorig"},
      {"CLA_PELLORIG_EXPRESS", "Pellorig Express"},
      {"CLA_PELLORIG_HD", "Pellorig Express"},
      {"CLA_SALVETTA", "Salvetta"},
      {"CLA_SALVETTA_PLAYER", "Salvetta Player"},
      {"cla_salvetta", "Salvetta"},
      {"Cla_Trevok_2", "TREVOK 2 Program Files"},
      {"cla_pellorig_hd", "Pellorig Express"},
  };
  for (const auto& c : cases) {
    RegistryGuard registry;
    CreateApplicationKeys(registry);
    SetLastCheckForSelector(c.selector);
    EXPECT_EQ(ApplicationsWithLastCheck(), std::set<std::string>{c.application}) << c.selector;
  }
}

TEST(SetWiseUpdateLastCheck, WritesNothingWithoutAKnownSelector) {
  RegistryGuard registry;
  CreateApplicationKeys(registry);
  {
    TestSession unset;
    RunAction("_SetWiseUpdateLastCheck@4", unset.Handle());
  }
  // 64 characters do not fit the selector's buffer: the value does not read at all.
  for (const std::string& selector : {std::string(""), std::string("CLA_TAMBERLY"), std::string("CLA_SALVETTA "),
                                      std::string(64, 'A'), "CLA_SALVETTA" + std::string(52, ' ')}) {
    SetLastCheckForSelector(selector.c_str());
  }
  RunAction("_SetWiseUpdateLastCheck@4", kDeadSession);
  EXPECT_TRUE(ApplicationsWithLastCheck().empty());
}

TEST(SetWiseUpdateLastCheck, ReplacesALastCheckOfAnotherType) {
  RegistryGuard registry;
  CreateApplicationKeys(registry);
  registry.SetString(HKEY_LOCAL_MACHINE, ApplicationKey("Salvetta"), "LastCheck", "yesterday");
  SetLastCheckForSelector("CLA_SALVETTA");
  EXPECT_GE(LastCheck(ApplicationKey("Salvetta")), static_cast<DWORD>(std::time(nullptr)) - 2);
}

TEST(SetWiseUpdateLastCheckWSE, WritesIntoTheKeyItIsGiven) {
  RegistryGuard registry;
  CreateApplicationKeys(registry);
  const std::string tamberly = ApplicationKey("Tamberly");
  registry.CreateKey(HKEY_LOCAL_MACHINE, tamberly);
  EXPECT_EQ(Entry<ScriptIntText>("_SetWiseUpdateLastCheckWSE@4")(tamberly.c_str()), 0);
  EXPECT_GE(LastCheck(tamberly), static_cast<DWORD>(std::time(nullptr)) - 2);
  EXPECT_TRUE(ApplicationsWithLastCheck().empty());
}

// An empty path names HKEY_LOCAL_MACHINE itself, which is no application's key.
TEST(SetWiseUpdateLastCheckWSE, WritesNothingForAnEmptyPath) {
  const auto set_last_check = Entry<ScriptIntText>("_SetWiseUpdateLastCheckWSE@4");
  EXPECT_EQ(set_last_check(nullptr), 0);
  EXPECT_EQ(set_last_check(""), 0);
  DWORD type = 0;
  std::string data;
  const bool written = ReadValue(HKEY_LOCAL_MACHINE, "", "LastCheck", type, data);
  if (written) {
    RegDeleteValueA(HKEY_LOCAL_MACHINE, "LastCheck");
  }
  EXPECT_FALSE(written) << "LastCheck was written into HKEY_LOCAL_MACHINE";
}

TEST(UpdateSettings, NeverCreateAnAbsentApplicationKey) {
  const struct {
    const char* absent;
    std::function<void()> run;
  } cases[] = {
      {"Salvetta", [] { SetLastCheckForSelector("CLA_SALVETTA"); }},
      {"Salvetta", SetLastCheckSalvetta},
      {"Tamberly", [] { Entry<ScriptIntText>("_SetWiseUpdateLastCheckWSE@4")(ApplicationKey("Tamberly").c_str()); }},
      {"Vocastra Bin Files", [] { RunAction("_EditWiseUpdateForVX2ThemePack@4", kDeadSession); }},
  };
  for (const auto& c : cases) {
    RegistryGuard registry;
    CreateApplicationKeys(registry, c.absent);
    c.run();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ApplicationKey(c.absent))) << c.absent;
    EXPECT_TRUE(ApplicationsWithLastCheck().empty()) << c.absent;
  }
}

// The keys are opened for writing alone: a key that lets its users write, and not read,
// takes the values; one that lets them only read takes nothing.
TEST(UpdateSettings, NeedOnlyWriteAccessToTheApplicationKey) {
  for (const DWORD access : {static_cast<DWORD>(KEY_WRITE), static_cast<DWORD>(KEY_READ)}) {
    RegistryGuard registry;
    CreateApplicationKeys(registry);
    const std::string salvetta = ApplicationKey("Salvetta");
    const std::string vocastra = ApplicationKey("Vocastra Bin Files");
    registry.LimitAccess(HKEY_LOCAL_MACHINE, salvetta, access);
    registry.LimitAccess(HKEY_LOCAL_MACHINE, vocastra, access);
    SetLastCheckSalvetta();
    RunAction("_EditWiseUpdateForVX2ThemePack@4", kDeadSession);
    registry.LimitAccess(HKEY_LOCAL_MACHINE, salvetta, KEY_ALL_ACCESS);
    registry.LimitAccess(HKEY_LOCAL_MACHINE, vocastra, KEY_ALL_ACCESS);
    DWORD type = 0;
    std::string data;
    EXPECT_EQ(ApplicationsWithLastCheck().count("Salvetta"), access == KEY_WRITE ? 1u : 0u) << access;
    EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, vocastra, "Version", type, data), access == KEY_WRITE) << access;
  }
}

TEST(EditWiseUpdateForVX2ThemePack, PointsTheUpdateCheckerAtTheThemePack) {
  RegistryGuard registry;
  CreateApplicationKeys(registry);
  const std::string vocastra = ApplicationKey("Vocastra Bin Files");
  registry.SetString(HKEY_LOCAL_MACHINE, vocastra, "SettingsURL", "old.example/downloads/VX2/update.txt");
  registry.SetString(HKEY_LOCAL_MACHINE, vocastra, "Version", "2.01.1200.0");
  registry.SetString(HKEY_LOCAL_MACHINE, vocastra, "Name", "Vocastra Bin Files");
  registry.SetNumber(HKEY_LOCAL_MACHINE, vocastra, "LastCheck", 1234);
  // The session is not used: a live one and a dead handle give the same settings.
  const TestSession session;
  for (MSIHANDLE handle : {session.Handle(), kDeadSession}) {
    RunAction("_EditWiseUpdateForVX2ThemePack@4", handle);
    ExpectString(vocastra, "SettingsURL", std::string(UPDATE_HOST) + "/downloads/VX2/patches/1577/update.txt");
    ExpectString(vocastra, "Version", "2.02.1577.0");
    ExpectString(vocastra, "Name", "Vocastra Bin Files");
    EXPECT_EQ(LastCheck(vocastra), 1234U);
  }
}

// The lowest free handle slot: it moves up when an action leaves a key open.
HKEY NextKeyHandle() {
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  return key;
}

TEST(UpdateSettings, CloseEveryKeyTheyOpen) {
  RegistryGuard registry;
  CreateApplicationKeys(registry);
  TestSession session;
  session.Set("KQAPPLICATION", "CLA_VOCASTRA");
  const std::string quibbet = ApplicationKey("Quibbet");
  const auto run_all = [&] {
    RunAction("_SetWiseUpdateLastCheck@4", session.Handle());
    SetLastCheckSalvetta();
    Entry<ScriptIntText>("_SetWiseUpdateLastCheckWSE@4")(quibbet.c_str());
    RunAction("_EditWiseUpdateForVX2ThemePack@4", session.Handle());
  };
  // A first round lets the installer and the DLL take what they keep for later calls.
  run_all();
  const HKEY free_slot = NextKeyHandle();
  for (int round = 0; round < 3; ++round) {
    run_all();
  }
  EXPECT_EQ(NextKeyHandle(), free_slot);
  EXPECT_EQ(ApplicationsWithLastCheck(), (std::set<std::string>{"Vocastra Bin Files", "Salvetta", "Quibbet"}));
}

}  // namespace
