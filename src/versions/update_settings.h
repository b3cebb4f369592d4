// Settings of the WiseUpdate client that checks the maker's products for updates: the
// time of the last check and the theme pack's update description.
#pragma once

#include <windows.h>

namespace installdll {

// The update checker's application keys below HKEY_LOCAL_MACHINE.
inline constexpr char kVocastraBinUpdateKey[] = "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Vocastra Bin Files";
inline constexpr char kSalvettaUpdateKey[] = "SOFTWARE\\Wise Solutions\\WiseUpdate\\Apps\\Salvetta";

// What the update checker of the Vocastra 2 theme pack reads: where its update description
// lies on UPDATE_HOST, and the version it counts as installed.
inline constexpr char kThemePackUpdatePath[] = "/downloads/VX2/patches/1577/update.txt";
inline constexpr char kThemePackVersion[] = "2.02.1577.0";

// A system time (100-nanosecond intervals since 1601-01-01 UTC) as seconds since
// 1970-01-01 00:00:00 UTC, the low 32 bits of the count.
DWORD UnixTimeFromFileTime(const FILETIME& time) noexcept;

// The application key of a "KQAPPLICATION" selector, or null when it names none.
const char* UpdateKeyForSelector(const char* selector) noexcept;

}  // namespace installdll
