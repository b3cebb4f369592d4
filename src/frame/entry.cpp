#include "frame/entry.h"

namespace installdll::detail {

namespace {

NT_TIB* ThreadInformation() noexcept { return reinterpret_cast<NT_TIB*>(NtCurrentTeb()); }

// Called by the system's exception dispatcher for a fault below a guarded action: takes our
// record, and the dispatcher's own records above it, off the chain and resumes in Guarded.
extern "C" EXCEPTION_DISPOSITION __cdecl OnFault(EXCEPTION_RECORD* record, void* establisher,
                                                 CONTEXT*, void*) {
  if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
    return ExceptionContinueSearch;
  }
  auto* frame = static_cast<FaultFrame*>(establisher);
  PopFaultFrame(*frame);
  __builtin_longjmp(frame->resume, 1);
}

}  // namespace

void PushFaultFrame(FaultFrame& frame) noexcept {
  NT_TIB* thread = ThreadInformation();
  frame.record.Next = thread->ExceptionList;
  frame.record.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&OnFault);
  thread->ExceptionList = &frame.record;
}

void PopFaultFrame(FaultFrame& frame) noexcept { ThreadInformation()->ExceptionList = frame.record.Next; }

}  // namespace installdll::detail
