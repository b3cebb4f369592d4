// The installed test on a product code, which every action that asks about a product uses.
#pragma once

namespace installdll {

// Installed for the current user (state 5) or for another user of the machine (state 2).
// Advertised, unknown and malformed codes are not installed. Asks Windows Installer anew.
bool IsProductInstalled(const char* product_code) noexcept;

}  // namespace installdll
