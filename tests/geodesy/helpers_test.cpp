// Fields of a sentence, first values of files, MAPS.CCC, day numbers and the small text helpers.
#include <cstdio>
#include <tuple>

#include "geodesy/geotest.h"

namespace zarn {

using Helpers = test::GeoTest;

TEST_F(Helpers, NextfieldWalksCommaAndStarSeparatedFields) {
  const struct { const char *guards, *sentence; std::vector<std::pair<const char*, long>> steps; } cases[] = {
      {"checksum never returned", "A,B*7F", {{"A", 3}, {"B", 5}, {"", 1}}},
      {"empty fields keep their place", ",,X,", {{"", 2}, {"", 3}, {"X", 5}, {"", 1}}},
      {"last field without separator is lost", "A,B", {{"A", 3}, {"", 1}}},
      {"star before comma ends the field", "GGA*12,", {{"GGA", 5}, {"12", 8}, {"", 1}}},
  };
  for (const auto& c : cases) {
    long pos = 1;
    for (const auto& [field, after] : c.steps) {  // field, position after it
      EXPECT_EQ(nextfield(c.sentence, pos), field) << c.guards;
      EXPECT_EQ(pos, after) << c.guards;
    }
  }
}

TEST_F(Helpers, FirstValuesAndTheGridSquareTable) {
  tmp.put("LINE.CFG", "first line, with comma\r\n");
  tmp.put("EMPTY.CFG", "");
  EXPECT_EQ(readfirstline(files, "LINE.CFG"), "first line, with comma");
  EXPECT_EQ(readfirstline(files, "NONE.CFG"), std::nullopt);
  // An empty file has no first value: callers keep their default instead of taking "" or 0.
  EXPECT_EQ(readfirstline(files, "EMPTY.CFG"), std::nullopt);
  EXPECT_EQ(readfirstnum(files, "EMPTY.CFG"), std::nullopt);
  tmp.put("NUM.CFG", "12.5,3\r\n");
  EXPECT_EQ(readfirstnum(files, "NUM.CFG"), 12.5f);

  // MAPS.CCC: a missing file and a short one are reported, a negative count is an empty table,
  // and a table never holds more than 200 squares.
  auto load = [&](const std::string& contents) {
    tmp.put("MAPS.CCC", contents);
    return loadccc(geo, files).has_value();
  };
  EXPECT_TRUE(loadccc(geo, files).has_value());
  std::string big = "250\r\n";
  for (int i = 0; i < 250; ++i) big += "\"Q" + std::to_string(i) + "\"," + std::to_string(i) + ",1\r\n";
  EXPECT_TRUE(load(big));
  EXPECT_EQ(std::tuple(geo.ccccount, geo.ccccode[200], geo.cccx[200]), std::tuple(200, "Q199", 19900.0f));
  EXPECT_TRUE(load("3\r\nSV,0,0\r\nTQ,5,1\r\n"));
  EXPECT_EQ(std::tuple(geo.ccccount, geo.ccccode[2], geo.cccy[2]), std::tuple(2, "TQ", 100.0f));
  EXPECT_FALSE(load("-3\r\n"));
  EXPECT_EQ(geo.ccccount, 0);
}

TEST_F(Helpers, DayNumbersAndElapsedSeconds) {
  EXPECT_EQ(daynumber("010300") - daynumber("280200"), 2.0f) << "2000 was a leap year";
  // Two-digit years: 70 is 1970, 69 is 2069.
  EXPECT_EQ(daynumber("010170"), 0.0f);
  // Later dates always give larger numbers, across month and year ends.
  float last = -1;
  for (int y : {70, 71, 99, 0, 1, 20, 69})
    for (int m = 1; m <= 12; ++m)
      for (int d : {1, 15, 28}) {
        char t[8];
        std::snprintf(t, sizeof t, "%02d%02d%02d", d, m, y);
        EXPECT_GT(daynumber(t), last) << t;
        last = daynumber(t);
      }
  EXPECT_FLOAT_EQ(elapsed(0.5f, 86399.5f), 1.0f) << "midnight has passed";
  EXPECT_FLOAT_EQ(elapsed(0.5f, 0.5f), 0.001f) << "never below a thousandth";
  EXPECT_FLOAT_EQ(elapsed(3600, 3590), 10.0f);
}

TEST_F(Helpers, PropercaseAndFlipchars) {
  const std::pair<std::string, std::string> cases[] = {
      {"JOHN o'GROATS-by the SEA", "John O'groats-By The Sea"},
      {" abc", " abc"},  // the second character is never raised
      {"\xC9TAPLES", "\xC9taples"},  // Latin-1 letters
  };
  for (auto [in, want] : cases) {
    propercase(in);
    EXPECT_EQ(in, want);
  }
  // flipchars turns code c into 250 - c, and leaves a text with a higher code alone.
  std::string all, bad = "AB\xFB";
  for (int c = 0; c <= 250; ++c) all += static_cast<char>(c);
  std::string t = all;
  EXPECT_TRUE(flipchars(t));
  EXPECT_EQ(t, std::string(all.rbegin(), all.rend()));
  EXPECT_FALSE(flipchars(bad));
  EXPECT_EQ(bad, "AB\xFB");
}

}  // namespace zarn
