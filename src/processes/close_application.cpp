// Closing-application actions: the product's main window is asked to close once, and the
// action waits a bounded time for it to go. The product's process is never ended.
#include "processes/close_application.h"

#include <shlwapi.h>

#include <cwchar>

#include "catalogue/catalogue.h"
#include "catalogue/selectors.h"
#include "frame/entry.h"
#include "frame/properties.h"
#include "processes/message_text.h"

namespace installdll {

namespace {

// The whole title of the Pellorig main window while no project is open.
constexpr char kPellorigTitle[] = "Pellorig";
// The end of the Pellorig main window's title while a project is open.
constexpr wchar_t kProjectTitleMark[] = L" - Pellorig";

struct ApplicationWindow {
  const char* selector;
  const char* window_class;  // null: any class
  const char* title;         // null: any title
};

// The main window of each product that CloseApplication closes, in the order compared.
constexpr ApplicationWindow kApplicationWindows[] = {
    {CLA_VOCASTRA, WC_VOCASTRA, nullptr},
    {CLA_TREVOK_KEY, WC_TREVOK, nullptr},
    {CLA_TREVOK_2, WC_TREVOK, nullptr},
    {CLA_PELLORIG, nullptr, kPellorigTitle},
    {CLA_PELLORIG_EXPRESS, nullptr, kPellorigTitle},
    {CLA_SALVETTA, WC_SALVETTA, nullptr},
};

void CloseWindowFoundBy(const char* window_class, const char* title, CloseWait wait) noexcept {
  CloseAndWait([&] { return FindWindowA(window_class, title); }, wait);
}

// A top-level window's title, as long as the title buffer allows.
constexpr int kTitleCapacity = 256;
constexpr int kTitleLimit = 255;

struct TitleSearch {
  wchar_t matched_title[kTitleCapacity];
  bool found;
};

BOOL CALLBACK MatchProjectTitle(HWND window, LPARAM context) noexcept {
  TitleSearch& search = *reinterpret_cast<TitleSearch*>(context);
  wchar_t title[kTitleCapacity] = {};
  SendMessageW(window, WM_GETTEXT, kTitleLimit, reinterpret_cast<LPARAM>(title));
  title[kTitleLimit] = L'\0';
  if (std::wcsstr(title, kProjectTitleMark) == nullptr) {
    return TRUE;
  }
  std::wmemcpy(search.matched_title, title, kTitleCapacity);
  search.found = true;
  return FALSE;
}

constexpr char kCloseQuestionFormat[] =
    "%s must be closed in order to continue with patch process.\nWould you like to close %s now?\n";
constexpr int kQuestionCapacity = 256;
// The longest name that keeps both lines of the question within its buffer.
constexpr std::size_t kNameInQuestionLimit = (kQuestionCapacity - 1 - (sizeof kCloseQuestionFormat - 1 - 4)) / 2;

// True when the user lets the product close.
bool UserAllowsClosing(const char* name) noexcept {
  char name_in_question[kNameInQuestionLimit + 1];
  CopyWholeCharacters(name_in_question, name);
  char question[kQuestionCapacity];
  wnsprintfA(question, kQuestionCapacity, kCloseQuestionFormat, name_in_question, name_in_question);
  return MessageBoxA(nullptr, question, name, MB_OKCANCEL) != IDCANCEL;
}

}  // namespace

void CloseSelectedApplication(const char* selector, CloseWait wait) noexcept {
  const ApplicationWindow* window = FindSelected(kApplicationWindows, selector);
  if (window != nullptr) {
    CloseWindowFoundBy(window->window_class, window->title, wait);
  }
}

short ClosePellorigProject(const char* name, CloseWait wait) noexcept {
  TitleSearch search = {};
  EnumWindows(MatchProjectTitle, reinterpret_cast<LPARAM>(&search));
  if (!search.found) {
    return 0;
  }
  if (!UserAllowsClosing(name)) {
    return -1;
  }
  CloseAndWait([&] { return FindWindowW(nullptr, search.matched_title); }, wait);
  return 1;
}

}  // namespace installdll

using namespace installdll;

INSTALLDLL_ENTRY(UINT) CloseApplication(MSIHANDLE session) {
  return GuardedAction([&] {
    char selector[kSelectorCapacity];
    if (ReadProperty(session, kApplicationProperty, selector)) {
      CloseSelectedApplication(selector, kCloseWait);
    }
  });
}

INSTALLDLL_ENTRY(short) CloseApplication_TrevokKeyToTREVOK_Patch() {
  return Guarded<short>(0, [&]() -> short {
    CloseWindowFoundBy(WC_TREVOK, nullptr, kCloseWait);
    return 0;
  });
}

INSTALLDLL_ENTRY(short) ClosePellorigPatch(const char* name) {
  return Guarded<short>(0, [&] { return ClosePellorigProject(TextOrEmpty(name), kCloseWait); });
}
