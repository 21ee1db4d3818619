#include "core/timetext.h"

#include <gtest/gtest.h>

#include "core/srtread.h"

namespace tl {
namespace {

TEST(TimeText, ThreeFormsTruncateAndPadHours) {
  EXPECT_EQ(sec2str_4(0), "00:00:00,0000");
  EXPECT_EQ(sec2str_3(0), "00:00:00,000");
  EXPECT_EQ(sec2str_0(0), "00:00:00");
  EXPECT_EQ(sec2str_4(37230500), "01:02:03,0500");
  EXPECT_EQ(sec2str_3(37230500), "01:02:03,050");
  EXPECT_EQ(sec2str_0(37230500), "01:02:03");
  EXPECT_EQ(sec2str_4(9999), "00:00:00,9999");
  EXPECT_EQ(sec2str_3(9999), "00:00:00,999");
  EXPECT_EQ(sec2str_3(37234567), "01:02:03,456");
  EXPECT_EQ(sec2str_3(360000000), "010:00:00,000");
  EXPECT_EQ(sec2str_0(3599999999), "099:59:59");
}

TEST(TimeText, NegativeTimesCarrySignsInsideFields) {
  EXPECT_EQ(sec2str_4(-15000), "00:00:-1,-5000");
  EXPECT_EQ(sec2str_3(-15000), "00:00:-1,-500");
  EXPECT_EQ(sec2str_0(-650000), "00:-1:-5");
  EXPECT_EQ(sec2str_3(-36000000), "0-1:00:00,000");
  EXPECT_EQ(sec2str_4(-1), "00:00:00,00-1");
  EXPECT_EQ(sec2str_3(-10), "00:00:00,0-1");
}

TEST(TimeText, Inttostr2) {
  EXPECT_EQ(inttostr2(7, 3), "007");
  EXPECT_EQ(inttostr2(1234, 2), "1234");
  EXPECT_EQ(inttostr2(-5, 2), "-5");
  EXPECT_EQ(inttostr2(-5, 3), "0-5");
}

TEST(TimeText, SrtFormReadsBackExactly) {
  for (ttime t : {ttime(0), ttime(10), ttime(623450), ttime(37230500), ttime(359999990), ttime(360000000),
                  ttime(3600000000), ttime(-15000), ttime(-650000), ttime(-36000000), ttime(-1230), ttime(-10)}) {
    std::string err;
    EXPECT_EQ(strtotime(sec2str_3(t), &err), t) << sec2str_3(t);
    EXPECT_EQ(err, "");
  }
  // The four-digit form reads back with its last digit dropped.
  EXPECT_EQ(strtotime(sec2str_4(623456)), 623450);
  EXPECT_EQ(strtotime(sec2str_4(360006789)), 360006780);
}

}  // namespace
}  // namespace tl
