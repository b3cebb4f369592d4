#include "frame/file_version.h"

#include "frame/handles.h"

namespace installdll {

HRESULT ReadFixedVersionInfo(const char* path, VS_FIXEDFILEINFO& info) noexcept {
  if (path == nullptr) {
    return E_INVALIDARG;
  }
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
  if (size == 0) {
    return E_FAIL;
  }
  const UniqueHeapBlock block(HeapAlloc(GetProcessHeap(), 0, size));
  if (!block) {
    return E_OUTOFMEMORY;
  }
  if (!GetFileVersionInfoA(path, 0, size, block.Get())) {
    return E_FAIL;
  }
  void* fixed = nullptr;
  UINT fixed_size = 0;
  if (!VerQueryValueA(block.Get(), "\\", &fixed, &fixed_size) || fixed == nullptr ||
      fixed_size < sizeof(VS_FIXEDFILEINFO)) {
    return E_FAIL;
  }
  info = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
  return S_OK;
}

}  // namespace installdll
