#include "support/products.h"

#include <sddl.h>

#include <cstdio>
#include <stdexcept>

namespace testing_support {

namespace {

const char kUserProducts[] = "Software\\Microsoft\\Installer\\Products\\";
const char kUserFeatures[] = "Software\\Microsoft\\Installer\\Features\\";
const char kUserData[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\";

std::string UserDataKey() { return kUserData + CurrentUserSid(); }

}  // namespace

std::string PackedGuid(const std::string& braced) {
  if (braced.size() != 38) {
    throw std::invalid_argument("not a braced GUID: " + braced);
  }
  const std::string hex = braced.substr(1, 8) + braced.substr(10, 4) + braced.substr(15, 4) +
                          braced.substr(20, 4) + braced.substr(25, 12);
  std::string packed;
  packed.append(hex.rbegin() + 24, hex.rbegin() + 32);  // first group, reversed
  packed.append(hex.rbegin() + 20, hex.rbegin() + 24);
  packed.append(hex.rbegin() + 16, hex.rbegin() + 20);
  for (std::size_t i = 16; i < 32; i += 2) {
    packed += hex[i + 1];
    packed += hex[i];
  }
  return packed;
}

std::string Base85Guid(const std::string& braced) {
  static const char kDigits[] =
      "!$%&'()*+,-.0123456789=?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz{}~";
  unsigned data1 = 0, data2 = 0, data3 = 0, bytes[8] = {};
  if (std::sscanf(braced.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &data1, &data2, &data3, &bytes[0],
                  &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7]) != 11) {
    throw std::invalid_argument("not a braced GUID: " + braced);
  }
  // The GUID's memory image as four little-endian 32-bit words.
  const unsigned words[4] = {data1, data2 | (data3 << 16),
                             bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (bytes[3] << 24),
                             bytes[4] | (bytes[5] << 8) | (bytes[6] << 16) | (bytes[7] << 24)};
  std::string encoded;
  for (unsigned word : words) {
    for (int digit = 0; digit < 5; ++digit) {
      encoded += kDigits[word % 85];
      word /= 85;
    }
  }
  return encoded;
}

std::string CurrentUserSid() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  char buffer[256];
  DWORD size = sizeof(buffer);
  std::string sid;
  if (GetTokenInformation(token, TokenUser, buffer, size, &size)) {
    char* text = nullptr;
    if (ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
      sid = text;
      LocalFree(text);
    }
  }
  CloseHandle(token);
  if (sid.empty()) {
    throw std::runtime_error("cannot read the user's SID");
  }
  return sid;
}

void ProductRecords::AddProduct(const std::string& product_code, INSTALLSTATE state) {
  const std::string packed = PackedGuid(product_code);
  registry_.Watch(HKEY_LOCAL_MACHINE, UserDataKey() + "\\Products\\" + packed);
  if (state == INSTALLSTATE_DEFAULT || state == INSTALLSTATE_ADVERTISED) {
    registry_.SetString(HKEY_CURRENT_USER, kUserProducts + packed, "ProductName", "test product");
  }
  if (state == INSTALLSTATE_DEFAULT || state == INSTALLSTATE_ABSENT) {
    registry_.SetNumber(HKEY_LOCAL_MACHINE, UserDataKey() + "\\Products\\" + packed + "\\InstallProperties",
                        "WindowsInstaller", 1);
  }
}

void ProductRecords::AddFeature(const std::string& product_code, const char* feature, INSTALLSTATE state) {
  const std::string packed = PackedGuid(product_code);
  registry_.Watch(HKEY_LOCAL_MACHINE, UserDataKey() + "\\Products\\" + packed);
  // An absent feature is marked by a leading character 6 in its per-user value.
  registry_.SetString(HKEY_CURRENT_USER, kUserFeatures + packed, feature,
                      state == INSTALLSTATE_ABSENT ? std::string(1, '\x06') : std::string());
  if (state == INSTALLSTATE_ABSENT || state == INSTALLSTATE_ADVERTISED) {
    return;
  }
  char component[39];
  std::snprintf(component, sizeof(component), "{7E57C0DE-0000-4000-8000-%012d}", next_component_++);
  registry_.SetString(HKEY_LOCAL_MACHINE, UserDataKey() + "\\Products\\" + packed + "\\Features", feature,
                      Base85Guid(component));
  // The component's key path: a local file, or disk 01 of the installation source.
  registry_.SetString(HKEY_LOCAL_MACHINE, UserDataKey() + "\\Components\\" + PackedGuid(component), packed.c_str(),
                      state == INSTALLSTATE_SOURCE ? "01\\Program\\feature.txt" : "C:\\Program Files\\feature.txt");
}

}  // namespace testing_support
