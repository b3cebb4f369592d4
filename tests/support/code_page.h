// The multibyte string rules need a double-byte ANSI code page. Tests of them use this
// fixture; ctest runs them once more under the Japanese code page (932), where they are
// not skipped.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

namespace testing_support {

class Multibyte : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 932) {
      GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
    }
  }
};

}  // namespace testing_support
