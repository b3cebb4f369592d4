// The closing-application actions against real windows owned by helper threads and real
// message boxes answered from a helper thread. Most cases run the close-and-wait loop with
// short pauses; the real pauses of the exported actions are measured once each.
#include <windows.h>
#include <msi.h>

#include <string>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "processes/close_application.h"
#include "support/library.h"
#include "support/message_box_answerer.h"
#include "support/session.h"
#include "support/test_window.h"

namespace {

using namespace testing_support;
using installdll::CloseWait;

constexpr CloseWait kShortWait = {50, 4};

// Milliseconds that body takes.
template <class Body>
DWORD Elapsed(Body&& body) {
  const DWORD start = GetTickCount();
  body();
  return GetTickCount() - start;
}

short LowHalf(short result) { return static_cast<short>(result & 0xFFFF); }

std::string Question(const std::string& name) {
  return name + " must be closed in order to continue with patch process.\nWould you like to close " + name +
         " now?\n";
}

// Runs the loop on the Vocastra window; how many lookups it made.
int LooksForVocastra(CloseWait wait) {
  int looks = 0;
  installdll::CloseAndWait(
      [&] {
        ++looks;
        return FindWindowA(WC_VOCASTRA, nullptr);
      },
      wait);
  return looks;
}

BOOL CALLBACK StopAtEitherWindow(HWND window, LPARAM context) {
  HWND* windows = reinterpret_cast<HWND*>(context);
  if (window != windows[0] && window != windows[1]) {
    return TRUE;
  }
  windows[2] = window;
  return FALSE;
}

// Whichever of the two windows comes first in the system's order of top-level windows.
HWND FirstInWindowOrder(HWND one, HWND other) {
  HWND windows[3] = {one, other, nullptr};
  EnumWindows(StopAtEitherWindow, reinterpret_cast<LPARAM>(windows));
  return windows[2];
}

TEST(CloseAndWait, RequestsOnceAndLooksAfterEachPause) {
  const struct {
    OnClose on_close;
    int looks;
    bool open_after;
  } cases[] = {{OnClose::kClose, 2, false}, {OnClose::kStayOpen, static_cast<int>(kShortWait.pauses) + 1, true}};
  for (const auto& c : cases) {
    TestWindow window(WC_VOCASTRA, L"Vocastra", c.on_close);
    EXPECT_EQ(LooksForVocastra(kShortWait), c.looks);
    EXPECT_EQ(window.CloseRequests(), 1);
    EXPECT_EQ(window.IsOpen(), c.open_after);
  }
}

TEST(CloseAndWait, ReturnsAtOnceWithoutAWindow) {
  int looks = 0;
  const DWORD elapsed = Elapsed([&] { looks = LooksForVocastra(installdll::kCloseWait); });
  EXPECT_EQ(looks, 1);
  EXPECT_LT(elapsed, 500u);
}

TEST(CloseSelectedApplication, ClosesTheWindowOfTheSelectedProduct) {
  const struct {
    const char* selector;
    const char* window_class;  // null: a class of no product
    const wchar_t* title;
    bool closed;
  } cases[] = {
      {"CLA_VOCASTRA", WC_VOCASTRA, L"Untitled - Vocastra", true},
      {"cla_vocastra", WC_VOCASTRA, L"", true},
      {"CLA_TREVOK_KEY", WC_TREVOK, L"Trevok", true},
      {"CLA_TREVOK_2", WC_TREVOK, L"Trevok", true},
      {"CLA_SALVETTA", WC_SALVETTA, L"Salvetta", true},
      {"CLA_PELLORIG", nullptr, L"Pellorig", true},
      {"Cla_Pellorig_Express", nullptr, L"Pellorig", true},
      {"CLA_PELLORIG", nullptr, L"Pellorig Express", false},
      {"CLA_VOCASTRA", WC_SALVETTA, L"Salvetta", false},
      {"CLA_PELLORIG_HD", nullptr, L"Pellorig", false},
      {"CLA_QUIBBET", WC_VOCASTRA, L"", false},
      {"", WC_VOCASTRA, L"", false},
  };
  for (const auto& c : cases) {
    TestWindow window(c.window_class, c.title, OnClose::kClose);
    installdll::CloseSelectedApplication(c.selector, kShortWait);
    EXPECT_EQ(window.CloseRequests(), c.closed ? 1 : 0) << c.selector;
  }
}

TEST(CloseApplication, ReturnsAtOnceWhenNothingIsToBeClosed) {
  TestWindow vocastra(WC_VOCASTRA, L"Vocastra", OnClose::kClose);
  const std::string too_long = "CLA_VOCASTRA" + std::string(52, ' ');
  for (const std::string& selector : {std::string("CLA_SALVETTA"), std::string("CLA_PELLORIG_HD"), too_long}) {
    TestSession session;
    session.Set("KQAPPLICATION", selector.c_str());
    const DWORD elapsed = Elapsed([&] { RunAction("_CloseApplication@4", session.Handle()); });
    EXPECT_LT(elapsed, 500u) << selector;
  }
  RunAction("_CloseApplication@4", kDeadSession);
  EXPECT_EQ(vocastra.CloseRequests(), 0);
}

TEST(CloseApplication, WaitsOnePauseForAWindowThatClosesAtOnce) {
  TestWindow vocastra(WC_VOCASTRA, L"Vocastra", OnClose::kClose);
  TestSession session;
  session.Set("KQAPPLICATION", "CLA_VOCASTRA");
  const DWORD elapsed = Elapsed([&] { RunAction("_CloseApplication@4", session.Handle()); });
  EXPECT_EQ(vocastra.CloseRequests(), 1);
  EXPECT_FALSE(vocastra.IsOpen());
  EXPECT_GE(elapsed, 1900u);
  EXPECT_LT(elapsed, 3000u);
}

TEST(CloseApplication_TrevokKeyToTREVOK_Patch, ReturnsAtOnceWithoutATrevokWindow) {
  TestWindow vocastra(WC_VOCASTRA, L"Trevok", OnClose::kClose);
  const auto close_trevok = Entry<ScriptShort>("_CloseApplication_TrevokKeyToTREVOK_Patch@0");
  short result = 1;
  EXPECT_LT(Elapsed([&] { result = close_trevok(); }), 500u);
  EXPECT_EQ(LowHalf(result), 0);
  EXPECT_EQ(vocastra.CloseRequests(), 0);
}

TEST(CloseApplication_TrevokKeyToTREVOK_Patch, GivesUpOnAWindowThatStaysOpenAfterAMinute) {
  TestWindow trevok(WC_TREVOK, L"Trevok", OnClose::kStayOpen);
  short result = 1;
  const DWORD elapsed =
      Elapsed([&] { result = Entry<ScriptShort>("_CloseApplication_TrevokKeyToTREVOK_Patch@0")(); });
  EXPECT_EQ(LowHalf(result), 0);
  EXPECT_EQ(trevok.CloseRequests(), 1);
  EXPECT_TRUE(trevok.IsOpen());
  EXPECT_GE(elapsed, 59900u);
  EXPECT_LT(elapsed, 62500u);
}

TEST(ClosePellorigProject, LooksForTheProjectMarkAnywhereAndInItsExactCase) {
  const struct {
    const wchar_t* title;
    bool matched;
  } cases[] = {
      {L"Demo - Pellorig", true},
      {L"Demo - Pellorig Express", true},
      {L" - Pellorig", true},
      {L"Demo - pellorig", false},
      {L"Demo -Pellorig", false},
      {L"Pellorig", false},
  };
  for (const auto& c : cases) {
    TestWindow window(nullptr, c.title, OnClose::kClose);
    MessageBoxAnswerer answerer("Pellorig", IDOK);
    EXPECT_EQ(installdll::ClosePellorigProject("Pellorig", kShortWait), c.matched ? 1 : 0);
    EXPECT_EQ(answerer.Seen().shown, c.matched);
    EXPECT_EQ(window.CloseRequests(), c.matched ? 1 : 0);
  }
}

TEST(ClosePellorigProject, ClosesTheProjectWindowWhereCloseApplicationClosesTheBareOne) {
  TestWindow bare(nullptr, L"Pellorig", OnClose::kStayOpen);
  TestWindow project(nullptr, L"Demo - Pellorig", OnClose::kStayOpen);
  installdll::CloseSelectedApplication("CLA_PELLORIG", kShortWait);
  EXPECT_EQ(bare.CloseRequests(), 1);
  EXPECT_EQ(project.CloseRequests(), 0);

  MessageBoxAnswerer answerer("Pellorig", IDOK);
  EXPECT_EQ(installdll::ClosePellorigProject("Pellorig", kShortWait), 1);
  EXPECT_EQ(bare.CloseRequests(), 1);
  EXPECT_EQ(project.CloseRequests(), 1);
  EXPECT_TRUE(project.IsOpen());
}

TEST(ClosePellorigProject, ClosesOnlyTheFirstProjectWindowInTheSystemsOrder) {
  TestWindow older(nullptr, L"Older - Pellorig", OnClose::kClose);
  TestWindow newer(nullptr, L"Newer - Pellorig", OnClose::kClose);
  const HWND first = FirstInWindowOrder(older.Handle(), newer.Handle());
  ASSERT_NE(first, nullptr);
  MessageBoxAnswerer answerer("Pellorig", IDOK);
  EXPECT_EQ(installdll::ClosePellorigProject("Pellorig", kShortWait), 1);
  EXPECT_EQ(older.CloseRequests(), first == older.Handle() ? 1 : 0);
  EXPECT_EQ(newer.CloseRequests(), first == newer.Handle() ? 1 : 0);
}

TEST(ClosePellorigProject, AsksTheUserInAnOkCancelBoxCaptionedWithTheName) {
  TestWindow project(nullptr, L"Demo - Pellorig", OnClose::kClose);
  MessageBoxAnswerer answerer("Pellorig", IDOK);
  EXPECT_EQ(installdll::ClosePellorigProject("Pellorig", kShortWait), 1);
  const SeenMessageBox box = answerer.Seen();
  EXPECT_TRUE(box.shown);
  EXPECT_EQ(box.text, Question("Pellorig"));
  EXPECT_FALSE(box.has_owner);
  EXPECT_TRUE(box.has_ok);
  EXPECT_TRUE(box.has_cancel);
  EXPECT_FALSE(box.has_other_buttons);
  EXPECT_FALSE(box.has_icon);
  EXPECT_FALSE(project.IsOpen());
}

TEST(ClosePellorigPatch, LeavesTheWindowAloneWhenTheUserCancels) {
  TestWindow project(nullptr, L"Demo - Pellorig", OnClose::kClose);
  MessageBoxAnswerer answerer("Pellorig Express", IDCANCEL);
  EXPECT_EQ(LowHalf(Entry<ScriptShortText>("_ClosePellorigPatch@4")("Pellorig Express")), -1);
  EXPECT_EQ(answerer.Seen().text, Question("Pellorig Express"));
  EXPECT_EQ(project.CloseRequests(), 0);
  EXPECT_TRUE(project.IsOpen());
}

TEST(ClosePellorigPatch, AgreesWithoutARequestWhenTheUserClosedTheWindowWhileAsked) {
  TestWindow project(nullptr, L"Demo - Pellorig", OnClose::kStayOpen);
  MessageBoxAnswerer answerer("Pellorig", IDOK, [&] { project.End(); });
  EXPECT_EQ(LowHalf(Entry<ScriptShortText>("_ClosePellorigPatch@4")("Pellorig")), 1);
  EXPECT_TRUE(answerer.Seen().shown);
  EXPECT_FALSE(project.IsOpen());
  EXPECT_EQ(project.CloseRequests(), 0);
}

TEST(ClosePellorigPatch, ShortensALongNameInTheQuestionOnly) {
  TestWindow project(nullptr, L"Demo - Pellorig", OnClose::kClose);
  const std::string name(200, 'N');
  MessageBoxAnswerer answerer(name, IDCANCEL);
  EXPECT_EQ(LowHalf(Entry<ScriptShortText>("_ClosePellorigPatch@4")(name.c_str())), -1);
  const SeenMessageBox box = answerer.Seen();
  EXPECT_TRUE(box.shown);
  EXPECT_EQ(box.text, Question(name.substr(0, 84)));
  EXPECT_LE(box.text.size(), 255u);
}

TEST(ClosePellorigPatch, ReturnsAtOnceWithoutAProjectWindow) {
  TestWindow bare(nullptr, L"Pellorig", OnClose::kClose);
  MessageBoxAnswerer answerer("Pellorig", IDCANCEL);
  const auto close_pellorig = Entry<ScriptShortText>("_ClosePellorigPatch@4");
  for (const char* name : {"Pellorig", static_cast<const char*>(nullptr)}) {
    short result = 1;
    EXPECT_LT(Elapsed([&] { result = close_pellorig(name); }), 500u);
    EXPECT_EQ(LowHalf(result), 0);
  }
  EXPECT_FALSE(answerer.Seen().shown);
  EXPECT_EQ(bare.CloseRequests(), 0);
}

}  // namespace
