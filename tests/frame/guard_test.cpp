// Nothing thrown or faulted inside an action reaches the host.
#include <stdexcept>

#include <gtest/gtest.h>

#include "frame/entry.h"
#include "support/library.h"

namespace {

using installdll::Guarded;

int ReadThrough(const int* volatile pointer) { return *pointer; }

NT_TIB* Thread() { return reinterpret_cast<NT_TIB*>(NtCurrentTeb()); }

TEST(Guarded, ReturnsTheBodysResult) {
  EXPECT_EQ(Guarded(-1, [] { return 7; }), 7);
}

TEST(Guarded, AnswersAFaultWithTheFallback) {
  EXPECT_EQ(Guarded(-1, [] { return ReadThrough(nullptr); }), -1);
}

TEST(Guarded, AnswersAnExceptionWithTheFallback) {
  EXPECT_EQ(Guarded(-1, []() -> int { throw std::runtime_error("no"); }), -1);
}

TEST(Guarded, LeavesTheThreadsHandlerChainAsItFoundIt) {
  auto* const before = Thread()->ExceptionList;
  Guarded(0, [] { return ReadThrough(nullptr); });
  Guarded(0, [] { return 1; });
  EXPECT_EQ(Thread()->ExceptionList, before);
  // A second fault is caught just as well.
  EXPECT_EQ(Guarded(-2, [] { return ReadThrough(reinterpret_cast<const int*>(16)); }), -2);
  EXPECT_EQ(Thread()->ExceptionList, before);
}

TEST(Guarded, NestsInsideAnotherGuard) {
  EXPECT_EQ(Guarded(-1, [] { return Guarded(-2, [] { return ReadThrough(nullptr); }) * 10; }), -20);
}

TEST(ScriptCalls, TakeANullStringAsEmpty) {
  using testing_support::Entry;
  EXPECT_EQ(Entry<testing_support::ScriptIntText>("_TamberlyInstalled@4")(nullptr), 0);
  EXPECT_EQ(static_cast<unsigned short>(Entry<testing_support::ScriptShortText>("_GetProductInstallStateWSE@4")(nullptr)), 0);
  EXPECT_EQ(Entry<testing_support::ScriptIntTwoTexts>("_TREVOKFeatureCheck@8")(nullptr, nullptr), 0);
}

TEST(ScriptCalls, SurviveAStringPointerThatPointsNowhere) {
  using testing_support::Entry;
  const auto* nowhere = reinterpret_cast<const char*>(8);
  EXPECT_EQ(Entry<testing_support::ScriptIntText>("_TamberlyInstalled@4")(nowhere), 0);
  EXPECT_EQ(Entry<testing_support::ScriptIntTwoTexts>("_TREVOKFeatureCheck@8")(nowhere, nowhere), 0);
}

}  // namespace
