// The fixed information of a file's version resource, the one reader of file versions.
#pragma once

#include <windows.h>

namespace installdll {

// Reads the fixed-information block (the root block "\\") of the version resource of the
// file at path into info. S_OK with info filled; E_INVALIDARG for a null path; E_FAIL
// when the file has no version resource, it does not read or it has no fixed block;
// E_OUTOFMEMORY when no memory for the resource is obtained. The resource's memory is
// freed on every path.
HRESULT ReadFixedVersionInfo(const char* path, VS_FIXEDFILEINFO& info) noexcept;

}  // namespace installdll
