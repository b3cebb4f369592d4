// The frame of every exported action: nothing thrown or faulted inside an action reaches
// the host. A C++ exception is caught; a processor fault is caught by an exception
// registration on the thread's SEH chain and answered with the action's negative result.
#pragma once

#include <windows.h>
#include <msi.h>

#include "frame/strings.h"

// Exported functions use the stdcall convention; InstallDll.def gives their decorated names.
#define INSTALLDLL_ENTRY(result_type) extern "C" result_type __stdcall

namespace installdll {

namespace detail {

// An SEH registration record followed by the place to resume at after a fault.
struct FaultFrame {
  EXCEPTION_REGISTRATION_RECORD record;
  void* resume[5];
};

// The head of the thread's SEH chain, the first word of its information block (fs:[0]).
EXCEPTION_REGISTRATION_RECORD* ChainHead() noexcept;
void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head) noexcept;

void PushFaultFrame(FaultFrame& frame) noexcept;
void PopFaultFrame(FaultFrame& frame) noexcept;

}  // namespace detail

// Runs body and returns its result, or fallback when it throws or faults. Owners inside
// body that a fault skips are not released: a fault is a defect, and this only keeps the
// host alive.
template <class Result, class Body>
Result Guarded(Result fallback, Body&& body) noexcept {
  detail::FaultFrame frame;
  if (__builtin_setjmp(frame.resume) != 0) {
    return fallback;
  }
  detail::PushFaultFrame(frame);
  Result result = fallback;
  try {
    result = body();
  } catch (...) {
    result = fallback;
  }
  detail::PopFaultFrame(frame);
  return result;
}

// The common shapes: a custom action returns ERROR_SUCCESS on every path.
template <class Body>
UINT GuardedAction(Body&& body) noexcept {
  return Guarded<UINT>(ERROR_SUCCESS, [&]() -> UINT {
    body();
    return ERROR_SUCCESS;
  });
}

}  // namespace installdll
