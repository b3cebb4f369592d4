#include "support/test_window.h"

namespace testing_support {

namespace {

// Sent by the owner to end a window that stays open on WM_CLOSE.
constexpr UINT kEndWindow = WM_APP + 1;

std::wstring Widened(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
  }
  return wide;
}

}  // namespace

TestWindow::TestWindow(const char* class_name, const std::wstring& title, OnClose on_close)
    : on_close_(on_close), ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  const std::wstring wide_class = class_name != nullptr ? Widened(class_name) : L"InstallDllTestWindow";
  thread_ = std::thread([this, wide_class, title] { Run(wide_class, title); });
  WaitForSingleObject(ready_, INFINITE);
}

TestWindow::~TestWindow() {
  PostMessageW(window_, kEndWindow, 0, 0);
  thread_.join();
  CloseHandle(ready_);
}

void TestWindow::End() { SendMessageW(window_, kEndWindow, 0, 0); }

void TestWindow::Run(const std::wstring& class_name, const std::wstring& title) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = Procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name.c_str();
  RegisterClassW(&window_class);  // already registered by an earlier window: the same class
  const HWND window = CreateWindowExW(0, class_name.c_str(), title.c_str(), WS_POPUP, 0, 0, 100, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), this);
  window_ = window;
  SetEvent(ready_);
  if (window == nullptr) {
    return;
  }
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_CLOSE:
      ++self->close_requests_;
      if (self->on_close_ == OnClose::kClose) {
        DestroyWindow(window);
      }
      return 0;
    case kEndWindow:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace testing_support
