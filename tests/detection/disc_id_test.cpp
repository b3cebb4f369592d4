// ReadDiscId against real marker files in folders of the test's own under %TEMP%, real
// "SourceDir" values and real edition identifiers in the registry.
#include <windows.h>
#include <msi.h>
#include <shlwapi.h>

#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "detection/disc_id.h"
#include "support/code_page.h"
#include "support/handles.h"
#include "support/library.h"
#include "support/registry.h"
#include "support/session.h"

namespace {

using namespace testing_support;

// The path in the ANSI code page, as the wide functions take it.
std::wstring Wide(const std::string& path) {
  std::wstring wide(path.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
  return wide;
}

// A source folder below %TEMP% holding marker files, removed with them at scope end. Long
// folders are made through the wide functions, which are not held to 260 characters.
class SourceFolder {
 public:
  // length: the folder's length with its trailing backslash; 0 for a short folder.
  explicit SourceFolder(std::size_t length = 0) {
    static int count = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // Process ids come again: pass over a folder that an interrupted run left behind.
    do {
      path_ = std::string(temp) + "editions_tests." + std::to_string(GetCurrentProcessId()) + "." +
              std::to_string(++count) + "\\";
    } while (!CreateDirectoryW(Wide(path_).c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    folders_.push_back(path_);
    if (length > path_.size()) {
      path_ += std::string(length - path_.size() - 1, 'x') + "\\";
      MakeFolder();
    }
  }
  ~SourceFolder() {
    for (const std::string& file : files_) {
      DeleteFileW(Wide(file).c_str());
    }
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
      RemoveDirectoryW(Wide(*folder).c_str());
    }
  }
  SourceFolder(const SourceFolder&) = delete;
  SourceFolder& operator=(const SourceFolder&) = delete;

  // A name in the ANSI code page: the file is made through the narrow function.
  void Add(const std::string& name) {
    const std::string path = path_ + name;
    const HANDLE file = name.size() + path_.size() < MAX_PATH
                            ? CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr)
                            : CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    CloseHandle(file);
    files_.push_back(path);
  }
  const std::string& WithBackslash() const { return path_; }
  std::string WithoutBackslash() const { return path_.substr(0, path_.size() - 1); }

 private:
  void MakeFolder() {
    ASSERT_TRUE(CreateDirectoryW(Wide(path_).c_str(), nullptr)) << path_;
    folders_.push_back(path_);
  }
  std::string path_;
  std::vector<std::string> files_;
  std::vector<std::string> folders_;
};

// A Vocastra key whose default value is the edition identifier given (none when null).
void RecordEdition(RegistryGuard& registry, const char* edition_id) {
  registry.CreateKey(HKEY_LOCAL_MACHINE, installdll::kVocastraKey);
  if (edition_id != nullptr) {
    registry.SetString(HKEY_LOCAL_MACHINE, installdll::kVocastraKey, nullptr, edition_id);
  }
}

void RemoveVocastraKey(RegistryGuard& registry) {
  registry.Watch(HKEY_LOCAL_MACHINE, installdll::kVocastraKey);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, installdll::kVocastraKey);
}

// Runs ReadDiscId on a session whose "KQDISCID" held an old value, and answers the new one
// ("" when the property was removed).
std::string ReadDiscId(const std::string& source_dir) {
  TestSession session;
  session.Set("SourceDir", source_dir.c_str());
  session.Set("KQDISCID", "OLD");
  RunAction("_ReadDiscId@4", session.Handle());
  return session.Get("KQDISCID");
}

bool OnWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

TEST(ReadDiscId, NamesTheMarkerFile) {
  const struct {
    std::vector<std::string> files;
    bool backslash;
    const char* disc_id;
  } cases[] = {
      {{"DiscIdW.txt"}, true, "DISCIDW"},
      {{"discidcq.txt"}, true, "DISCIDCQ"},
      {{"DiscIdCS.txt"}, true, "DISCIDCS"},
      {{"DiscIdW.txt", "DiscIdCS.txt"}, true, "DISCIDW"},
      {{"DiscIdCS.txt"}, false, "DISCIDCS"},
      {{"discidcw.TXT"}, false, "DISCIDCW"},
      // The name is cut at its last dot.
      {{"DiscId.W.txt"}, false, "DISCID.W"},
      // Only "DiscId", one or two letters and ".txt" count.
      {{"DiscIdABC.txt", "DiscIdW.doc"}, true, ""},
      // Windows lets the "?" before the dot match no character; Wine's "?" takes one.
      {{"DiscId.txt"}, true, OnWine() ? "" : "DISCID"},
      {{}, true, ""},
  };
  RegistryGuard registry;
  RemoveVocastraKey(registry);
  for (const auto& c : cases) {
    SourceFolder folder;
    for (const std::string& file : c.files) {
      folder.Add(file);
    }
    const std::string source = c.backslash ? folder.WithBackslash() : folder.WithoutBackslash();
    EXPECT_EQ(ReadDiscId(source), c.disc_id) << source << " " << c.files.size();
  }
}

TEST(ReadDiscId, OneLetterMarkerBesideAFolderWithoutBackslash) {
  RegistryGuard registry;
  RemoveVocastraKey(registry);
  SourceFolder folder;
  folder.Add("DiscIdS.txt");
  // The first pattern is joined to the folder's name and misses; the second is
  // "\DiscId??.txt". Windows lets the trailing "?" before the dot match no character and
  // finds DiscIdS.txt; Wine's "?" always takes one character, so Wine finds nothing.
  EXPECT_EQ(ReadDiscId(folder.WithoutBackslash()), OnWine() ? "" : "DISCIDS");
}

TEST(ReadDiscId, FallsBackToTheRecordedEdition) {
  const struct {
    const char* edition_id;
    const char* disc_id;
  } editions[] = {{EDITION_ID_W, "DISCIDW"},   {EDITION_ID_I, "DISCIDI"},   {EDITION_ID_P, "DISCIDP"},
                  {EDITION_ID_S, "DISCIDS"},   {EDITION_ID_CW, "DISCIDCW"}, {EDITION_ID_CQ, "DISCIDCQ"},
                  {EDITION_ID_CS, "DISCIDCS"}};
  SourceFolder folder;
  for (const auto& edition : editions) {
    RegistryGuard registry;
    RecordEdition(registry, edition.edition_id);
    EXPECT_EQ(ReadDiscId(folder.WithBackslash()), edition.disc_id) << edition.edition_id;
  }
}

TEST(ReadDiscId, RemovesTheIdentifierWhenNothingIsRecognised) {
  std::string lower_case = EDITION_ID_P;
  for (char& c : lower_case) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  const std::string with_space = EDITION_ID_P + std::string(" ");
  SourceFolder folder;
  for (const char* edition_id : {lower_case.c_str(), with_space.c_str(), "", static_cast<const char*>(nullptr)}) {
    RegistryGuard registry;
    RecordEdition(registry, edition_id);
    EXPECT_EQ(ReadDiscId(folder.WithBackslash()), "") << (edition_id ? edition_id : "(no value)");
  }
  RegistryGuard registry;
  RemoveVocastraKey(registry);
  EXPECT_EQ(ReadDiscId(folder.WithBackslash()), "") << "no Vocastra key";
}

TEST(ReadDiscId, ReadsAtMost64BytesOfTheEdition) {
  SourceFolder folder;
  for (const std::size_t size : {std::size_t{64}, std::size_t{65}}) {
    std::string data = EDITION_ID_P;
    data.resize(size, '\0');
    RegistryGuard registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, installdll::kVocastraKey);
    registry.SetBinary(HKEY_LOCAL_MACHINE, installdll::kVocastraKey, nullptr, data.data(), static_cast<DWORD>(size));
    EXPECT_EQ(ReadDiscId(folder.WithBackslash()), size == 64 ? "DISCIDP" : "") << size << " bytes";
  }
}

