// Update-checker settings: the time of the last update check, written into the update
// checker's application key of a product, and the theme pack's update description.
#include "versions/update_settings.h"

#include "catalogue/catalogue.h"
#include "catalogue/selectors.h"
#include "frame/entry.h"
#include "frame/properties.h"
#include "frame/registry.h"

namespace installdll {

namespace {

struct UpdateApplication {
  const char* selector;
  const char* key;
};

// The selectors SetWiseUpdateLastCheck answers for, in the order they are compared.
// Pellorig HD has no application of its own: its updates come with Pellorig Express.
constexpr UpdateApplication kUpdateApplications[] = {
    {CLA_VOCASTRA, kVocastraBinUpdateKey},
    {CLA_QUIBBET, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Quibbet"},
    {CLA_TREVOK_KEY, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Trevok Program Files"},
    {CLA_TREVOK_2, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\TREVOK 2 Program Files"},
    {CLA_PELLORIG, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Pellorig"},
    {CLA_PELLORIG_EXPRESS, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Pellorig Express"},
    {CLA_PELLORIG_HD, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Pellorig Express"},
    {CLA_SALVETTA, kSalvettaUpdateKey},
    {CLA_SALVETTA_PLAYER, "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Salvetta Player"},
};

// 100-nanosecond intervals from 1601-01-01 to 1970-01-01, and in one second.
constexpr unsigned long long kUnixEpochAsFileTime = 116444736000000000ULL;
constexpr unsigned long long kFileTimePerSecond = 10000000ULL;

// Sets "LastCheck" to the current time in an existing application key; an absent key is
// left absent.
void WriteLastCheck(const char* key_path) noexcept {
  const UniqueHkey key = OpenKey(HKEY_LOCAL_MACHINE, key_path, kWriteAccess);
  if (!key) {
    return;
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  WriteNumberValue(key.Get(), "LastCheck", UnixTimeFromFileTime(now));
}

}  // namespace

DWORD UnixTimeFromFileTime(const FILETIME& time) noexcept {
  const unsigned long long intervals =
      (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<DWORD>((intervals - kUnixEpochAsFileTime) / kFileTimePerSecond);
}

const char* UpdateKeyForSelector(const char* selector) noexcept {
  const UpdateApplication* application = FindSelected(kUpdateApplications, selector);
  return application != nullptr ? application->key : nullptr;
}

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) SetWiseUpdateLastCheck(MSIHANDLE session) {
  return GuardedAction([&] {
    char selector[kSelectorCapacity];
    if (!ReadProperty(session, kApplicationProperty, selector)) {
      return;
    }
    const char* key_path = UpdateKeyForSelector(selector);
    if (key_path != nullptr) {
      WriteLastCheck(key_path);
    }
  });
}

INSTALLDLL_ENTRY(int) SetWiseUpdateLastCheckSalvetta() {
  return Guarded(0, [&] {
    WriteLastCheck(kSalvettaUpdateKey);
    return 0;
  });
}

INSTALLDLL_ENTRY(int) SetWiseUpdateLastCheckWSE(const char* key_path) {
  return Guarded(0, [&] {
    // An empty path would open HKEY_LOCAL_MACHINE itself, which is no application key.
    const char* path = TextOrEmpty(key_path);
    if (path[0] != '\0') {
      WriteLastCheck(path);
    }
    return 0;
  });
}

INSTALLDLL_ENTRY(UINT) EditWiseUpdateForVX2ThemePack(MSIHANDLE) {
  return GuardedAction([&] {
    const UniqueHkey key = OpenKey(HKEY_LOCAL_MACHINE, kVocastraBinUpdateKey, kWriteAccess);
    if (!key) {
      return;
    }
    char settings_url[sizeof(UPDATE_HOST) + sizeof(kThemePackUpdatePath) - 1];
    if (JoinBounded(settings_url, UPDATE_HOST, kThemePackUpdatePath)) {
      WriteStringValue(key.Get(), "SettingsURL", settings_url);
    }
    WriteStringValue(key.Get(), "Version", kThemePackVersion);
  });
}
