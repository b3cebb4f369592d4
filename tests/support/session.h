// A real installer session: a package database generated for the test and opened with
// MsiOpenPackage, as Windows Installer opens a package before it runs custom actions.
#pragma once

#include <windows.h>
#include <msi.h>

#include <string>

namespace testing_support {

class TestSession {
 public:
  TestSession();
  ~TestSession();
  TestSession(const TestSession&) = delete;
  TestSession& operator=(const TestSession&) = delete;

  MSIHANDLE Handle() const { return session_; }

  void Set(const char* name, const char* value) const;
  // The property's value; the empty string when it is not set.
  std::string Get(const char* name) const;
  // Whether the property is set to a non-empty value.
  bool Has(const char* name) const { return !Get(name).empty(); }

 private:
  std::string package_path_;
  MSIHANDLE session_ = 0;
};

// A handle value that is no live installer session.
constexpr MSIHANDLE kDeadSession = 0xDEAD;

}  // namespace testing_support
