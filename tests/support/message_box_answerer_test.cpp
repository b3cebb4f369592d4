// The message-box answerer against real message boxes shown on the test's own thread.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/message_box_answerer.h"

namespace {

using testing_support::MessageBoxAnswerer;
using testing_support::SeenMessageBox;

TEST(MessageBoxAnswerer, TellsWhetherTheBoxShowsAnIcon) {
  const struct {
    UINT style;
    bool icon;
  } cases[] = {
      {MB_OKCANCEL, false},
      {MB_OKCANCEL | MB_ICONWARNING, true},
  };
  for (const auto& c : cases) {
    MessageBoxAnswerer answerer("Answerer", IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "Text", "Answerer", c.style), IDCANCEL) << c.style;
    const SeenMessageBox box = answerer.Seen();
    EXPECT_TRUE(box.shown) << c.style;
    EXPECT_EQ(box.has_icon, c.icon) << c.style;
  }
}

}  // namespace
