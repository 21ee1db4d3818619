// The filter layer: identifiers, filter data, the store and the modules.
#include <gtest/gtest.h>

#include "filtertool/fixture.h"
#include "platform/filters/filterdata.h"
#include "platform/filters/filterhost.h"
#include "platform/filters/filterstore.h"
#include "platform/modules/module.h"

using namespace tl::flt;

TEST(Guid, TextFormRoundTripsAndRejectsMalformedTexts) {
  const std::string t = "{083863F1-70DE-11D0-BD40-00A0C911CE86}";
  auto g = fromString(t);
  ASSERT_TRUE(g);
  EXPECT_EQ(toString(*g), t);
  EXPECT_EQ(fromString("{083863f1-70de-11d0-bd40-00a0c911ce86}"), g);
  EXPECT_EQ(*g, CLSID_LegacyAmFilterCategory);
  for (const char* bad : {"", "083863F1-70DE-11D0-BD40-00A0C911CE86", "{083863F1-70DE-11D0-BD40-00A0C911CE8}",
                          "{083863F1x70DE-11D0-BD40-00A0C911CE86}", "{083863G1-70DE-11D0-BD40-00A0C911CE86}",
                          "{083863F1-70DE-11D0-BD40-00A0C911CE86}x"})
    EXPECT_FALSE(fromString(bad)) << bad;
  EXPECT_TRUE(GUID_NULL.isNull());
  EXPECT_EQ(toString(GUID_NULL), "{00000000-0000-0000-0000-000000000000}");
}

TEST(FilterData, RoundTripsAndRefusesEveryTruncationAndBadCount) {
  RegFilter2 f;
  f.merit = 0x00600001;
  RegPin in;
  in.types = {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}, {MEDIATYPE_Video, GUID_NULL}};
  RegPin out;
  out.flags = kPinOutput | kPinMany;
  out.instances = 3;
  out.category = MEDIATYPE_Audio;
  out.types = {{MEDIATYPE_Audio, GUID_NULL}};
  f.pins = {in, out};
  const std::string bytes = serializeFilterData(f);
  auto back = parseFilterData(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, f);

  for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(parseFilterData(bytes.substr(0, n))) << n;
  EXPECT_FALSE(parseFilterData(bytes + "x"));
  std::string badMagic = bytes;
  badMagic[0] = 'X';
  EXPECT_FALSE(parseFilterData(badMagic));
  std::string badVersion = bytes;
  badVersion[4] = 3;
  EXPECT_FALSE(parseFilterData(badVersion));
  std::string hugePins = bytes;
  hugePins[12] = hugePins[13] = hugePins[14] = hugePins[15] = '\xff';
  EXPECT_FALSE(parseFilterData(hugePins));
  std::string hugeTypes = bytes;  // the first pin's type count
  hugeTypes[40] = hugeTypes[41] = hugeTypes[42] = hugeTypes[43] = '\x7f';
  EXPECT_FALSE(parseFilterData(hugeTypes));
}

TEST(FilterStore, MatchesMediaTypesByMeritWithWildcards) {
  fx::TempStore t;
  t.addFilter(fx::guid("{00000000-0000-0000-0000-0000000000A1}"), "Low", 0x100,
              {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}, {MEDIATYPE_Video, GUID_NULL}, "");
  t.addFilter(fx::guid("{00000000-0000-0000-0000-0000000000A2}"), "High", 0x900,
              {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}, {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}, "");
  t.addFilter(fx::guid("{00000000-0000-0000-0000-0000000000A3}"), "AnyVideo", 0x500,
              {MEDIATYPE_Video, GUID_NULL}, {MEDIATYPE_Video, GUID_NULL}, "");
  FilterStore s;
  std::vector<PropertyBag> hits;
  auto names = [&] {
    std::string all;
    for (auto& b : hits) {
      std::string n;
      b.readString("FriendlyName", n);
      all += n + ";";
    }
    return all;
  };
  ASSERT_EQ(s.enumMatchingFilters(hits, 0, true, 0, true, {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}},
                                  false, true, {{MEDIATYPE_Video, GUID_NULL}}),
            kOk);
  EXPECT_EQ(names(), "High;Low;");  // exact: a registered GUID_NULL is no wildcard
  s.enumMatchingFilters(hits, 0, false, 0, true, {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}}, false,
                        true, {{MEDIATYPE_Video, GUID_NULL}});
  EXPECT_EQ(names(), "High;AnyVideo;Low;");
  s.enumMatchingFilters(hits, 0, false, 0x400, true, {{MEDIATYPE_Video, GUID_NULL}}, false, false, {});
  EXPECT_EQ(names(), "High;AnyVideo;");
  s.enumMatchingFilters(hits, 0, true, 0, true, {{MEDIATYPE_Video, GUID_NULL}}, true, false, {});
  EXPECT_EQ(names(), "");  // no pin is rendered
  s.enumMatchingFilters(hits, 0, true, 0, true, {{MEDIATYPE_Audio, GUID_NULL}}, false, false, {});
  EXPECT_EQ(names(), "");
}

