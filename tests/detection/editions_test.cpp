// The edition, demo and video-standard actions against real product records, real
// sessions and real registry values.
#include <windows.h>
#include <msi.h>
#include <shlwapi.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "detection/editions.h"
#include "support/handles.h"
#include "support/library.h"
#include "support/products.h"
#include "support/registry.h"
#include "support/session.h"

namespace {

using namespace testing_support;
using installdll::CLA_TREVOK_KEY;
using installdll::CLA_VOCASTRA;

using Installed = std::vector<std::pair<const char*, INSTALLSTATE>>;

const char* const kEditionFlags[] = {"KQHAS_VAMBRE", "KQHAS_QUORIN", "KQHAS_ZELPH"};

short CheckVocastraVersion() {
  // A 16-bit result: only the low half counts.
  return static_cast<short>(Entry<ScriptShort>("_CheckVocastraVersion@0")() & 0xFFFF);
}

// Runs GetVocastraPacks on a fresh session and answers the one flag it set ("" for none).
std::string VocastraPacksFlag() {
  TestSession session;
  RunAction("_GetVocastraPacks@4", session.Handle());
  std::string flag;
  for (const char* name : kEditionFlags) {
    if (session.Has(name)) {
      EXPECT_EQ(session.Get(name), "YES") << name;
      EXPECT_TRUE(flag.empty()) << "a second flag: " << name;
      flag = name;
    }
  }
  return flag;
}

TEST(VocastraEdition, EachCodeAloneGivesItsNumberAndFlag) {
  const struct {
    const char* code;
    short version;
    const char* flag;
  } rows[] = {
      {PC_VOCASTRA2_VAMBRE_A, 6, "KQHAS_VAMBRE"}, {PC_VOCASTRA2_VAMBRE_B, 6, "KQHAS_VAMBRE"},
      {PC_VOCASTRA1_VAMBRE_A, 3, "KQHAS_VAMBRE"}, {PC_VOCASTRA1_VAMBRE_B, 3, "KQHAS_VAMBRE"},
      {PC_VOCASTRA1_VAMBRE_C, 3, "KQHAS_VAMBRE"}, {PC_VOCASTRA2_QUORIN, 5, "KQHAS_QUORIN"},
      {PC_VOCASTRA1_QUORIN_A, 2, "KQHAS_QUORIN"}, {PC_VOCASTRA1_QUORIN_B, 2, "KQHAS_QUORIN"},
      {PC_VOCASTRA1_QUORIN_C, 2, "KQHAS_QUORIN"}, {PC_VOCASTRA2_ZELPH, 4, "KQHAS_ZELPH"},
      {PC_VOCASTRA1_ZELPH_A, 1, "KQHAS_ZELPH"},   {PC_VOCASTRA1_ZELPH_B, 1, "KQHAS_ZELPH"},
  };
  for (const auto& row : rows) {
    ProductRecords records;
    records.AddProduct(row.code, INSTALLSTATE_DEFAULT);
    EXPECT_EQ(CheckVocastraVersion(), row.version) << row.code;
    EXPECT_EQ(VocastraPacksFlag(), row.flag) << row.code;
  }
}

TEST(VocastraEdition, TheHighestEditionWins) {
  const struct {
    Installed installed;
    short version;
    const char* flag;
  } cases[] = {
      // The higher edition wins over the newer generation.
      {{{PC_VOCASTRA1_VAMBRE_A, INSTALLSTATE_DEFAULT}, {PC_VOCASTRA2_QUORIN, INSTALLSTATE_DEFAULT}}, 3, "KQHAS_VAMBRE"},
      {{{PC_VOCASTRA2_ZELPH, INSTALLSTATE_DEFAULT}, {PC_VOCASTRA1_QUORIN_A, INSTALLSTATE_DEFAULT}}, 2, "KQHAS_QUORIN"},
      // Installed for another user counts, advertised does not.
      {{{PC_VOCASTRA1_VAMBRE_C, INSTALLSTATE_ABSENT}}, 3, "KQHAS_VAMBRE"},
      {{{PC_VOCASTRA2_VAMBRE_A, INSTALLSTATE_ADVERTISED}, {PC_VOCASTRA1_ZELPH_B, INSTALLSTATE_ABSENT}}, 1, "KQHAS_ZELPH"},
      {{{PC_VOCASTRA2_QUORIN, INSTALLSTATE_ADVERTISED}}, 0, ""},
      // Vocastra products outside the list are no edition.
      {{{PC_VOCASTRA_X1, INSTALLSTATE_DEFAULT}, {PC_VOCASTRA1_DEMO, INSTALLSTATE_DEFAULT}}, 0, ""},
      {{}, 0, ""},
  };
  for (const auto& c : cases) {
    ProductRecords records;
    for (const auto& product : c.installed) {
      records.AddProduct(product.first, product.second);
    }
    EXPECT_EQ(CheckVocastraVersion(), c.version) << c.flag;
    EXPECT_EQ(VocastraPacksFlag(), c.flag) << c.version;
  }
}

std::vector<std::string> asked_codes;
const char* installed_code = nullptr;

bool RecordingTest(const char* product_code) {
  asked_codes.push_back(product_code);
  return installed_code != nullptr && std::string(product_code) == installed_code;
}

TEST(VocastraEdition, TheWalkStopsAtTheFirstInstalledCode) {
  const struct {
    const char* installed;
    std::size_t asked;
    short version;
  } cases[] = {{PC_VOCASTRA2_VAMBRE_A, 1, 6}, {PC_VOCASTRA1_VAMBRE_B, 4, 3}, {PC_VOCASTRA2_QUORIN, 6, 5},
               {PC_VOCASTRA1_ZELPH_B, 12, 1}, {nullptr, 12, 0}};
  for (const auto& c : cases) {
    asked_codes.clear();
    installed_code = c.installed;
    const installdll::EditionProbe* found = installdll::FirstInstalledEdition(RecordingTest);
    EXPECT_EQ(asked_codes.size(), c.asked) << c.version;
    EXPECT_EQ(found != nullptr ? found->version : 0, c.version);
  }
  // With none installed, every code is asked about, highest edition first and, within an
  // edition, the second generation first.
  const std::vector<std::string> order = {
      PC_VOCASTRA2_VAMBRE_A, PC_VOCASTRA2_VAMBRE_B, PC_VOCASTRA1_VAMBRE_A, PC_VOCASTRA1_VAMBRE_B,
      PC_VOCASTRA1_VAMBRE_C, PC_VOCASTRA2_QUORIN,   PC_VOCASTRA1_QUORIN_A, PC_VOCASTRA1_QUORIN_B,
      PC_VOCASTRA1_QUORIN_C, PC_VOCASTRA2_ZELPH,    PC_VOCASTRA1_ZELPH_A,  PC_VOCASTRA1_ZELPH_B};
  EXPECT_EQ(asked_codes, order);
}

TEST(VocastraEdition, GetVocastraPacksNeverLowersAFlag) {
  ProductRecords records;
  records.AddProduct(PC_VOCASTRA2_ZELPH, INSTALLSTATE_DEFAULT);
  TestSession session;
  session.Set("KQHAS_VAMBRE", "YES");
  session.Set("KQHAS_QUORIN", "NO");
  RunAction("_GetVocastraPacks@4", session.Handle());
  EXPECT_EQ(session.Get("KQHAS_VAMBRE"), "YES");
  EXPECT_EQ(session.Get("KQHAS_QUORIN"), "NO");
  EXPECT_EQ(session.Get("KQHAS_ZELPH"), "YES");
}

TEST(GetExistProductPacks, FlagsTheFirstDemoForAVocastraPackage) {
  const struct {
    const char* selector;
    INSTALLSTATE demo1, demo2;
    bool vxdemo, vx2demo;
  } cases[] = {
      {CLA_VOCASTRA, INSTALLSTATE_DEFAULT, INSTALLSTATE_DEFAULT, true, false},
      {"cla_Vocastra", INSTALLSTATE_UNKNOWN, INSTALLSTATE_DEFAULT, false, true},
      {CLA_VOCASTRA, INSTALLSTATE_ADVERTISED, INSTALLSTATE_ABSENT, false, true},
      {CLA_VOCASTRA, INSTALLSTATE_ABSENT, INSTALLSTATE_UNKNOWN, true, false},
      {CLA_VOCASTRA, INSTALLSTATE_UNKNOWN, INSTALLSTATE_UNKNOWN, false, false},
      {CLA_TREVOK_KEY, INSTALLSTATE_DEFAULT, INSTALLSTATE_DEFAULT, false, false},
      {"", INSTALLSTATE_DEFAULT, INSTALLSTATE_DEFAULT, false, false},
  };
  for (const auto& c : cases) {
    ProductRecords records;
    for (const auto& demo : {std::make_pair(PC_VOCASTRA1_DEMO, c.demo1), std::make_pair(PC_VOCASTRA2_DEMO, c.demo2)}) {
      if (demo.second != INSTALLSTATE_UNKNOWN) {
        records.AddProduct(demo.first, demo.second);
      }
    }
    TestSession session;
    session.Set("KQAPPLICATION", c.selector);
    RunAction("_GetExistProductPacks@4", session.Handle());
    EXPECT_EQ(session.Get("KQHAS_VXDEMO"), c.vxdemo ? "YES" : "") << c.selector << " " << c.demo1 << " " << c.demo2;
    EXPECT_EQ(session.Get("KQHAS_VX2DEMO"), c.vx2demo ? "YES" : "") << c.selector << " " << c.demo1 << " " << c.demo2;
  }
}

TEST(GetExistProductPacks, ReadsALongSelectorAndKeepsFlags) {
  ProductRecords records;
  records.AddProduct(PC_VOCASTRA2_DEMO, INSTALLSTATE_DEFAULT);
  // 259 characters still read; they equal no selector.
  for (const std::string& selector : {std::string(259, 'A'), std::string(260, 'A')}) {
    TestSession session;
    session.Set("KQAPPLICATION", selector.c_str());
    session.Set("KQHAS_VXDEMO", "NO");
    RunAction("_GetExistProductPacks@4", session.Handle());
    EXPECT_EQ(session.Get("KQHAS_VXDEMO"), "NO");
    EXPECT_FALSE(session.Has("KQHAS_VX2DEMO")) << selector.size();
  }
}

TEST(TREVOK2TypeSelected, NeedsJackModeToBeExactlyPal) {
  const struct {
    const char* jack_mode;  // null: the key without the value
    bool pal;
  } cases[] = {{"PAL", true}, {"Pal", false}, {"pal", false}, {"NTSC", false},
               {"", false},   {"PAL ", false}, {nullptr, false}};
  for (const auto& c : cases) {
    RegistryGuard registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, installdll::kTrevokKey);
    if (c.jack_mode != nullptr) {
      registry.SetString(HKEY_LOCAL_MACHINE, installdll::kTrevokKey, "JackMode", c.jack_mode);
    }
    TestSession session;
    session.Set("KQPRODUCT", "NTSC");
    RunAction("_TREVOK2TypeSelected@4", session.Handle());
    EXPECT_EQ(session.Get("KQPRODUCT"), c.pal ? "PAL" : "NTSC") << (c.jack_mode ? c.jack_mode : "(no value)");
  }
}

