// The install-state actions against real product records and real sessions.
#include <windows.h>
#include <msi.h>

#include <string>

#include <gtest/gtest.h>

#include "catalogue/catalogue.h"
#include "detection/install_state.h"
#include "support/handles.h"
#include "support/library.h"
#include "support/products.h"
#include "support/registry.h"
#include "support/session.h"

namespace {

using namespace testing_support;

const char kTamberly[] = "{7A3B0C1D-2E3F-4051-8263-748596A7B8C9}";
using installdll::kTrevokKey;

constexpr INSTALLSTATE kNoRecord = INSTALLSTATE_UNKNOWN;

void Record(ProductRecords& records, const char* code, INSTALLSTATE state) {
  if (state != kNoRecord) {
    records.AddProduct(code, state);
  }
}

TEST(IsProductInstalled, HoldsForThisUserAndAnotherUserOnly) {
  const struct {
    INSTALLSTATE state;
    bool installed;
  } cases[] = {{INSTALLSTATE_DEFAULT, true},
               {INSTALLSTATE_ABSENT, true},
               {INSTALLSTATE_ADVERTISED, false},
               {kNoRecord, false}};
  for (const auto& c : cases) {
    ProductRecords records;
    Record(records, kTamberly, c.state);
    EXPECT_EQ(installdll::IsProductInstalled(kTamberly), c.installed) << "state " << c.state;
    EXPECT_EQ(Entry<ScriptIntText>("_TamberlyInstalled@4")(kTamberly), c.installed ? 1 : 0);
    EXPECT_EQ(static_cast<unsigned short>(Entry<ScriptShortText>("_GetProductInstallStateWSE@4")(kTamberly)),
              c.installed ? 1 : 0);
  }
}

TEST(IsProductInstalled, RejectsMalformedCodes) {
  ProductRecords records;
  records.AddProduct(kTamberly, INSTALLSTATE_DEFAULT);
  const std::string unbraced = std::string(kTamberly).substr(1, 36);
  for (const std::string& code : {unbraced, std::string(kTamberly) + "0", std::string(""), std::string("CLA_SALVETTA")}) {
    EXPECT_FALSE(installdll::IsProductInstalled(code.c_str())) << code;
    EXPECT_EQ(Entry<ScriptIntText>("_TamberlyInstalled@4")(code.c_str()), 0) << code;
  }
}

TEST(GetSalvettaInstallState, AcceptsEitherCode) {
  const struct {
    INSTALLSTATE a, b;
    int expected;
  } cases[] = {{INSTALLSTATE_DEFAULT, kNoRecord, 1},
               {kNoRecord, INSTALLSTATE_ABSENT, 1},
               {INSTALLSTATE_ADVERTISED, INSTALLSTATE_ADVERTISED, 0},
               {kNoRecord, kNoRecord, 0}};
  for (const auto& c : cases) {
    ProductRecords records;
    Record(records, PC_SALVETTA_A, c.a);
    Record(records, PC_SALVETTA_B, c.b);
    // The result is a 16-bit value: only the low half counts.
    EXPECT_EQ(static_cast<unsigned short>(Entry<ScriptShort>("_GetSalvettaInstallState@0")()), c.expected)
        << c.a << " " << c.b;
  }
}

TEST(IsVXQuorin_1_3_Installed, NeedsTheFirstCodeWithoutTheSecond) {
  const struct {
    INSTALLSTATE a, b;
    int expected;
  } cases[] = {{INSTALLSTATE_DEFAULT, INSTALLSTATE_DEFAULT, 0},
               {INSTALLSTATE_DEFAULT, kNoRecord, 1},
               {INSTALLSTATE_ABSENT, INSTALLSTATE_ADVERTISED, 1},
               {kNoRecord, INSTALLSTATE_DEFAULT, 0},
               {kNoRecord, kNoRecord, 0}};
  for (const auto& c : cases) {
    ProductRecords records;
    Record(records, PC_VOCASTRA1_QUORIN_A, c.a);
    Record(records, PC_VOCASTRA1_QUORIN_B, c.b);
    EXPECT_EQ(Entry<ScriptInt>("_IsVXQuorin_1_3_Installed@0")(), c.expected) << c.a << " " << c.b;
  }
}

TEST(GetProductInstallState, ChoosesTheProductBySelector) {
  const struct {
    const char* selector;
    const char* installed;
    bool flagged;
  } cases[] = {
      {"CLA_SALVETTA", PC_SALVETTA_C, true},
      {"cla_salvetta", PC_SALVETTA_C, true},
      {"CLA_PELLORIG_HD", PC_PELLORIG_HD, true},
      {"Cla_Pellorig_Hd", PC_PELLORIG_HD, true},
      {"CLA_SALVETTA", PC_PELLORIG_HD, false},
      {"CLA_PELLORIG_HD", PC_SALVETTA_C, false},
      {"CLA_VOCASTRA", PC_SALVETTA_C, false},
      {"CLA_SALVETTA_PLAYER", PC_SALVETTA_C, false},
      {"", PC_SALVETTA_C, false},
  };
  for (const auto& c : cases) {
    ProductRecords records;
    records.AddProduct(c.installed, INSTALLSTATE_DEFAULT);
    TestSession session;
    session.Set("KQAPPLICATION", c.selector);
    RunAction("_GetProductInstallState@4", session.Handle());
    EXPECT_EQ(session.Get("KQ_INSTALLED"), c.flagged ? "1" : "") << c.selector;
  }
}

TEST(GetProductInstallState, TakesASelectorOf64CharactersAsNoValue) {
  ProductRecords records;
  records.AddProduct(PC_SALVETTA_C, INSTALLSTATE_DEFAULT);
  // 63 characters still read: the selector is read, and equals nothing.
  for (const std::string& selector : {std::string(63, 'A'), std::string(64, 'A'), "CLA_SALVETTA" + std::string(52, ' ')}) {
    TestSession session;
    session.Set("KQAPPLICATION", selector.c_str());
    RunAction("_GetProductInstallState@4", session.Handle());
    EXPECT_FALSE(session.Has("KQ_INSTALLED")) << selector.size();
  }
}

TEST(GetProductInstallState, NeverClearsAFlagTheProductLacks) {
  TestSession session;
  session.Set("KQAPPLICATION", "CLA_SALVETTA");
  session.Set("KQ_INSTALLED", "1");
  RunAction("_GetProductInstallState@4", session.Handle());
  EXPECT_EQ(session.Get("KQ_INSTALLED"), "1");
}

TEST(CustomActions, SucceedOnAHandleThatIsNoSession) {
  ProductRecords records;
  records.AddProduct(PC_QUIBBET_FREE, INSTALLSTATE_DEFAULT);
  for (const char* action : {"_GetProductInstallState@4", "_GetTrevokInstallState@4", "_GetQuibbetFreeInstallState@4"}) {
    RunAction(action, kDeadSession);
  }
}

TEST(GetTrevokInstallState, NeedsTheTrevokKeyAndEitherCode) {
  const struct {
    bool key;
    INSTALLSTATE a, b;
    bool flagged;
  } cases[] = {{true, INSTALLSTATE_DEFAULT, kNoRecord, true},
               {true, kNoRecord, INSTALLSTATE_ABSENT, true},
               {true, INSTALLSTATE_ADVERTISED, kNoRecord, false},
               {true, kNoRecord, kNoRecord, false},
               {false, kNoRecord, INSTALLSTATE_DEFAULT, false},
               {false, INSTALLSTATE_DEFAULT, INSTALLSTATE_DEFAULT, false}};
  for (const auto& c : cases) {
    RegistryGuard registry;
    if (c.key) {
      registry.CreateKey(HKEY_LOCAL_MACHINE, kTrevokKey);
    }
    ProductRecords records;
    Record(records, PC_TREVOK_A, c.a);
    Record(records, PC_TREVOK_B, c.b);
    TestSession session;
    session.Set("KQVERSION", "0");  // a value the package gave it stays
    RunAction("_GetTrevokInstallState@4", session.Handle());
    EXPECT_EQ(session.Get("KQVERSION"), c.flagged ? "1" : "0") << c.key << " " << c.a << " " << c.b;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTrevokKey) && !c.key) << "the key was created";
  }
}

