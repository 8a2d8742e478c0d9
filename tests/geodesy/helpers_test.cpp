#include <gtest/gtest.h>

#include <string>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/helpers_testdata.h"
#include "platform/fakes.h"

namespace zarn {
namespace {

using testing::GridApp;
using testing::TempDir;

TEST(Helpers, NextfieldWalksCommaAndStarSeparatedFields) {
  struct Step {
    std::string field;
    long pos;
  };
  struct Case {
    const char* name;
    std::string sentence;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      // The checksum after "*" is never returned: with no separator left the field is empty
      // and the position starts again at 1.
      {"checksum never returned", "A,B*7F", {{"A", 3}, {"B", 5}, {"", 1}}},
      {"empty fields keep their place", ",,X,", {{"", 2}, {"", 3}, {"X", 5}, {"", 1}}},
      {"last field without separator is lost", "A,B", {{"A", 3}, {"", 1}}},
      {"star before comma ends the field", "GGA*12,", {{"GGA", 5}, {"12", 8}, {"", 1}}},
  };
  for (const auto& c : cases) {
    long pos = 1;
    for (const auto& s : c.steps) {
      EXPECT_EQ(nextfield(c.sentence, pos), s.field) << c.name;
      EXPECT_EQ(pos, s.pos) << c.name;
    }
  }
  long pos = 0;  // a position before the text starts at the first character
  EXPECT_EQ(nextfield("$GP,1", pos), "$GP");
}

TEST(Helpers, FirstValueReadsOfConfigurationFiles) {
  TempDir d;
  platform::Files files(d.path());
  d.write("LINE.CFG", "first line, with comma\r\nsecond\r\n");
  d.write("NUM.CFG", "12.5,3\r\n");
  d.write("TEXT.CFG", "abc\r\n");
  d.write("EMPTY.CFG", "");
  d.write("BLANKLINE.CFG", "\r\n");

  EXPECT_EQ(fileexists(files, "LINE.CFG"), 1);
  EXPECT_EQ(fileexists(files, "line.cfg"), 1) << "names are matched without regard to case";
  EXPECT_EQ(fileexists(files, "*.CFG"), 1) << "a pattern counts as found";
  EXPECT_EQ(fileexists(files, "NONE.CFG"), 0);

  EXPECT_EQ(readfirstline(files, "LINE.CFG"), "first line, with comma");
  EXPECT_EQ(readfirstline(files, "BLANKLINE.CFG"), "");
  EXPECT_EQ(readfirstline(files, "NONE.CFG"), std::nullopt);
  // An empty file has no first line: callers keep their default instead of taking "".
  EXPECT_EQ(readfirstline(files, "EMPTY.CFG"), std::nullopt);

  EXPECT_EQ(readfirstnum(files, "NUM.CFG"), 12.5f);
  EXPECT_EQ(readfirstnum(files, "TEXT.CFG"), 0.0f);
  EXPECT_EQ(readfirstnum(files, "NONE.CFG"), std::nullopt);
  EXPECT_EQ(readfirstnum(files, "EMPTY.CFG"), std::nullopt);
}

TEST(Helpers, LoadcccFillsTheSquareTable) {
  GridApp g;
  ASSERT_TRUE(g.loaded);
  const GeoState& geo = g.app.geo;
  ASSERT_EQ(geo.ccccount, 91);
  EXPECT_EQ(geo.ccccode[1], "SV");
  EXPECT_EQ(geo.cccx[1], 0.0f);
  EXPECT_EQ(geo.cccy[1], 0.0f);
  // TQ: 500 km east, 100 km north.
  int tq = 0;
  for (int i = 1; i <= geo.ccccount; ++i)
    if (geo.ccccode[i] == "TQ") tq = i;
  ASSERT_GT(tq, 0);
  EXPECT_EQ(geo.cccx[tq], 500.0f);
  EXPECT_EQ(geo.cccy[tq], 100.0f);
  EXPECT_EQ(testing::ukletters(4, 12), "HP");
  EXPECT_EQ(testing::ukletters(2, 9), "NC");
}

TEST(Helpers, LoadcccFaultsNeverOverflowTheTable) {
  TempDir d;
  App app;
  app.files.setworkdir(d.path());

  EXPECT_FALSE(loadccc(app)) << "missing file";
  EXPECT_EQ(app.geo.ccccount, 0);

  d.write("MAPS.CCC", "0\r\n");
  EXPECT_TRUE(loadccc(app));
  EXPECT_EQ(app.geo.ccccount, 0);

  d.write("MAPS.CCC", "-3\r\n");
  EXPECT_TRUE(loadccc(app));
  EXPECT_EQ(app.geo.ccccount, 0) << "a negative count is an empty table";

  // More squares than the table holds: the first 200 are kept, the rest reported.
  std::string big = "250\r\n";
  for (int i = 0; i < 250; ++i) big += "\"Q" + std::to_string(i) + "\"," + std::to_string(i) + ",1\r\n";
  d.write("MAPS.CCC", big);
  EXPECT_FALSE(loadccc(app));
  EXPECT_EQ(app.geo.ccccount, GeoState::cccmax);
  EXPECT_EQ(app.geo.ccccode[200], "Q199");
  EXPECT_EQ(app.geo.cccx[200], 19900.0f);

  // A file shorter than its count keeps what it holds.
  d.write("MAPS.CCC", "3\r\nSV,0,0\r\nTQ,5,1\r\n");
  EXPECT_FALSE(loadccc(app));
  EXPECT_EQ(app.geo.ccccount, 2);
  EXPECT_EQ(app.geo.ccccode[2], "TQ");
}

TEST(Helpers, DaynumberCountsDaysAcrossYearEnds) {
  // The last day of 1999 comes before the first of 2000.
  EXPECT_EQ(daynumber("010100") - daynumber("311299"), 1.0f);
  EXPECT_EQ(daynumber("010299") - daynumber("310199"), 1.0f);
  EXPECT_EQ(daynumber("010300") - daynumber("280200"), 2.0f) << "2000 was a leap year";
  EXPECT_EQ(daynumber("010399") - daynumber("280299"), 1.0f);
  // Two-digit years: 70 is 1970, 69 is 2069.
  EXPECT_EQ(daynumber("010170"), 0.0f);
  EXPECT_EQ(daynumber("311269") - daynumber("010170"), 36524.0f);
  EXPECT_GT(daynumber("261020"), daynumber("251020"));
  // Later dates always give larger numbers, whatever the month lengths.
  float last = daynumber("010170");
  for (int y : {70, 71, 99, 0, 1, 20, 69})
    for (int m = 1; m <= 12; ++m) {
      for (int d : {1, 15, 28}) {
        char t[8];
        std::snprintf(t, sizeof t, "%02d%02d%02d", d, m, y);
        const float n = daynumber(t);
        if (!(y == 70 && m == 1 && d == 1)) {
          EXPECT_GT(n, last) << t;
        }
        last = n;
      }
    }
}

TEST(Helpers, ElapsedWrapsAtMidnight) {
  Services s;
  auto clock = std::make_unique<platform::FakeClock>();
  platform::FakeClock* c = clock.get();
  s.clock = std::move(clock);
  App app(std::move(s));

  c->settimer(0.5);
  EXPECT_FLOAT_EQ(elapsed(app, 86399.5f), 1.0f);
  EXPECT_FLOAT_EQ(elapsed(app, 0.5f), 0.001f) << "never below a thousandth";
  c->settimer(3600);
  EXPECT_FLOAT_EQ(elapsed(app, 3590), 10.0f);
  EXPECT_FLOAT_EQ(elapsed(app, 0), 3600.0f);
}

TEST(Helpers, PropercaseRaisesWordStarts) {
  const std::pair<std::string, std::string> cases[] = {
      {"JOHN o'GROATS-by the SEA", "John O'groats-By The Sea"},
      {" abc", " abc"},  // the second character is never raised
      {"", ""},
      {"a", "A"},
      {"ST. IVES", "St. Ives"},
      {"\xC9TAPLES", "\xC9taples"},  // Latin-1 letters
  };
  for (auto [in, want] : cases) {
    std::string t = in;
    propercase(t);
    EXPECT_EQ(t, want) << in;
  }
}

TEST(Helpers, FlipcharsIsItsOwnInverseAndRefusesCodesAbove250) {
  std::string all;
  for (int c = 0; c <= 250; ++c) all += static_cast<char>(c);
  std::string t = all;
  ASSERT_TRUE(flipchars(t));
  EXPECT_EQ(static_cast<unsigned char>(t[0]), 250);
  EXPECT_EQ(t[250], '\0');
  ASSERT_TRUE(flipchars(t));
  EXPECT_EQ(t, all);

  std::string bad = "AB\xFB";
  EXPECT_FALSE(flipchars(bad));
  EXPECT_EQ(bad, "AB\xFB") << "a refused text is left as it was";
}

}  // namespace
}  // namespace zarn
