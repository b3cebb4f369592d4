// Prepares a Wine prefix as a machine with the maker's products on it, for the sample
// package's installation (tools/demo and the end-to-end test). Reads one command a line,
// fields separated by tabs; everything it writes stays.
//   product CODE STATE       state 5 (this user), 2 (another user) or 1 (advertised)
//   string KEY NAME VALUE    a REG_SZ value below HKEY_LOCAL_MACHINE (NAME - for the default)
//   key KEY                  an empty key below HKEY_LOCAL_MACHINE
//   delete KEY               removes a key below HKEY_LOCAL_MACHINE with its sub-keys
//   file PATH [TEXT]         a file (its folders created), holding TEXT
//   program PATH FILEVERSION PRODUCTVERSION   a small program with that version resource
// Blank lines and lines starting with # are skipped.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/products.h"
#include "support/registry.h"
#include "support/version_files.h"

namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream stream(line);
  for (std::string field; std::getline(stream, field, '\t');) {
    fields.push_back(field);
  }
  return fields;
}

void WriteFile(const std::string& path, const std::string& text) {
  testing_support::CreateFoldersFor(path);
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    throw std::runtime_error("cannot write " + path);
  }
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

// "a.b.c.d" as a version.
testing_support::FourPartVersion ParseVersion(const std::string& text) {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (std::sscanf(text.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4) {
    throw std::invalid_argument("not a version: " + text);
  }
  return {static_cast<WORD>(a), static_cast<WORD>(b), static_cast<WORD>(c), static_cast<WORD>(d)};
}

void Run(const std::vector<std::string>& f, testing_support::ProductRecords& records,
         testing_support::RegistryGuard& registry) {
  if (f[0] == "product" && f.size() == 3) {
    records.AddProduct(f[1], static_cast<INSTALLSTATE>(std::atoi(f[2].c_str())));
  } else if (f[0] == "string" && f.size() == 4) {
    registry.SetString(HKEY_LOCAL_MACHINE, f[1], f[2] == "-" ? nullptr : f[2].c_str(), f[3]);
  } else if (f[0] == "key" && f.size() == 2) {
    registry.CreateKey(HKEY_LOCAL_MACHINE, f[1]);
  } else if (f[0] == "delete" && f.size() == 2) {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, f[1].c_str());
  } else if (f[0] == "file" && (f.size() == 2 || f.size() == 3)) {
    WriteFile(f[1], f.size() == 3 ? f[2] : std::string());
  } else if (f[0] == "program" && f.size() == 4) {
    testing_support::WriteVersionedProgram(f[1], ParseVersion(f[2]), ParseVersion(f[3]));
  } else {
    throw std::invalid_argument("unknown command: " + f[0]);
  }
}

}  // namespace

int main() {
  testing_support::ProductRecords records;
  testing_support::RegistryGuard registry;
  int result = 0;
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line[0] == '#') {
      continue;
    }
    try {
      Run(Fields(line), records, registry);
    } catch (const std::exception& error) {
      std::fprintf(stderr, "records: %s\n", error.what());
      result = 1;
    }
  }
  records.Keep();
  registry.Forget();
  return result;
}