TEST(GetTrevokInstallState, NeedsTheTrevokKeyToOpenForWriting) {
  ProductRecords records;
  records.AddProduct(PC_TREVOK_A, INSTALLSTATE_DEFAULT);
  for (const DWORD access : {static_cast<DWORD>(KEY_READ), static_cast<DWORD>(KEY_READ | KEY_WRITE)}) {
    RegistryGuard registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kTrevokKey);
    registry.LimitAccess(HKEY_LOCAL_MACHINE, kTrevokKey, access);
    TestSession session;
    RunAction("_GetTrevokInstallState@4", session.Handle());
    EXPECT_EQ(session.Get("KQVERSION"), access == KEY_READ ? "" : "1") << access;
  }
}

TEST(GetQuibbetFreeInstallState, FlagsTheFreeEditionForAnyUser) {
  const struct {
    INSTALLSTATE state;
    bool flagged;
  } cases[] = {{INSTALLSTATE_DEFAULT, true}, {INSTALLSTATE_ABSENT, true}, {INSTALLSTATE_ADVERTISED, false}, {kNoRecord, false}};
  for (const auto& c : cases) {
    ProductRecords records;
    Record(records, PC_QUIBBET_FREE, c.state);
    TestSession session;
    session.Set("KQINSTALLED", "0");  // a value the package gave it stays
    RunAction("_GetQuibbetFreeInstallState@4", session.Handle());
    EXPECT_EQ(session.Get("KQINSTALLED"), c.flagged ? "1" : "0") << c.state;
    // "KQ_INSTALLED" is another property.
    EXPECT_FALSE(session.Has("KQ_INSTALLED"));
  }
}