TEST(FilterStore, ServerPathsComeFromMachineHiveThenUserHive) {
  fx::TempStore t;
  const Guid a = fx::guid("{00000000-0000-0000-0000-0000000000B1}");
  const Guid b = fx::guid("{00000000-0000-0000-0000-0000000000B2}");
  FilterStore s;
  ASSERT_EQ(s.registerServer(a, "A", "%SYSTEMROOT%/a.ax"), kOk);
  tl::reg::Hive user(t.userHive());
  user.load();
  user.createKey(classKey(b) + "\\InprocServer32");
  user.setString(classKey(b) + "\\InprocServer32", "", "/user/b.ax");
  user.createKey(classKey(a) + "\\InprocServer32");
  user.setString(classKey(a) + "\\InprocServer32", "", "/user/a.ax");
  ASSERT_TRUE(user.save());
  std::string path;
  ASSERT_EQ(s.serverPath(a, path), kOk);
  EXPECT_EQ(path, "%SYSTEMROOT%/a.ax");  // kept unexpanded, the machine hive first
  ASSERT_EQ(s.serverPath(b, path), kOk);
  EXPECT_EQ(path, "/user/b.ax");
  EXPECT_EQ(s.serverPath(fx::guid("{00000000-0000-0000-0000-0000000000B3}"), path), kNotFound);
}

TEST(FilterStore, ChangesFailWithoutWriteAccessButListingGoesOn) {
  fx::TempStore t;
  t.registerTwoFilters();
  t.lockMachineHive(true);
  FilterStore s;
  std::vector<PropertyBag> all;
  EXPECT_EQ(s.createClassEnumerator(CLSID_LegacyAmFilterCategory, all), kOk);
  EXPECT_EQ(all.size(), 2u);
  EXPECT_TRUE(failed(s.registerFilter(fx::kDecoder, "X", CLSID_LegacyAmFilterCategory, {})));
  EXPECT_TRUE(failed(s.unregisterFilter(CLSID_LegacyAmFilterCategory, fx::kDecoder)));
  tl::mod::Module m;
  ASSERT_TRUE(m.load(FX_TWO_FILTERS));
  EXPECT_LT(m.call("DllUnregisterServer"), 0);
  EXPECT_LT(m.call("DllRegisterServer"), 0);
  t.lockMachineHive(false);
  EXPECT_EQ(s.createClassEnumerator(CLSID_LegacyAmFilterCategory, all), kOk);
  EXPECT_EQ(all.size(), 2u);
}

TEST(Modules, LoadCallAndRefuseWhatIsNoModule) {
  fx::TempStore t;
  tl::mod::Module m;
  std::string err;
  EXPECT_FALSE(m.load(FX_NOT_A_MODULE, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(m.load("/nonexistent/x.ax"));
  ASSERT_TRUE(m.load(FX_NO_REGISTER));
  EXPECT_FALSE(m.has("DllRegisterServer"));
  EXPECT_EQ(m.call("DllRegisterServer"), kFail);
  ASSERT_TRUE(m.load(FX_FAILING));
  EXPECT_LT(m.call("DllRegisterServer"), 0);
  ASSERT_TRUE(m.load(FX_TWO_FILTERS));
  EXPECT_EQ(m.call("DllRegisterServer"), 0);
  std::string path;
  FilterStore s;
  ASSERT_EQ(s.serverPath(fx::kSplitter, path), kOk);
  EXPECT_EQ(path, FX_TWO_FILTERS);
  EXPECT_EQ(m.call("DllUnregisterServer"), 0);
  EXPECT_EQ(s.serverPath(fx::kSplitter, path), kNotFound);
  EXPECT_EQ(tl_filter_register("bad", "n", 0, 0, nullptr), kInvalidArg);
}

TEST(Modules, ExpandsEnvironmentReferences) {
  qputenv("FX_DIR_VAR", "/opt/fx");
  qunsetenv("FX_UNSET_VAR");
  EXPECT_EQ(tl::mod::expandEnvironment("%FX_DIR_VAR%/a.ax"), "/opt/fx/a.ax");
  EXPECT_EQ(tl::mod::expandEnvironment("%FX_UNSET_VAR%/a.ax"), "%FX_UNSET_VAR%/a.ax");
  EXPECT_EQ(tl::mod::expandEnvironment("50%"), "50%");
  EXPECT_EQ(tl::mod::expandEnvironment("a%%b"), "a%%b");
}
