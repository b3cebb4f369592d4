// The character rules of the closing and coordination actions, in single-byte code pages
// and again under the Japanese double-byte code page (932).
#include <windows.h>

#include <gtest/gtest.h>

#include "processes/installer_idle.h"
#include "processes/message_text.h"
#include "support/code_page.h"

namespace {

using installdll::CopyWholeCharacters;

TEST(CopyWholeCharacters, KeepsWhatFitsAndCutsTheRest) {
  char buffer[4];
  CopyWholeCharacters(buffer, "abc");
  EXPECT_STREQ(buffer, "abc");
  CopyWholeCharacters(buffer, "abcdef");
  EXPECT_STREQ(buffer, "abc");
  CopyWholeCharacters(buffer, "");
  EXPECT_STREQ(buffer, "");
}

using testing_support::Multibyte;

// Shift-JIS: 0x83 0x5C and 0x83 0x4D are single katakana whose trail bytes are the
// backslash and 'M'.
TEST_F(Multibyte, CopyWholeCharactersNeverSplitsACharacter) {
  char buffer[3];
  CopyWholeCharacters(buffer, "a\x83\x5C");
  EXPECT_STREQ(buffer, "a");
  CopyWholeCharacters(buffer, "\x83\x5C" "b");
  EXPECT_STREQ(buffer, "\x83\x5C");
}

TEST_F(Multibyte, AnInstallerNameStartsOnACharacter) {
  EXPECT_FALSE(installdll::IsInstallerProcessName("\x83" "MSIEXEC.EXE"));
  EXPECT_TRUE(installdll::IsInstallerProcessName("\x83\x5C" "MSIEXEC.EXE"));
}

}  // namespace