TEST(TREVOKFeatureCheck, HoldsForALocalFeatureOnly) {
  ProductRecords records;
  records.AddProduct(kTamberly, INSTALLSTATE_DEFAULT);
  records.AddFeature(kTamberly, "Local", INSTALLSTATE_LOCAL);
  records.AddFeature(kTamberly, "Source", INSTALLSTATE_SOURCE);
  records.AddFeature(kTamberly, "Advertised", INSTALLSTATE_ADVERTISED);
  records.AddFeature(kTamberly, "Absent", INSTALLSTATE_ABSENT);
  const auto check = Entry<ScriptIntTwoTexts>("_TREVOKFeatureCheck@8");
  EXPECT_EQ(check(kTamberly, "Local"), 1);
  for (const char* feature : {"Source", "Advertised", "Absent", "Missing", ""}) {
    EXPECT_EQ(check(kTamberly, feature), 0) << feature;
  }
  EXPECT_EQ(check(PC_TREVOK2, "Local"), 0);
  EXPECT_EQ(check("not a code", "Local"), 0);
}

// TREVOKFeatureCheck is left out: Wine's own MsiQueryFeatureStateA leaves a registry key
// open on every call that finds feature records (measured), which would hide the library's.
TEST(InstallStateActions, LeaveNoHandleOpen) {
  RegistryGuard registry;
  registry.CreateKey(HKEY_LOCAL_MACHINE, kTrevokKey);
  ProductRecords records;
  records.AddProduct(PC_TREVOK_A, INSTALLSTATE_DEFAULT);
  records.AddProduct(PC_SALVETTA_C, INSTALLSTATE_DEFAULT);
  TestSession session;
  session.Set("KQAPPLICATION", "CLA_SALVETTA");
  // Warm up: the first calls load what the platform keeps loaded.
  for (int round = 0; round < 2; ++round) {
    const HandleLeakProbe probe;
    for (int call = 0; call < 20; ++call) {
      for (const char* action : {"_GetProductInstallState@4", "_GetTrevokInstallState@4", "_GetQuibbetFreeInstallState@4"}) {
        RunAction(action, session.Handle());
      }
      Entry<ScriptShort>("_GetSalvettaInstallState@0")();
      Entry<ScriptInt>("_IsVXQuorin_1_3_Installed@0")();
      Entry<ScriptIntText>("_TamberlyInstalled@4")(kTamberly);
    }
    if (round == 1) {
      EXPECT_TRUE(probe.Unchanged());
    }
  }
}

}  // namespace
