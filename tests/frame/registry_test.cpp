// Registry reads into fixed buffers never read or write past the buffer.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "frame/registry.h"
#include "support/registry.h"

namespace {

using installdll::OpenKey;
using installdll::ReadNumberValue;
using installdll::ReadStringValue;
using testing_support::RegistryGuard;

const char kKey[] = "SOFTWARE\\InstallDllTests\\Registry";

// A buffer with guard bytes on both sides, to see any write outside it.
struct Fenced {
  char before[8];
  char buffer[16];
  char after[8];
  Fenced() {
    std::memset(this, '#', sizeof(*this));
  }
  bool FencesIntact() const {
    return std::string(before, sizeof(before)) == std::string(8, '#') &&
           std::string(after, sizeof(after)) == std::string(8, '#');
  }
};

TEST(ReadStringValue, ReadsAStringThatFits) {
  RegistryGuard registry;
  registry.SetString(HKEY_LOCAL_MACHINE, kKey, "Folder", "C:\\Apps");
  char buffer[260];
  ASSERT_TRUE(ReadStringValue(HKEY_LOCAL_MACHINE, kKey, "Folder", buffer));
  EXPECT_STREQ(buffer, "C:\\Apps");
}

TEST(ReadStringValue, TerminatesDataThatFillsTheBufferWithoutAZero) {
  RegistryGuard registry;
  registry.SetBinary(HKEY_LOCAL_MACHINE, kKey, "Full", "0123456789ABCDEF", 16);
  Fenced fenced;
  const auto key = OpenKey(HKEY_LOCAL_MACHINE, kKey, installdll::kReadAccess);
  ASSERT_TRUE(ReadStringValue(key.Get(), "Full", fenced.buffer));
  EXPECT_STREQ(fenced.buffer, "0123456789ABCDE");
  EXPECT_TRUE(fenced.FencesIntact());
}

TEST(ReadStringValue, TreatsDataLargerThanTheBufferAsMissing) {
  RegistryGuard registry;
  registry.SetString(HKEY_LOCAL_MACHINE, kKey, "Long", std::string(16, 'x'));  // 17 bytes with its zero
  Fenced fenced;
  const auto key = OpenKey(HKEY_LOCAL_MACHINE, kKey, installdll::kReadAccess);
  EXPECT_FALSE(ReadStringValue(key.Get(), "Long", fenced.buffer));
  EXPECT_STREQ(fenced.buffer, "");
  EXPECT_TRUE(fenced.FencesIntact());
}

TEST(ReadStringValue, FailsForAMissingValueOrKey) {
  RegistryGuard registry;
  registry.CreateKey(HKEY_LOCAL_MACHINE, kKey);
  char buffer[260];
  EXPECT_FALSE(ReadStringValue(HKEY_LOCAL_MACHINE, kKey, "Absent", buffer));
  EXPECT_FALSE(ReadStringValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\InstallDllTests\\NoSuchKey", "Absent", buffer));
  EXPECT_FALSE(OpenKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\InstallDllTests\\NoSuchKey", installdll::kReadAccess));
}

TEST(ReadNumberValue, ReadsTheFirstFourBytesOfAnyType) {
  RegistryGuard registry;
  registry.SetNumber(HKEY_LOCAL_MACHINE, kKey, "Number", 2230);
  registry.SetBinary(HKEY_LOCAL_MACHINE, kKey, "Bytes", "\x01\x02\x00\x00", 4);
  const auto key = OpenKey(HKEY_LOCAL_MACHINE, kKey, installdll::kReadAccess);
  DWORD number = 0;
  ASSERT_TRUE(ReadNumberValue(key.Get(), "Number", number));
  EXPECT_EQ(number, 2230u);
  ASSERT_TRUE(ReadNumberValue(key.Get(), "Bytes", number));
  EXPECT_EQ(number, 0x0201u);
}

TEST(WriteValues, WriteTheTypesAndLengthsAsked) {
  RegistryGuard registry;
  registry.CreateKey(HKEY_LOCAL_MACHINE, kKey);
  {
    const auto key = OpenKey(HKEY_LOCAL_MACHINE, kKey, installdll::kWriteAccess);
    ASSERT_TRUE(key);
    installdll::WriteStringValue(key.Get(), "Text", "2.02");
    installdll::WriteNumberValue(key.Get(), "Time", 0x12345678);
  }
  DWORD type = 0;
  std::string data;
  ASSERT_TRUE(testing_support::ReadValue(HKEY_LOCAL_MACHINE, kKey, "Text", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, std::string("2.02", 5));
  ASSERT_TRUE(testing_support::ReadValue(HKEY_LOCAL_MACHINE, kKey, "Time", type, data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, std::string("\x78\x56\x34\x12", 4));
}

}  // namespace
