// Distribution-disc action: publishes which disc the setup runs from as "KQDISCID".
#include "detection/disc_id.h"

#include "catalogue/catalogue.h"
#include "frame/entry.h"
#include "frame/handles.h"
#include "frame/properties.h"
#include "frame/registry.h"

namespace installdll {

namespace {

// The first pattern is joined to a folder given with its trailing backslash; the second
// brings its own backslash, for a folder given without one.
constexpr const char* kMarkerPatterns[] = {"DiscId?.txt", "\\DiscId??.txt"};

struct EditionDisc {
  const char* edition_id;
  const char* disc_id;
};

constexpr EditionDisc kEditionDiscs[] = {
    {EDITION_ID_W, "DISCIDW"},   {EDITION_ID_I, "DISCIDI"},   {EDITION_ID_P, "DISCIDP"},
    {EDITION_ID_S, "DISCIDS"},   {EDITION_ID_CW, "DISCIDCW"}, {EDITION_ID_CQ, "DISCIDCQ"},
    {EDITION_ID_CS, "DISCIDCS"},
};

// An edition identifier is a braced GUID; the value is read into 64 bytes.
constexpr std::size_t kEditionIdCapacity = 64;

void DiscIdFromFileName(const char* file_name, char (&disc_id)[kDiscIdCapacity]) noexcept {
  CopyBounded(disc_id, file_name);
  char* dot = FindLastDot(disc_id);
  if (dot != nullptr) {
    *dot = '\0';
  }
  ToUpperInPlace(disc_id);
}

const char* RecordedDiscId() noexcept {
  char edition_id[kEditionIdCapacity];
  if (!ReadStringValue(HKEY_LOCAL_MACHINE, kVocastraKey, nullptr, edition_id)) {
    return "";
  }
  return DiscIdForEdition(edition_id);
}

}  // namespace

bool FindMarkerDiscId(const char* source_folder, char (&disc_id)[kDiscIdCapacity]) noexcept {
  disc_id[0] = '\0';
  for (const char* pattern : kMarkerPatterns) {
    char search[kPathCapacity];
    if (!JoinBounded(search, source_folder, pattern)) {
      continue;
    }
    WIN32_FIND_DATAA found;
    const UniqueFind marker(FindFirstFileA(search, &found));
    if (marker) {
      DiscIdFromFileName(found.cFileName, disc_id);
      return true;
    }
  }
  return false;
}

const char* DiscIdForEdition(const char* edition_id) noexcept {
  for (const EditionDisc& entry : kEditionDiscs) {
    if (EqualsExact(edition_id, entry.edition_id)) {
      return entry.disc_id;
    }
  }
  return "";
}

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) ReadDiscId(MSIHANDLE session) {
  return GuardedAction([&] {
    char source_folder[kPathCapacity];
    char disc_id[kDiscIdCapacity] = "";
    const bool has_source = ReadProperty(session, "SourceDir", source_folder) && source_folder[0] != '\0';
    // The registry is read only when the source holds no marker file.
    if (!has_source || !FindMarkerDiscId(source_folder, disc_id)) {
      CopyBounded(disc_id, RecordedDiscId());
    }
    // Written on every call: an empty identifier removes the property.
    WriteProperty(session, "KQDISCID", disc_id);
  });
}
