#include "support/message_box_answerer.h"

namespace testing_support {

namespace {

// The class of dialog boxes, message boxes among them, and the ids of a message box's text
// and of its icon (a static control that holds no icon, or is hidden, when the box shows none).
constexpr char kDialogClass[] = "#32770";
constexpr int kMessageTextId = 0xFFFF;
constexpr int kIconId = 0x440;
// Never wait for ever on a box that does not come.
constexpr DWORD kPatienceMilliseconds = 120000;

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(const std::string& caption, int button, std::function<void()> before_answer)
    : thread_([this, caption, button, before_answer] { Watch(caption, button, before_answer); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() { Seen(); }

SeenMessageBox MessageBoxAnswerer::Seen() {
  stop_ = true;
  if (thread_.joinable()) {
    thread_.join();
  }
  return seen_;
}

void MessageBoxAnswerer::Watch(const std::string& caption, int button, const std::function<void()>& before_answer) {
  const DWORD start = GetTickCount();
  while (!stop_ && GetTickCount() - start < kPatienceMilliseconds) {
    const HWND box = FindWindowA(kDialogClass, caption.c_str());
    // Visible once the box has taken its text and buttons.
    if (box == nullptr || !IsWindowVisible(box)) {
      Sleep(20);
      continue;
    }
    char text[1024] = {};
    GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
    seen_.shown = true;
    seen_.text = text;
    seen_.has_owner = GetWindow(box, GW_OWNER) != nullptr;
    // A box may keep the buttons of other styles hidden.
    const auto shows_button = [box](int id) { return IsWindowVisible(GetDlgItem(box, id)) != FALSE; };
    seen_.has_ok = shows_button(IDOK);
    seen_.has_cancel = shows_button(IDCANCEL);
    for (int other : {IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
      seen_.has_other_buttons = seen_.has_other_buttons || shows_button(other);
    }
    const HWND icon = GetDlgItem(box, kIconId);
    seen_.has_icon = IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    if (before_answer) {
      before_answer();
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return;
  }
}

}  // namespace testing_support
