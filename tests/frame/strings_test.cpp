// The string rules: bounded building, and the case-insensitive and exact comparisons by
// characters of the ANSI code page.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "frame/strings.h"
#include "support/code_page.h"

namespace {

using namespace installdll;

TEST(CopyBounded, CopiesWhatFitsAndRefusesWhatDoesNot) {
  char buffer[8] = "old";
  EXPECT_TRUE(CopyBounded(buffer, "1234567"));
  EXPECT_STREQ(buffer, "1234567");
  EXPECT_FALSE(CopyBounded(buffer, "12345678"));
  EXPECT_STREQ(buffer, "");
}

TEST(AppendBounded, AppendsWhatFitsAndLeavesTheBufferOtherwise) {
  char buffer[12] = "C:\\Apps";
  EXPECT_TRUE(AppendBounded(buffer, "\\Bin"));
  EXPECT_STREQ(buffer, "C:\\Apps\\Bin");
  EXPECT_FALSE(AppendBounded(buffer, "X"));
  EXPECT_STREQ(buffer, "C:\\Apps\\Bin");
}

TEST(JoinBounded, JoinsWithoutAddingASeparator) {
  char buffer[20];
  EXPECT_TRUE(JoinBounded(buffer, "D:\\Disc\\", "DiscId?.txt"));
  EXPECT_STREQ(buffer, "D:\\Disc\\DiscId?.txt");
  EXPECT_FALSE(JoinBounded(buffer, "D:\\Disc\\Folder", "DiscId?.txt"));
  EXPECT_STREQ(buffer, "");
}

TEST(TextOrEmpty, TurnsNullIntoEmpty) {
  EXPECT_STREQ(TextOrEmpty(nullptr), "");
  EXPECT_STREQ(TextOrEmpty("x"), "x");
}

struct Comparison {
  const char* left;
  const char* right;
  bool ignoring_case;
  bool exactly;
};

TEST(Comparisons, FollowTheirRule) {
  const Comparison cases[] = {
      {"CLA_VOCASTRA", "CLA_VOCASTRA", true, true},
      {"cla_vocastra", "CLA_VOCASTRA", true, false},
      {"Cla_Vocastra", "CLA_VOCASTRA", true, false},
      {"CLA_VOCASTRA ", "CLA_VOCASTRA", false, false},
      {"CLA_VOCASTR", "CLA_VOCASTRA", false, false},
      {"", "", true, true},
      {"", "CLA_SALVETTA", false, false},
      {"PAL", "pal", true, false},
      {"{AB12}", "{ab12}", true, false},
  };
  for (const Comparison& c : cases) {
    EXPECT_EQ(EqualsIgnoreCase(c.left, c.right), c.ignoring_case) << c.left << " / " << c.right;
    EXPECT_EQ(EqualsIgnoreCase(c.right, c.left), c.ignoring_case) << c.right << " / " << c.left;
    EXPECT_EQ(EqualsExact(c.left, c.right), c.exactly) << c.left << " / " << c.right;
  }
}

TEST(FindExact, FindsTheFirstOccurrenceWithCaseSignificant) {
  const char* folder = "C:\\Binaries\\Vocastra\\Bin";
  EXPECT_EQ(FindExact(folder, "Bin"), folder + 3);
  EXPECT_EQ(FindExact("D:\\Apps\\bin", "Bin"), nullptr);
  const char* leading = "Bin\\x";
  EXPECT_EQ(FindExact(leading, "Bin"), leading);
  const char* text = "ab";
  EXPECT_EQ(FindExact(text, ""), text);
  EXPECT_EQ(FindExact("", "Bin"), nullptr);
}

TEST(FindLastDot, FindsTheLastDot) {
  char name[] = "DiscId.W.txt";
  EXPECT_STREQ(FindLastDot(name), ".txt");
  char none[] = "DiscIdW";
  EXPECT_EQ(FindLastDot(none), nullptr);
}

TEST(ToUpperInPlace, UpperCasesLetters) {
  char name[] = "discidcq";
  ToUpperInPlace(name);
  EXPECT_STREQ(name, "DISCIDCQ");
}

using testing_support::Multibyte;

// Shift-JIS: 0x83 0x5C is one katakana whose trail byte is the backslash; 0x83 0x61 and
// 0x83 0x41 are two katakana whose trail bytes are 'a' and 'A'; 0x82 0x81 and 0x82 0x60
// are the full-width letters a and A.
TEST_F(Multibyte, FindNeverMatchesATrailByte) {
  EXPECT_EQ(FindExact("\x83\x5C" "A", "\\"), nullptr);
  const char* text = "\x83\x5C\\";
  EXPECT_EQ(FindExact(text, "\\"), text + 2);
  const char* path = "\x83\x42in\\Bin";
  EXPECT_EQ(FindExact(path, "Bin"), path + 5);
}

TEST_F(Multibyte, CaseFoldingTakesADoubleByteCharacterAsOneUnit) {
  EXPECT_FALSE(EqualsIgnoreCase("\x83\x61", "\x83\x41"));
  EXPECT_TRUE(EqualsIgnoreCase("\x82\x81", "\x82\x60"));
  EXPECT_TRUE(EqualsIgnoreCase("cla_\x82\x81", "CLA_\x82\x60"));
}

TEST_F(Multibyte, LastDotAndUpperCaseWalkCharacters) {
  char name[] = "disc\x83\x5C.\x82\x81.txt";
  char* dot = FindLastDot(name);
  ASSERT_NE(dot, nullptr);
  EXPECT_STREQ(dot, ".txt");
  *dot = '\0';
  ToUpperInPlace(name);
  EXPECT_STREQ(name, "DISC\x83\x5C.\x82\x60");
}

}  // namespace
