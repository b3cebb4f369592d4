// A top-level window owned by a helper thread with its own message loop, standing in for
// a product's main window. It counts the close requests it gets.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace testing_support {

enum class OnClose { kClose, kStayOpen };

class TestWindow {
 public:
  // A captionless popup window of that class (null: a class of the tests' own) and title.
  TestWindow(const char* class_name, const std::wstring& title, OnClose on_close);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  // Ends the window at once, without a close request, as the product does when the user
  // closes it.
  void End();

  HWND Handle() const { return window_; }
  int CloseRequests() const { return close_requests_; }
  bool IsOpen() const { return IsWindow(window_) != FALSE; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void Run(const std::wstring& class_name, const std::wstring& title);

  OnClose on_close_;
  std::atomic<int> close_requests_{0};
  std::atomic<HWND> window_{nullptr};
  HANDLE ready_;
  std::thread thread_;
};

}  // namespace testing_support
