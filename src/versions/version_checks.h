// Installed-version checks: the product version of an installed program file.
#pragma once

#include <windows.h>

namespace installdll {

// The product version a.b.c.d of a file's fixed version information.
struct FixedProductVersion {
  WORD major;
  WORD minor;
  WORD build;
  WORD revision;
};

// The product version of the file at path; false when the file has no readable version.
bool ReadProductVersion(const char* path, FixedProductVersion& version) noexcept;

}  // namespace installdll