TEST(ReadDiscId, TheMarkerFileWinsOverTheRegistry) {
  RegistryGuard registry;
  RecordEdition(registry, EDITION_ID_CS);
  SourceFolder folder;
  folder.Add("DiscIdI.txt");
  EXPECT_EQ(ReadDiscId(folder.WithBackslash()), "DISCIDI");
}

TEST(ReadDiscId, UsesTheRegistryWithoutASourceFolder) {
  RegistryGuard registry;
  RecordEdition(registry, EDITION_ID_S);
  // An empty "SourceDir" is no folder; one of 260 characters does not read.
  for (const std::string& source : {std::string(), "C:\\" + std::string(257, 'x')}) {
    EXPECT_EQ(ReadDiscId(source), "DISCIDS") << source.size();
  }
}

TEST(ReadDiscId, SkipsAPatternThatDoesNotFitThePathBuffer) {
  // "DiscId?.txt" has 11 characters, "\DiscId??.txt" 13; a path holds 259.
  const struct {
    std::size_t length;  // of the folder, trailing backslash included
    bool backslash;
    const char* marker;
    const char* disc_id;
  } cases[] = {
      {248, true, "DiscIdW.txt", "DISCIDW"},
      {249, true, "DiscIdW.txt", "DISCIDI"},
      {247, false, "DiscIdCW.txt", "DISCIDCW"},
      {248, false, "DiscIdCW.txt", "DISCIDI"},
      {259, true, "DiscIdW.txt", "DISCIDI"},
  };
  RegistryGuard registry;
  RecordEdition(registry, EDITION_ID_I);
  for (const auto& c : cases) {
    SourceFolder folder(c.length);
    ASSERT_EQ(folder.WithBackslash().size(), c.length);
    folder.Add(c.marker);
    const std::string source = c.backslash ? folder.WithBackslash() : folder.WithoutBackslash();
    EXPECT_EQ(ReadDiscId(source), c.disc_id) << source.size();
  }
}

