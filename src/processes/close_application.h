// Closing a running product before a patch replaces its files: one close request to its
// main window, then a bounded wait until the window has gone.
#pragma once

#include <windows.h>

namespace installdll {

// How long the wait for a closing window lasts: a look after each pause, at most pauses.
struct CloseWait {
  DWORD pause_milliseconds;
  unsigned pauses;
};

// About a minute: a look every two seconds, thirty pauses.
inline constexpr CloseWait kCloseWait = {2000, 30};

// Looks the window up with find_window (a fresh lookup each time, so the wait follows
// whichever window answers it). The first window found gets one WM_CLOSE; the wait ends
// when a look finds nothing or after the last pause. The request is never repeated.
template <class FindWindowFunction>
void CloseAndWait(FindWindowFunction&& find_window, CloseWait wait) noexcept {
  for (unsigned looks = 0;; ++looks) {
    const HWND window = find_window();
    if (window == nullptr) {
      return;
    }
    if (looks == 0) {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
    if (looks == wait.pauses) {
      return;
    }
    Sleep(wait.pause_milliseconds);
  }
}

// Closes the main window of the product that the application selector names; a selector
// without a main window of its own closes nothing.
void CloseSelectedApplication(const char* selector, CloseWait wait) noexcept;

// Asks the user, in a box captioned with name, to let a Pellorig window with an open
// project close, and closes it when allowed. 0: no such window; -1: the user declined;
// 1: the user agreed.
short ClosePellorigProject(const char* name, CloseWait wait) noexcept;

}  // namespace installdll
