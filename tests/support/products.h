// Windows Installer's records of installed products and features, written into the
// registry the way the installer keeps them, so that MsiQueryProductStateA and
// MsiQueryFeatureStateA answer what a test needs.
#pragma once

#include <windows.h>
#include <msi.h>

#include <string>

#include "support/registry.h"

namespace testing_support {

// The installer's packed form of a braced GUID: the first three groups reversed, each
// pair of characters of the last two groups swapped.
std::string PackedGuid(const std::string& braced_guid);
// The installer's 20-character base-85 form of a braced GUID.
std::string Base85Guid(const std::string& braced_guid);
std::string CurrentUserSid();

// Writes product and feature records and removes them all when it goes out of scope.
class ProductRecords {
 public:
  // state: INSTALLSTATE_DEFAULT (installed for this user), INSTALLSTATE_ABSENT (installed
  // for another user) or INSTALLSTATE_ADVERTISED.
  void AddProduct(const std::string& product_code, INSTALLSTATE state);
  // state: INSTALLSTATE_LOCAL, INSTALLSTATE_SOURCE, INSTALLSTATE_ADVERTISED or
  // INSTALLSTATE_ABSENT.
  void AddFeature(const std::string& product_code, const char* feature, INSTALLSTATE state);
  // Leaves the records in place when this goes out of scope, for a machine prepared to last.
  void Keep() { registry_.Forget(); }

 private:
  RegistryGuard registry_;
  int next_component_ = 1;
};

}  // namespace testing_support
