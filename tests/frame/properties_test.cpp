// Reading and writing installer properties through a real session.
#include <string>

#include <gtest/gtest.h>

#include "frame/properties.h"
#include "support/session.h"

namespace {

using installdll::ReadProperty;
using installdll::WriteProperty;
using testing_support::kDeadSession;
using testing_support::TestSession;

TEST(ReadProperty, ReadsAValueOneShorterThanTheCapacity) {
  TestSession session;
  const std::string longest(63, 'A');
  session.Set("KQAPPLICATION", longest.c_str());
  char buffer[64];
  ASSERT_TRUE(ReadProperty(session.Handle(), "KQAPPLICATION", buffer));
  EXPECT_EQ(buffer, longest);
}

TEST(ReadProperty, TreatsAValueThatDoesNotFitAsNoValue) {
  TestSession session;
  session.Set("KQAPPLICATION", std::string(64, 'A').c_str());
  char buffer[64];
  EXPECT_FALSE(ReadProperty(session.Handle(), "KQAPPLICATION", buffer));
  EXPECT_STREQ(buffer, "");
  char larger[260];
  EXPECT_TRUE(ReadProperty(session.Handle(), "KQAPPLICATION", larger));
}

TEST(ReadProperty, ReadsAPropertyThatIsNotSetAsEmpty) {
  TestSession session;
  char buffer[16] = "stale";
  EXPECT_TRUE(ReadProperty(session.Handle(), "KQNOTSET", buffer));
  EXPECT_STREQ(buffer, "");
}

TEST(ReadProperty, FailsOnAHandleThatIsNoSession) {
  char buffer[64] = "stale";
  EXPECT_FALSE(ReadProperty(kDeadSession, "ProductCode", buffer));
  EXPECT_STREQ(buffer, "");
}

TEST(WriteProperty, SetsAndRemoves) {
  TestSession session;
  WriteProperty(session.Handle(), "KQFLAG", "YES");
  EXPECT_EQ(session.Get("KQFLAG"), "YES");
  WriteProperty(session.Handle(), "KQFLAG", nullptr);
  EXPECT_FALSE(session.Has("KQFLAG"));
  WriteProperty(kDeadSession, "KQFLAG", "1");  // ignored, never faults
}

}  // namespace
