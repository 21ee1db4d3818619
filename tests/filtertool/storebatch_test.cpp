// Named class identifiers and the store's batches, which the library modules
// register through.
#include <gtest/gtest.h>

#include <string>

#include "filtertool/fixture.h"
#include "platform/filters/filterhost.h"
#include "platform/filters/nameguid.h"

using namespace tl::flt;

TEST(NameGuid, IsTheNameBasedIdentifierOfItsName) {
  // Name-based (SHA-1, version 5) identifiers in the tool's name space, as
  // any other implementation of the standard computes them.
  EXPECT_EQ(nameGuidText("lavc-decoder:mpeg2video"), "{E12EEBCC-8DC4-509B-89E2-BE09B60756CD}");
  EXPECT_EQ(nameGuidText("lavf-demuxer:mpeg"), "{7A575A03-576C-5A39-9008-A8434802B7FC}");
  EXPECT_EQ(nameGuidText(std::string(100, 'x')), "{CFAC1C5D-22FD-55E5-905E-F136BDF0B878}");
  EXPECT_NE(nameGuidText("lavc-decoder:mp3"), nameGuidText("lavf-demuxer:mp3"));
}

TEST(StoreBatch, ChangesAreSeenAtOnceAndSavedByTheEnd) {
  fx::TempStore t;
  const std::string a = nameGuidText("a"), b = nameGuidText("b");
  ASSERT_EQ(tl_filter_batch_begin(), 0);
  ASSERT_EQ(tl_filter_register_server(a.c_str(), "A", "/x/a.so"), 0);
  ASSERT_EQ(tl_filter_register(a.c_str(), "A", 0x600000, 0, nullptr), 0);
  ASSERT_EQ(tl_filter_register(b.c_str(), "B", 0x5fff00, 0, nullptr), 0);
  ASSERT_EQ(tl_filter_unregister(b.c_str()), 0);
  // Nothing is written yet.
  std::vector<PropertyBag> bags;
  EXPECT_EQ(FilterStore(t.machineHive(), t.userHive()).createClassEnumerator(
                CLSID_LegacyAmFilterCategory, bags),
            kFalse);
  ASSERT_EQ(tl_filter_batch_end(), 0);
  FilterStore s;
  EXPECT_EQ(s.createClassEnumerator(CLSID_LegacyAmFilterCategory, bags), kOk);
  ASSERT_EQ(bags.size(), 1u);
  std::string path;
  EXPECT_EQ(s.serverPath(*fromString(a), path), kOk);
  EXPECT_EQ(path, "/x/a.so");
}

TEST(StoreBatch, AFailingSaveIsTheResultAndNamesTheFile) {
  fx::TempStore t;
  t.lockMachineHive(true);
  clearStoreFault();
  const std::string a = nameGuidText("a");
  tl_filter_batch_begin();
  tl_filter_register(a.c_str(), "A", 1, 0, nullptr);
  EXPECT_LT(tl_filter_batch_end(), 0);
  const StoreFault f = lastStoreFault();
  EXPECT_EQ(f.file, t.machineHive());
  EXPECT_FALSE(f.reason.empty());
}
