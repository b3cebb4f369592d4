// Sees handles that code leaves open. The process's handle count is not available under
// Wine, but a new handle takes the lowest free slot of the handle table, so a handle left
// open moves that slot up.
#pragma once

#include <windows.h>

namespace testing_support {

class HandleLeakProbe {
 public:
  HandleLeakProbe() : lowest_free_slot_(LowestFreeSlot()) {}
  // Whether the lowest free slot is still the one seen when the probe was made.
  bool Unchanged() const { return LowestFreeSlot() == lowest_free_slot_; }

 private:
  static HANDLE LowestFreeSlot() {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(event);
    return event;
  }
  HANDLE lowest_free_slot_;
};

}  // namespace testing_support
