#include "frame/entry.h"

namespace installdll::detail {

namespace {

// Called by the system's exception dispatcher for a fault below a guarded action. The
// handlers registered above ours (the platform's own, inside the call that faulted) are
// unwound first, so that they release what they hold; then ours comes off the chain and
// Guarded resumes. The frame is read back from memory after the unwind, which need not
// preserve registers.
extern "C" EXCEPTION_DISPOSITION __cdecl OnFault(EXCEPTION_RECORD* record, void* establisher,
                                                 CONTEXT*, void*) {
  if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
    return ExceptionContinueSearch;
  }
  FaultFrame* volatile frame = static_cast<FaultFrame*>(establisher);
  RtlUnwind(establisher, nullptr, record, nullptr);
  PopFaultFrame(*frame);
  __builtin_longjmp(frame->resume, 1);
}

}  // namespace

EXCEPTION_REGISTRATION_RECORD* ChainHead() noexcept {
  EXCEPTION_REGISTRATION_RECORD* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void SetChainHead(EXCEPTION_REGISTRATION_RECORD* head) noexcept {
  asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory");
}

void PushFaultFrame(FaultFrame& frame) noexcept {
  frame.record.Next = ChainHead();
  frame.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&OnFault);
  SetChainHead(&frame.record);
}

void PopFaultFrame(FaultFrame& frame) noexcept { SetChainHead(frame.record.Next); }

}  // namespace installdll::detail
