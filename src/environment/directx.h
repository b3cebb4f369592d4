// DirectX version detection from the file versions of DirectX component files.
#pragma once

#include <windows.h>
#include <msi.h>

namespace installdll {

// A DirectX release: major 8, minor 1, letter 'b' is DirectX 8.1b; major 0 is none.
struct DirectXVersion {
  DWORD major;
  DWORD minor;
  char letter;  // ' ' when the release has none
};

// The 64-bit file version of the file at path: the most-significant file-version word in
// the high half. A negative status when the file has no readable version.
HRESULT ReadFixedFileVersion(const char* path, ULONGLONG& version) noexcept;

// The DirectX release that the component files in system_folder make up.
DirectXVersion DetectDirectXVersion(const char* system_folder) noexcept;

bool IsDirectX9cOrLater(const DirectXVersion& version) noexcept;

// Sets "KQDirectX" to "9" when the files in system_folder make up DirectX 9.0c or later.
void CheckDirectX9(MSIHANDLE session, const char* system_folder) noexcept;

// Whether system_folder holds something named "d3d9.dll", a file or a folder.
bool HasDirect3D9(const char* system_folder) noexcept;

}  // namespace installdll
