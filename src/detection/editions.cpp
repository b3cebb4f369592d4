// Edition actions: the installed Vocastra edition and demo, and Trevok 2's video standard.
#include "detection/editions.h"

#include <cstddef>

#include "catalogue/catalogue.h"
#include "frame/entry.h"
#include "frame/properties.h"
#include "frame/registry.h"

namespace installdll {

namespace {

constexpr char kHasVambre[] = "KQHAS_VAMBRE";
constexpr char kHasQuorin[] = "KQHAS_QUORIN";
constexpr char kHasZelph[] = "KQHAS_ZELPH";

// The order decides when several editions are installed: the higher edition wins over the
// newer generation.
constexpr EditionProbe kEditionProbes[] = {
    {PC_VOCASTRA2_VAMBRE_A, 6, kHasVambre}, {PC_VOCASTRA2_VAMBRE_B, 6, kHasVambre},
    {PC_VOCASTRA1_VAMBRE_A, 3, kHasVambre}, {PC_VOCASTRA1_VAMBRE_B, 3, kHasVambre},
    {PC_VOCASTRA1_VAMBRE_C, 3, kHasVambre}, {PC_VOCASTRA2_QUORIN, 5, kHasQuorin},
    {PC_VOCASTRA1_QUORIN_A, 2, kHasQuorin}, {PC_VOCASTRA1_QUORIN_B, 2, kHasQuorin},
    {PC_VOCASTRA1_QUORIN_C, 2, kHasQuorin}, {PC_VOCASTRA2_ZELPH, 4, kHasZelph},
    {PC_VOCASTRA1_ZELPH_A, 1, kHasZelph},   {PC_VOCASTRA1_ZELPH_B, 1, kHasZelph},
};

struct DemoProbe {
  const char* product_code;
  const char* flag;
};

// Only the first installed demo is flagged.
constexpr DemoProbe kDemoProbes[] = {
    {PC_VOCASTRA1_DEMO, "KQHAS_VXDEMO"},
    {PC_VOCASTRA2_DEMO, "KQHAS_VX2DEMO"},
};

constexpr char kYes[] = "YES";
constexpr char kPal[] = "PAL";

template <class Probe, std::size_t N>
const Probe* FirstInstalled(const Probe (&probes)[N], InstalledTest is_installed) noexcept {
  for (const Probe& probe : probes) {
    if (is_installed(probe.product_code)) {
      return &probe;
    }
  }
  return nullptr;
}

template <class Probe>
void FlagIfFound(MSIHANDLE session, const Probe* found) noexcept {
  if (found != nullptr) {
    WriteProperty(session, found->flag, kYes);
  }
}

// The video standard is PAL only when "JackMode" says so in exactly these letters.
bool IsTrevok2ForPal() noexcept {
  char jack_mode[kPathCapacity];
  return ReadStringValue(HKEY_LOCAL_MACHINE, kTrevokKey, "JackMode", jack_mode) && EqualsExact(jack_mode, kPal);
}

}  // namespace

const EditionProbe* FirstInstalledEdition(InstalledTest is_installed) noexcept {
  return FirstInstalled(kEditionProbes, is_installed);
}

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(short) CheckVocastraVersion() {
  return Guarded<short>(0, [&]() -> short {
    const EditionProbe* edition = FirstInstalledEdition();
    return edition != nullptr ? edition->version : 0;
  });
}

INSTALLDLL_ENTRY(UINT) GetVocastraPacks(MSIHANDLE session) {
  return GuardedAction([&] { FlagIfFound(session, FirstInstalledEdition()); });
}

INSTALLDLL_ENTRY(UINT) GetExistProductPacks(MSIHANDLE session) {
  return GuardedAction([&] {
    char selector[kPathCapacity];
    if (!ReadProperty(session, kApplicationProperty, selector) || !EqualsIgnoreCase(selector, CLA_VOCASTRA)) {
      return;
    }
    FlagIfFound(session, FirstInstalled(kDemoProbes, IsProductInstalled));
  });
}

INSTALLDLL_ENTRY(UINT) TREVOK2TypeSelected(MSIHANDLE session) {
  return GuardedAction([&] {
    if (IsTrevok2ForPal()) {
      WriteProperty(session, "KQPRODUCT", kPal);
    }
  });
}
