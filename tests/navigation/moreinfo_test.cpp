// The more-information look-up: the table ZARN.MOR, then files named after the place.
#include "navigation/moreinfo.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

TEST_F(AppTest, MoreInformationByNameGridReferenceAndSearchTag) {
  const struct { const char* guards; std::string qual, grid, name, tag, found; } cases[] = {
      {"a name matches whatever its case", "", "", "tower", "", "TOWER.MOR|TOWER.RGI"},
      {"another qualifier does not; empty keys match nothing", "Q2", "SU 12345 67890", "", "", "|"},
      {"", "", "", "", "", "|"}, {"nothing after END", "", "SK", "After", "", "|"},
      {"a record over three lines, quotes and null", "", "", "CHURCH", "", "CH.MOR|"},
      {"six-figure files after a guide-only record", "", "SJ 11111 22222", "", "", "SJ111222.MOR|SJ111222.RGI"},
      {"the last search's tag file", "", "SK 1", "nowhere", "LPOP", "$LPOP.MOR|"}};
  put("ZARN.MOR", "\"Q1\",\"SU 12345 67890\",Tower,TOWER.MOR,TOWER.RGI\r\nX,SJ 11111 22222,Null,NULL,ONLY.RGI\r\n"
                  ",NULL,NULL,EMPTY.MOR,NULL\r\nQ3,\"SJ 1, 2\"\r\n  Church\r\nCH.MOR,null\r\nEND\r\nA,SK,After,A,x");
  for (const char* f : {"SJ111222.RGI", "SJ111222.MOR", "$LPOP.MOR"}) put(f, "x");
  for (const auto& c : cases) {
    std::tie(app->nav.morefile, app->nav.foundfile) = std::tuple("-", c.tag);
    std::string info = "old", guide = "old";
    moreinfo(app->nav, app->files, c.qual, c.grid, c.name, info, guide);
    EXPECT_EQ(info + "|" + guide, c.found) << c.guards;
    EXPECT_EQ(app->nav.morefile, info.empty() ? "-" : c.grid) << c.guards;
  }
}

TEST_F(AppTest, NamesInTheTableStayInTheWorkingFolder) {
  put("ZARN.MOR", "A,,Out,NULL,../../outside.rgi\r\nB,,Abs,/etc/passwd,NULL\r\nC,,In,SUB\\IN.MOR,SUB\\IN.RGI\r\n");
  for (const auto& [name, found, why] :
       {std::tuple{"Out", "|", "ZARN.MOR: ../../outside.rgi is outside the working folder"},
        {"Abs", "|", "ZARN.MOR: /etc/passwd is outside the working folder"}, {"In", "SUB\\IN.MOR|SUB\\IN.RGI", ""}}) {
    std::string info, guide, told = "old";
    moreinfo(app->nav, app->files, "", "", name, info, guide, &told);
    EXPECT_EQ(std::tuple(info + "|" + guide, told), std::tuple(found, why)) << name;
  }
}

}  // namespace
}  // namespace zarn::test
