#include "support/session.h"

#include <msiquery.h>
#include <propidl.h>

#include <stdexcept>
#include <vector>

namespace testing_support {

namespace {

void Execute(MSIHANDLE database, const char* query) {
  MSIHANDLE view = 0;
  if (MsiDatabaseOpenViewA(database, query, &view) != ERROR_SUCCESS) {
    throw std::runtime_error(std::string("cannot prepare ") + query);
  }
  const UINT result = MsiViewExecute(view, 0);
  MsiCloseHandle(view);
  if (result != ERROR_SUCCESS) {
    throw std::runtime_error(std::string("cannot run ") + query);
  }
}

// The smallest database Windows Installer accepts as a package: summary information and a
// Property table with a product code.
void CreatePackage(const std::string& path) {
  DeleteFileA(path.c_str());
  MSIHANDLE database = 0;
  if (MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_CREATE, &database) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create " + path);
  }
  Execute(database,
          "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` CHAR(0) NOT NULL "
          "LOCALIZABLE PRIMARY KEY `Property`)");
  Execute(database,
          "INSERT INTO `Property` (`Property`, `Value`) VALUES "
          "('ProductCode', '{0D1E2F3A-4B5C-4D6E-8F70-8192A3B4C5D6}')");
  MSIHANDLE summary = 0;
  MsiGetSummaryInformationA(database, nullptr, 8, &summary);
  MsiSummaryInfoSetPropertyA(summary, PIDSI_TEMPLATE, VT_LPSTR, 0, nullptr, "Intel;1033");
  MsiSummaryInfoSetPropertyA(summary, PIDSI_REVNUMBER, VT_LPSTR, 0, nullptr,
                             "{1E2F3A4B-5C6D-4E7F-8091-A2B3C4D5E6F7}");
  MsiSummaryInfoSetPropertyA(summary, PIDSI_PAGECOUNT, VT_I4, 200, nullptr, nullptr);
  MsiSummaryInfoSetPropertyA(summary, PIDSI_WORDCOUNT, VT_I4, 2, nullptr, nullptr);
  MsiSummaryInfoPersist(summary);
  MsiCloseHandle(summary);
  MsiDatabaseCommit(database);
  MsiCloseHandle(database);
}

std::string TemporaryPackagePath() {
  char folder[MAX_PATH];
  char path[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "pkg", 0, path);
  return path;
}

}  // namespace

TestSession::TestSession() : package_path_(TemporaryPackagePath()) {
  CreatePackage(package_path_);
  if (MsiOpenPackageExA(package_path_.c_str(), MSIOPENPACKAGEFLAGS_IGNOREMACHINESTATE, &session_) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot open the package " + package_path_);
  }
}

TestSession::~TestSession() {
  MsiCloseHandle(session_);
  DeleteFileA(package_path_.c_str());
}

void TestSession::Set(const char* name, const char* value) const { MsiSetPropertyA(session_, name, value); }

std::string TestSession::Get(const char* name) const {
  DWORD length = 0;
  char empty[1] = "";
  if (MsiGetPropertyA(session_, name, empty, &length) != ERROR_MORE_DATA) {
    return std::string();
  }
  std::vector<char> value(length + 1);
  length = static_cast<DWORD>(value.size());
  MsiGetPropertyA(session_, name, value.data(), &length);
  return std::string(value.data());
}

}  // namespace testing_support