TEST(TREVOK2TypeSelected, ClosesTheTrevokKey) {
  RegistryGuard registry;
  registry.SetString(HKEY_LOCAL_MACHINE, installdll::kTrevokKey, "JackMode", "PAL");
  TestSession session;
  RunAction("_TREVOK2TypeSelected@4", session.Handle());  // the first call loads what the platform keeps
  const HandleLeakProbe probe;
  for (int call = 0; call < 20; ++call) {
    RunAction("_TREVOK2TypeSelected@4", session.Handle());
  }
  EXPECT_TRUE(probe.Unchanged());
  EXPECT_EQ(session.Get("KQPRODUCT"), "PAL");
}

TEST(TREVOK2TypeSelected, ReadsTheValueWhateverItsTypeWithin260Bytes) {
  const struct {
    std::string data;
    bool pal;
  } cases[] = {{"PAL", true},
               {std::string("PAL\0", 4), true},
               {"PAL" + std::string(257, '\0'), true},
               {"PAL" + std::string(258, '\0'), false}};
  for (const auto& c : cases) {
    RegistryGuard registry;
    registry.SetBinary(HKEY_LOCAL_MACHINE, installdll::kTrevokKey, "JackMode", c.data.data(),
                       static_cast<DWORD>(c.data.size()));
    TestSession session;
    RunAction("_TREVOK2TypeSelected@4", session.Handle());
    EXPECT_EQ(session.Get("KQPRODUCT"), c.pal ? "PAL" : "") << c.data.size() << " bytes";
  }
}

TEST(TREVOK2TypeSelected, DoesNothingWithoutTheTrevokKey) {
  RegistryGuard registry;
  registry.Watch(HKEY_LOCAL_MACHINE, installdll::kTrevokKey);
  SHDeleteKeyA(HKEY_LOCAL_MACHINE, installdll::kTrevokKey);
  TestSession session;
  RunAction("_TREVOK2TypeSelected@4", session.Handle());
  EXPECT_FALSE(session.Has("KQPRODUCT"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, installdll::kTrevokKey)) << "the key was created";
}

TEST(EditionActions, SucceedOnAHandleThatIsNoSession) {
  ProductRecords records;
  records.AddProduct(PC_VOCASTRA2_VAMBRE_A, INSTALLSTATE_DEFAULT);
  records.AddProduct(PC_VOCASTRA1_DEMO, INSTALLSTATE_DEFAULT);
  for (const char* action : {"_GetVocastraPacks@4", "_GetExistProductPacks@4", "_TREVOK2TypeSelected@4", "_ReadDiscId@4"}) {
    RunAction(action, kDeadSession);
  }
}

}  // namespace