TEST(FindMarkerDiscId, LeavesTheIdentifierEmptyWithoutAMarker) {
  SourceFolder folder;
  char disc_id[installdll::kDiscIdCapacity] = "OLD";
  EXPECT_FALSE(installdll::FindMarkerDiscId(folder.WithBackslash().c_str(), disc_id));
  EXPECT_STREQ(disc_id, "");
  folder.Add("DiscIdP.txt");
  EXPECT_TRUE(installdll::FindMarkerDiscId(folder.WithBackslash().c_str(), disc_id));
  EXPECT_STREQ(disc_id, "DISCIDP");
}

using testing_support::Multibyte;

// Shift-JIS: 0x83 0x65 is one katakana whose trail byte is 'e'; upper-casing it byte by
// byte would make it another katakana (0x83 0x45). 0x82 0x81 is the full-width a.
TEST_F(Multibyte, TheIdentifierKeepsDoubleByteCharacters) {
  RegistryGuard registry;
  RemoveVocastraKey(registry);
  const struct {
    const char* marker;
    const char* disc_id;
  } cases[] = {{"discid\x83\x65.txt", "DISCID\x83\x65"},
               {"DiscId\x83\x65w.txt", "DISCID\x83\x65W"},
               {"DiscId\x82\x81.txt", "DISCID\x82\x60"}};
  for (const auto& c : cases) {
    SourceFolder folder;
    folder.Add(c.marker);
    EXPECT_EQ(ReadDiscId(folder.WithBackslash()), c.disc_id) << c.marker;
  }
}


TEST(ReadDiscId, ClosesItsSearchesAndKeys) {
  RegistryGuard registry;
  registry.SetString(HKEY_LOCAL_MACHINE, installdll::kVocastraKey, nullptr, EDITION_ID_P);
  SourceFolder with_marker;
  with_marker.Add("DiscIdW.txt");
  SourceFolder without_marker;
  ReadDiscId(with_marker.WithBackslash());  // the first call loads what the platform keeps
  const HandleLeakProbe probe;
  for (int call = 0; call < 20; ++call) {
    EXPECT_EQ(ReadDiscId(with_marker.WithBackslash()), "DISCIDW");
    EXPECT_EQ(ReadDiscId(without_marker.WithBackslash()), "DISCIDP");
  }
  EXPECT_TRUE(probe.Unchanged());
}

}  // namespace
