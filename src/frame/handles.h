// Owners for the platform handles the actions open: each closes its handle when it goes
// out of scope, on every path.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

namespace installdll {

// Owns one handle of a kind described by Traits: Traits::Invalid() is the empty value and
// Traits::Close(h) releases a valid one.
template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
    }
    return *this;
  }

  Handle Get() const noexcept { return handle_; }
  bool IsValid() const noexcept { return handle_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return IsValid(); }

  // For functions that return a handle through a pointer; releases the current one first.
  Handle* Receive() noexcept {
    Reset();
    return &handle_;
  }

  Handle Release() noexcept {
    Handle handle = handle_;
    handle_ = Traits::Invalid();
    return handle;
  }

  void Reset(Handle handle = Traits::Invalid()) noexcept {
    if (IsValid()) {
      Traits::Close(handle_);
    }
    handle_ = handle;
  }

 private:
  Handle handle_;
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() noexcept { return nullptr; }
  static void Close(HKEY key) noexcept { RegCloseKey(key); }
};

// Kernel objects whose empty value is INVALID_HANDLE_VALUE: files, tool-help snapshots.
struct FileHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};

// Kernel objects whose empty value is null: processes, threads, events.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() noexcept { return nullptr; }
  static void Close(HANDLE handle) noexcept { CloseHandle(handle); }
};

struct FindHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE handle) noexcept { FindClose(handle); }
};

struct ModuleTraits {
  using Handle = HMODULE;
  static HMODULE Invalid() noexcept { return nullptr; }
  static void Close(HMODULE module) noexcept { FreeLibrary(module); }
};

// A block from the process heap, as the version reader allocates it.
struct HeapBlockTraits {
  using Handle = void*;
  static void* Invalid() noexcept { return nullptr; }
  static void Close(void* block) noexcept { HeapFree(GetProcessHeap(), 0, block); }
};

using UniqueHkey = UniqueHandle<RegistryKeyTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueSnapshot = UniqueHandle<FileHandleTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueHeapBlock = UniqueHandle<HeapBlockTraits>;

// The screen's device context, released to the desktop window it was taken from.
class ScreenDc {
 public:
  ScreenDc() noexcept : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr) {
      ReleaseDC(nullptr, dc_);
    }
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;

  HDC Get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HDC dc_;
};

}  // namespace installdll
