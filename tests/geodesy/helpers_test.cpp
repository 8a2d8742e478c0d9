#include <gtest/gtest.h>

#include <string>

#include "geodesy/geotest.h"

namespace zarn {
namespace {

using Helpers = test::GeoTest;

TEST_F(Helpers, NextfieldWalksCommaAndStarSeparatedFields) {
  struct Case {
    const char* guards;
    std::string sentence;
    std::vector<std::pair<std::string, long>> steps;  // field, position after it
  };
  const Case cases[] = {
      {"checksum never returned", "A,B*7F", {{"A", 3}, {"B", 5}, {"", 1}}},
      {"empty fields keep their place", ",,X,", {{"", 2}, {"", 3}, {"X", 5}, {"", 1}}},
      {"last field without separator is lost", "A,B", {{"A", 3}, {"", 1}}},
      {"star before comma ends the field", "GGA*12,", {{"GGA", 5}, {"12", 8}, {"", 1}}},
  };
  for (const auto& c : cases) {
    long pos = 1;
    for (const auto& [field, after] : c.steps) {
      EXPECT_EQ(nextfield(c.sentence, pos), field) << c.guards;
      EXPECT_EQ(pos, after) << c.guards;
    }
  }
  long pos = 0;  // a position before the text starts at the first character
  EXPECT_EQ(nextfield("$GP,1", pos), "$GP");
}

TEST_F(Helpers, FirstValueReadsOfConfigurationFiles) {
  put("LINE.CFG", "first line, with comma\r\n");
  put("NUM.CFG", "12.5,3\r\n");
  put("EMPTY.CFG", "");
  put("BLANKLINE.CFG", "\r\n");
  const auto& f = files;
  EXPECT_EQ(fileexists(f, "line.cfg"), 1) << "names are matched without regard to case";
  EXPECT_EQ(fileexists(f, "*.CFG"), 1) << "a pattern counts as found";
  EXPECT_EQ(fileexists(f, "NONE.CFG"), 0);
  EXPECT_EQ(readfirstline(f, "LINE.CFG"), "first line, with comma");
  EXPECT_EQ(readfirstline(f, "BLANKLINE.CFG"), "");
  EXPECT_EQ(readfirstline(f, "NONE.CFG"), std::nullopt);
  // An empty file has no first line: callers keep their default instead of taking "".
  EXPECT_EQ(readfirstline(f, "EMPTY.CFG"), std::nullopt);
  EXPECT_EQ(readfirstnum(f, "NUM.CFG"), 12.5f);
  EXPECT_EQ(readfirstnum(f, "LINE.CFG"), 0.0f);
  EXPECT_EQ(readfirstnum(f, "EMPTY.CFG"), std::nullopt);
}

TEST_F(Helpers, LoadcccFaultsNeverOverflowTheTable) {
  auto load = [&](const std::string& contents) {
    put("MAPS.CCC", contents);
    return loadccc(geo, files).has_value();
  };
  EXPECT_TRUE(loadccc(geo, files).has_value()) << "missing file";
  EXPECT_FALSE(load("-3\r\n")) << "a negative count is an empty table";
  EXPECT_EQ(geo.ccccount, 0);
  // More squares than the table holds: the first 200 are kept, the rest reported.
  std::string big = "250\r\n";
  for (int i = 0; i < 250; ++i) big += "\"Q" + std::to_string(i) + "\"," + std::to_string(i) + ",1\r\n";
  EXPECT_TRUE(load(big));
  ASSERT_EQ(geo.ccccount, GeoState::cccmax);
  EXPECT_EQ(geo.ccccode[200], "Q199");
  EXPECT_EQ(geo.cccx[200], 19900.0f);
  EXPECT_TRUE(load("3\r\nSV,0,0\r\nTQ,5,1\r\n")) << "a file shorter than its count";
  ASSERT_EQ(geo.ccccount, 2) << "keeps what it holds";
  EXPECT_EQ(geo.ccccode[2], "TQ");
  EXPECT_EQ(geo.cccy[2], 100.0f);
}

TEST_F(Helpers, DaynumberCountsDaysAcrossYearEnds) {
  EXPECT_EQ(daynumber("010100") - daynumber("311299"), 1.0f);
  EXPECT_EQ(daynumber("010300") - daynumber("280200"), 2.0f) << "2000 was a leap year";
  EXPECT_EQ(daynumber("010399") - daynumber("280299"), 1.0f);
  // Two-digit years: 70 is 1970, 69 is 2069.
  EXPECT_EQ(daynumber("010170"), 0.0f);
  EXPECT_EQ(daynumber("311269") - daynumber("010170"), 36524.0f);
  // Later dates always give larger numbers, whatever the month lengths.
  float last = -1;
  for (int y : {70, 71, 99, 0, 1, 20, 69})
    for (int m = 1; m <= 12; ++m)
      for (int d : {1, 15, 28}) {
        char t[8];
        std::snprintf(t, sizeof t, "%02d%02d%02d", d, m, y);
        EXPECT_GT(daynumber(t), last) << t;
        last = daynumber(t);
      }
}

TEST_F(Helpers, ElapsedWrapsAtMidnight) {
  EXPECT_FLOAT_EQ(elapsed(0.5f, 86399.5f), 1.0f);
  EXPECT_FLOAT_EQ(elapsed(0.5f, 0.5f), 0.001f) << "never below a thousandth";
  EXPECT_FLOAT_EQ(elapsed(3600, 3590), 10.0f);
}

TEST_F(Helpers, PropercaseRaisesWordStarts) {
  const std::pair<std::string, std::string> cases[] = {
      {"JOHN o'GROATS-by the SEA", "John O'groats-By The Sea"},
      {" abc", " abc"},  // the second character is never raised
      {"", ""},
      {"\xC9TAPLES", "\xC9taples"},  // Latin-1 letters
  };
  for (auto [in, want] : cases) {
    propercase(in);
    EXPECT_EQ(in, want);
  }
}

TEST_F(Helpers, FlipcharsIsItsOwnInverseAndRefusesCodesAbove250) {
  std::string all;
  for (int c = 0; c <= 250; ++c) all += static_cast<char>(c);
  std::string t = all;
  ASSERT_TRUE(flipchars(t));
  EXPECT_EQ(static_cast<unsigned char>(t[0]), 250);
  ASSERT_TRUE(flipchars(t));
  EXPECT_EQ(t, all);
  std::string bad = "AB\xFB";
  EXPECT_FALSE(flipchars(bad));
  EXPECT_EQ(bad, "AB\xFB") << "a refused text is left as it was";
}

}  // namespace
}  // namespace zarn
