// Answers a message box from a helper thread, as a user would: finds the box by its
// caption, reads what it shows and presses a button.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace testing_support {

struct SeenMessageBox {
  bool shown = false;
  std::string text;
  bool has_owner = false;
  bool has_ok = false;
  bool has_cancel = false;
  bool has_other_buttons = false;
  bool has_icon = false;
};

class MessageBoxAnswerer {
 public:
  // Watches for a box with that caption and answers it with the button (IDOK, IDCANCEL),
  // after doing what the user does first while the box is open.
  MessageBoxAnswerer(const std::string& caption, int button, std::function<void()> before_answer = {});
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

  // Stops watching (the action under test has returned) and tells what was seen.
  SeenMessageBox Seen();

 private:
  void Watch(const std::string& caption, int button, const std::function<void()>& before_answer);

  std::atomic<bool> stop_{false};
  SeenMessageBox seen_;
  std::thread thread_;
};

}  // namespace testing_support
