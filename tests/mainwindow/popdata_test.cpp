// The population-centre file $LPOP.PCD: positions and area names, whole and damaged.
#include <cstdint>

#include "mainwindow/maintest.h"
#include "mainwindow/popdata.h"
#include "mainwindow/startwin.h"

namespace zarn::test {
namespace {

void le16(std::string& b, int v) {
  const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
  b += static_cast<char>(u & 0xFF);
  b += static_cast<char>(u >> 8);
}

// An area name as the file stores it: substituted, blank-filled to 32.
std::string area(std::string name) {
  name.resize(32, ' ');
  for (char& c : name) c = static_cast<char>(250 - static_cast<unsigned char>(c));
  return name;
}

// A file of the given centres (east, north in file units) and areas.
std::string pcd(const std::vector<std::pair<int, int>>& centres, const std::vector<std::string>& areas) {
  std::string b;
  le16(b, static_cast<int>(centres.size()));
  le16(b, static_cast<int>(areas.size()));
  for (auto [e, n] : centres) {
    le16(b, e);
    le16(b, n);
  }
  b += std::string(4 * centres.size(), '\x01');  // name offsets
  b += std::string(2704, '\x02');                // letter table
  for (const auto& a : areas) b += area(a);
  b += "names";
  return b;
}

using PopData = MainTest;

TEST_F(PopData, NoFileMeansNoCentres) {
  EXPECT_TRUE(readpopcd(*app));
  EXPECT_EQ(app->main.pcdn1, 0);
  EXPECT_EQ(app->main.pcdn2, 0);
  EXPECT_FALSE(app->win.loaded<StartForm>()) << "no progress line drawn";
}

TEST_F(PopData, PositionsAndAreaNames) {
  put("$LPOP.PCD", pcd({{28000, 26000}, {-40, 20}},
                       {"LINCOLN", "LINCOLN CITY", "ST. ALBANS-ON-SEA", "", "oxford", "BEDFORDSHIRE"}));
  ASSERT_TRUE(readpopcd(*app));
  const MainState& m = app->main;
  ASSERT_EQ(m.pcdn1, 2);
  EXPECT_FLOAT_EQ(m.pcdtab1[1], 700);
  EXPECT_FLOAT_EQ(m.pcdtab2[1], 1300);
  EXPECT_FLOAT_EQ(m.pcdtab1[2], -1);
  EXPECT_FLOAT_EQ(m.pcdtab2[2], 1);
  ASSERT_EQ(m.pcdn2, 6);
  EXPECT_EQ(m.pcdtab3[1], "Lincolnshire");
  EXPECT_EQ(m.pcdtab3[2], "Lincoln City") << "only the exact stem is joined";
  EXPECT_EQ(m.pcdtab3[3], "St. Albans-On-Sea");
  EXPECT_EQ(m.pcdtab3[4], "") << "a blank field";
  EXPECT_EQ(m.pcdtab3[5], "Oxfordshire") << "compared upper-cased";
  EXPECT_EQ(m.pcdtab3[6], "Bedfordshire");
  EXPECT_EQ(app->win.get<StartForm>().startline.x2, 640) << "the progress line is left full";
}

TEST_F(PopData, NoCentresPutsTheNamesAfterTheTable) {
  put("$LPOP.PCD", pcd({}, {"CHESHIRE"}));
  ASSERT_TRUE(readpopcd(*app));
  EXPECT_EQ(app->main.pcdn1, 0);
  ASSERT_EQ(app->main.pcdn2, 1);
  EXPECT_EQ(app->main.pcdtab3[1], "Cheshire");
}

TEST_F(PopData, ADamagedFileKeepsWhatItHolds) {
  struct Case {
    const char* guards;
    std::string bytes;
    int n1, n2;
  };
  const std::string whole = pcd({{400, 200}, {800, 400}, {1200, 600}}, {"KENT", "ESSEX"});
  std::string bigcounts = whole;
  bigcounts[0] = '\x10';  // 16 centres: their records fit, the names would lie past the end
  std::string negative = whole;
  negative[1] = '\x80';
  const std::vector<Case> cases = {
      {"cut inside the area names", whole.substr(0, whole.size() - 5 - 20), 3, 1},
      {"cut inside the positions", whole.substr(0, 4 + 4 * 2 + 1), 2, 0},
      {"counts larger than the file leave no room for the names", bigcounts, 16, 0},
      {"too short for its counts", std::string("\x01", 1), 0, 0},
      {"a negative count", negative, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.guards);
    put("$LPOP.PCD", c.bytes);
    std::string why;
    EXPECT_FALSE(readpopcd(*app, &why));
    EXPECT_NE(why.find("$LPOP.PCD"), std::string::npos) << why;
    EXPECT_EQ(app->main.pcdn1, c.n1);
    EXPECT_EQ(app->main.pcdn2, c.n2);
    EXPECT_EQ(app->main.pcdtab1.size(), static_cast<std::size_t>(app->main.pcdn1) + 1);
    EXPECT_EQ(app->main.pcdtab3.size(), static_cast<std::size_t>(app->main.pcdn2) + 1);
  }
  put("$LPOP.PCD", whole.substr(0, whole.size() - 5 - 20));
  readpopcd(*app);
  EXPECT_EQ(app->main.pcdtab3[1], "Kent");
}

}  // namespace
}  // namespace zarn::test
