// The fixtures make Windows Installer itself answer as the tests need.
#include <windows.h>
#include <msi.h>

#include <gtest/gtest.h>

#include "support/products.h"
#include "support/session.h"

namespace {

using namespace testing_support;

const char kProduct[] = "{12345678-9ABC-DEF0-1234-56789ABCDEF0}";

TEST(PackedGuid, ReversesAndSwapsAsTheInstallerDoes) {
  EXPECT_EQ(PackedGuid(kProduct), "87654321CBA90FED21436587A9CBED0F");
}

TEST(ProductRecords, MakeTheInstallerReportEachState) {
  const struct {
    INSTALLSTATE written;
    INSTALLSTATE reported;
  } cases[] = {
      {INSTALLSTATE_DEFAULT, INSTALLSTATE_DEFAULT},
      {INSTALLSTATE_ABSENT, INSTALLSTATE_ABSENT},
      {INSTALLSTATE_ADVERTISED, INSTALLSTATE_ADVERTISED},
  };
  for (const auto& c : cases) {
    {
      ProductRecords records;
      records.AddProduct(kProduct, c.written);
      EXPECT_EQ(MsiQueryProductStateA(kProduct), c.reported) << "written " << c.written;
    }
    EXPECT_EQ(MsiQueryProductStateA(kProduct), INSTALLSTATE_UNKNOWN) << "records of " << c.written << " left behind";
  }
}

TEST(ProductRecords, AreNotNeededForTheUnknownAndInvalidStates) {
  EXPECT_EQ(MsiQueryProductStateA(kProduct), INSTALLSTATE_UNKNOWN);
  EXPECT_EQ(MsiQueryProductStateA("{12345678-9ABC-DEF0-1234-56789ABCDEF}"), INSTALLSTATE_INVALIDARG);
  EXPECT_EQ(MsiQueryProductStateA("not a product code"), INSTALLSTATE_INVALIDARG);
}

TEST(FeatureRecords, MakeTheInstallerReportEachState) {
  ProductRecords records;
  records.AddProduct(kProduct, INSTALLSTATE_DEFAULT);
  records.AddFeature(kProduct, "Local", INSTALLSTATE_LOCAL);
  records.AddFeature(kProduct, "Source", INSTALLSTATE_SOURCE);
  records.AddFeature(kProduct, "Advertised", INSTALLSTATE_ADVERTISED);
  records.AddFeature(kProduct, "Absent", INSTALLSTATE_ABSENT);
  EXPECT_EQ(MsiQueryFeatureStateA(kProduct, "Local"), INSTALLSTATE_LOCAL);
  EXPECT_EQ(MsiQueryFeatureStateA(kProduct, "Source"), INSTALLSTATE_SOURCE);
  EXPECT_EQ(MsiQueryFeatureStateA(kProduct, "Advertised"), INSTALLSTATE_ADVERTISED);
  EXPECT_EQ(MsiQueryFeatureStateA(kProduct, "Absent"), INSTALLSTATE_ABSENT);
  EXPECT_EQ(MsiQueryFeatureStateA(kProduct, "Missing"), INSTALLSTATE_UNKNOWN);
}

TEST(TestSession, HoldsPropertiesLikeAnInstallerSession) {
  TestSession session;
  EXPECT_EQ(session.Get("ProductCode").size(), 38u);
  session.Set("KQAPPLICATION", "CLA_VOCASTRA");
  EXPECT_EQ(session.Get("KQAPPLICATION"), "CLA_VOCASTRA");
  EXPECT_FALSE(session.Has("KQNOTSET"));
}

}  // namespace
