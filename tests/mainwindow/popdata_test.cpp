// The population-centre file $LPOP.PCD: positions and area names, whole and damaged.
#include "mainwindow/popdata.h"
#include "mainwindow/startwin.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

// A file of the given centres (east, north in file units) and areas (stored substituted,
// blank-filled to 32).
std::string pcd(const std::vector<std::pair<int, int>>& centres, const Items& areas) {
  std::string b;
  const auto le16 = [&b](int v) {
    const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
    b += static_cast<char>(u & 0xFF);
    b += static_cast<char>(u >> 8);
  };
  le16(static_cast<int>(centres.size()));
  le16(static_cast<int>(areas.size()));
  for (auto [e, n] : centres) {
    le16(e);
    le16(n);
  }
  b += std::string(4 * centres.size(), '\x01');  // name offsets
  b += std::string(2704, '\x02');                // letter table
  for (std::string a : areas) {
    a.resize(32, ' ');
    for (char& c : a) b += static_cast<char>(250 - static_cast<unsigned char>(c));
  }
  return b + "names";
}

using PopData = AppTest;

TEST_F(PopData, PositionsAndAreaNames) {
  EXPECT_TRUE(readpopcd(*app)) << "no file: no centres";
  EXPECT_EQ(app->main.pcdn1 + app->main.pcdn2, 0);
  EXPECT_FALSE(app->win.loaded<StartForm>()) << "no progress line drawn";

  put("$LPOP.PCD", pcd({{28000, 26000}, {-40, 20}},
                       {"LINCOLN", "LINCOLN CITY", "ST. ALBANS-ON-SEA", "", "oxford", "BEDFORDSHIRE"}));
  ASSERT_TRUE(readpopcd(*app));
  const MainState& m = app->main;
  ASSERT_EQ(m.pcdn1, 2);
  EXPECT_FLOAT_EQ(m.pcdtab1[1], 700);
  EXPECT_FLOAT_EQ(m.pcdtab2[1], 1300);
  EXPECT_FLOAT_EQ(m.pcdtab1[2], -1);
  EXPECT_EQ(Items(m.pcdtab3.begin() + 1, m.pcdtab3.end()),
            (Items{"Lincolnshire", "Lincoln City", "St. Albans-On-Sea", "", "Oxfordshire", "Bedfordshire"}))
      << "only the exact stem is joined, compared upper-cased";
  EXPECT_EQ(app->win.get<StartForm>().startline.x2, 640) << "the progress line is left full";

  put("$LPOP.PCD", pcd({}, {"CHESHIRE"}));
  ASSERT_TRUE(readpopcd(*app));
  EXPECT_EQ(m.pcdn1, 0);
  EXPECT_EQ(Items(m.pcdtab3.begin() + 1, m.pcdtab3.end()), Items{"Cheshire"}) << "the names follow the table";
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
