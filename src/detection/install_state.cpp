// Install-state actions: which of the maker's products are installed.
#include "detection/install_state.h"

#include "catalogue/catalogue.h"
#include "catalogue/selectors.h"
#include "frame/entry.h"
#include "frame/properties.h"
#include "frame/registry.h"

namespace installdll {

bool IsProductInstalled(const char* product_code) noexcept {
  const INSTALLSTATE state = MsiQueryProductStateA(product_code);
  return state == INSTALLSTATE_DEFAULT || state == INSTALLSTATE_ABSENT;
}

namespace {

struct SelectedProduct {
  const char* selector;
  const char* product_code;
};

// The selectors GetProductInstallState answers for, in the order they are compared.
constexpr SelectedProduct kInstallStateSelectors[] = {
    {CLA_SALVETTA, PC_SALVETTA_C},
    {CLA_PELLORIG_HD, PC_PELLORIG_HD},
};

const char* ProductForSelector(const char* selector) noexcept {
  const SelectedProduct* product = FindSelected(kInstallStateSelectors, selector);
  return product != nullptr ? product->product_code : nullptr;
}

bool IsEitherInstalled(const char* first_code, const char* second_code) noexcept {
  return IsProductInstalled(first_code) || IsProductInstalled(second_code);
}

void SetFlagIf(MSIHANDLE session, bool condition, const char* property) noexcept {
  if (condition) {
    WriteProperty(session, property, "1");
  }
}

}  // namespace

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) GetProductInstallState(MSIHANDLE session) {
  return GuardedAction([&] {
    char selector[kSelectorCapacity];
    if (!ReadProperty(session, kApplicationProperty, selector)) {
      return;
    }
    const char* product_code = ProductForSelector(selector);
    SetFlagIf(session, product_code != nullptr && IsProductInstalled(product_code), "KQ_INSTALLED");
  });
}

INSTALLDLL_ENTRY(UINT) GetTrevokInstallState(MSIHANDLE session) {
  return GuardedAction([&] {
    // Opening the shared Trevok key for writing is part of the test.
    const UniqueHkey trevok_key = OpenKey(HKEY_LOCAL_MACHINE, kTrevokKey, kReadWriteAccess);
    if (!trevok_key) {
      return;
    }
    SetFlagIf(session, IsEitherInstalled(PC_TREVOK_A, PC_TREVOK_B), "KQVERSION");
  });
}

INSTALLDLL_ENTRY(UINT) GetQuibbetFreeInstallState(MSIHANDLE session) {
  return GuardedAction([&] { SetFlagIf(session, IsProductInstalled(PC_QUIBBET_FREE), "KQINSTALLED"); });
}

INSTALLDLL_ENTRY(short) GetProductInstallStateWSE(const char* product_code) {
  return Guarded<short>(0, [&]() -> short { return IsProductInstalled(TextOrEmpty(product_code)) ? 1 : 0; });
}

INSTALLDLL_ENTRY(int) TamberlyInstalled(const char* product_code) {
  return Guarded(0, [&] { return IsProductInstalled(TextOrEmpty(product_code)) ? 1 : 0; });
}

INSTALLDLL_ENTRY(short) GetSalvettaInstallState() {
  return Guarded<short>(0, [&]() -> short { return IsEitherInstalled(PC_SALVETTA_A, PC_SALVETTA_B) ? 1 : 0; });
}

INSTALLDLL_ENTRY(int) IsVXQuorin_1_3_Installed() {
  return Guarded(0, [&] {
    // Both codes are always asked about.
    const bool first_installed = IsProductInstalled(PC_VOCASTRA1_QUORIN_A);
    const bool second_installed = IsProductInstalled(PC_VOCASTRA1_QUORIN_B);
    return first_installed && !second_installed ? 1 : 0;
  });
}

INSTALLDLL_ENTRY(int) TREVOKFeatureCheck(const char* product_code, const char* feature) {
  return Guarded(0, [&] {
    return MsiQueryFeatureStateA(TextOrEmpty(product_code), TextOrEmpty(feature)) == INSTALLSTATE_LOCAL ? 1 : 0;
  });
}
