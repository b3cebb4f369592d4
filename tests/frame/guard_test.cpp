// Nothing thrown or faulted inside an action reaches the host.
#include <stdexcept>

#include <gtest/gtest.h>

#include "frame/entry.h"
#include "support/library.h"

namespace {

using installdll::Guarded;

int ReadThrough(const int* volatile pointer) { return *pointer; }

using installdll::detail::ChainHead;
using installdll::detail::SetChainHead;

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
  auto* const before = ChainHead();
  Guarded(0, [] { return ReadThrough(nullptr); });
  Guarded(0, [] { return 1; });
  EXPECT_EQ(ChainHead(), before);
  // A second fault is caught just as well.
  EXPECT_EQ(Guarded(-2, [] { return ReadThrough(reinterpret_cast<const int*>(16)); }), -2);
  EXPECT_EQ(ChainHead(), before);
}

// A handler registered inside the guarded body, as a platform function registers its own
// around its work: it only counts the unwind calls it receives.
int unwind_calls = 0;
extern "C" EXCEPTION_DISPOSITION __cdecl CountUnwinds(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
  if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) != 0) {
    ++unwind_calls;
  }
  return ExceptionContinueSearch;
}

TEST(Guarded, UnwindsTheHandlersBetweenTheFaultAndItself) {
  unwind_calls = 0;
  auto* const before = ChainHead();
  EXPECT_EQ(Guarded(-1,
                    [] {
                      EXCEPTION_REGISTRATION_RECORD inner = {};
                      inner.Next = ChainHead();
                      inner.Handler = reinterpret_cast<PEXCEPTION_ROUTINE>(&CountUnwinds);
                      SetChainHead(&inner);
                      const int value = ReadThrough(nullptr);
                      SetChainHead(inner.Next);
                      return value;
                    }),
            -1);
  EXPECT_EQ(unwind_calls, 1);
  EXPECT_EQ(ChainHead(), before);
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
