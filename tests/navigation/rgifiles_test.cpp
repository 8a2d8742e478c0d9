// Guidance files and their index: what is loaded near the car, the dump, the plot, the typed words.
#include <cstdio>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "navigation/rgifiles.h"
#include "navigation/rgishow.h"
#include "support/app_fixture.h"
#include "support/builders.h"

namespace zarn::test {
namespace {

const std::string A = "SJ 12500 67890";

std::string rec(const std::string& pos, const std::string& wav = "RGI$S.WAV", const std::string& radius = "100") {
  return pos + "," + radius + ",90,30," + wav + ",SIGN\r\ngo on\r\n";
}

class RgiTest : public AppTest {
 protected:
  void ready() override { squares({{"SJ", 300, 300}}); }
  // An index entry; its latitude and longitude from the program's own conversions.
  std::string cell(const std::string& pos, std::size_t at) const {
    float x = 0, y = 0, ll[2] = {};
    const auto p = static_cast<std::int32_t>(at);
    parsepos(app->geo, pos, x, y), osgbtoll(app->geo, x, y, ll[0], ll[1]);
    return std::string(reinterpret_cast<const char*>(ll), 8) + std::string(reinterpret_cast<const char*>(&p), 4);
  }
  // The car at a place takes a guidance file into use, with the index given or none; what RGI.TXT then holds.
  std::string load(const std::string& file, const std::string& at, const std::string& index = "") {
    const std::string rgb = file.substr(0, file.size() - 4) + ".RGB";
    index.empty() ? void(std::filesystem::remove(dir / rgb)) : put(rgb, index);
    ownfixat(*app, at);
    app->nav.rgifile = file;
    return readrgb(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace), savergi(app->nav, app->files), get("RGI.TXT");
  }
};

TEST_F(RgiTest, IndexAndPlainLoadsAlongTheDriveGiveTheSameStore) {
  // Every 20th fix of the drive becomes a record, its position in the compact form.
  std::string rgi, rgb;
  std::vector<std::string> at, drive = platform::splitlines(get(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea"));
  char la[5], lah[3], lo[6], loh[3], ns = 0, ew = 0;
  for (int k = 0; const std::string& line : drive)
    if (std::sscanf(line.c_str(), "$GPRMC,%*[^,],A,%4[0-9].%2[0-9]%*[0-9],%c,%5[0-9].%2[0-9]%*[0-9],%c", la, lah,
                    &ns, lo, loh, &ew) == 6 && k++ % 20 == 0) {
      at.push_back(std::string(la) + lah + ns + lo + loh + ew);
      rgb += cell(at.back(), rgi.size() + 1);
      rgi += rec(at.back(), "RGI$TL.WAV", std::to_string(k));
    }
  put("DRIVE.RGI", rgi + "END\r\n");
  for (std::size_t i = 0; i < at.size(); i += 5) {
    const std::string indexed = load("DRIVE.RGI", at[i], rgb);
    EXPECT_EQ(indexed, load("DRIVE.RGI", at[i])) << at[i];
    EXPECT_GT(app->nav.rgicount, 0);
  }
}

TEST_F(RgiTest, IndexesOfAnySizeOrStaleGiveWholeEntriesAndAtMost400Records) {
  std::string rgi, rgb;
  for (int i = 0; i < 450; ++i) rgb += cell(A, rgi.size() + 1), rgi += rec(A);
  put("S.RGI", rgi);
  // After one good entry: past the end, negative, before the first byte, inside a position, at a message.
  rgb = cell(A, 1) + cell(A, 99999) + cell(A, -7) + cell(A, 0) + cell(A, 4) + cell(A, rgi.find("go on") + 1) + rgb;
  const struct { std::size_t bytes, entries; int count, cells; } cases[] = {{18, 1, 1, 1},   {20, 1, 1, 1},
      {30, 2, 1, 2}, {72, 6, 1, 6}, {rgb.size(), 456, 400, 456}, {400000, 32500, 400, 32500}, {0, 0, 400, 400}};
  for (const auto& c : cases) {
    load("S.RGI", A, (rgb + std::string(c.bytes, '\0')).substr(0, c.bytes));  // 0 bytes: no index
    const NavState& n = app->nav;
    EXPECT_EQ(std::tuple(n.rgicell.size(), n.rgicount, n.rgicells), std::tuple(c.entries, c.count, c.cells)) << c.bytes;
  }
}

TEST_F(RgiTest, StoreHoldsWhatIsWithinHalfAKilometreAndReloadsAfterAThird) {
  put("B.RGI", rec("SJ 13010 67890") + rec(A) + rec("SJ 13000 67890", "RGI$TR.WAV", "12.5") + rec("x") +
                   "SJ 12500 67890,1,2,3,W,S\r\n");  // cut short by the end of the file
  EXPECT_EQ(load("B.RGI", A), " 2 \r\nSJ 12500 678901009030 RGI$S.WAV SIGN\r\n    go on\r\n"
                              "SJ 13000 6789012.59030 RGI$TR.WAV SIGN\r\n    go on\r\n");
  const ui::Label& trace = app->win.zarn.rgitrace;
  EXPECT_EQ(std::tuple(trace.caption, trace.backcolor), std::tuple("2 RGI loaded in0 secs from4 in B.RGI", ui::green));
  EXPECT_EQ(load("", A), " 0 \r\n");
  for (const float move : {0.29f, 0.3f}) {
    ownfixat(*app, 400, move);
    std::tie(app->nav.rgiloadx, app->nav.rgiloady) = std::pair(400.f, 0.f);
    loadrgi(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
    EXPECT_EQ(app->nav.rgiloady, move == 0.3f ? move : 0) << move;
  }
}

// A file without an index is read once per choice of guidance file, not at every load along
// the way: the loads take the records near the car from that one reading, until it changes.
TEST_F(RgiTest, AFileWithoutAnIndexIsReadOncePerChoice) {
  const std::string far = "SJ 12500 68790";  // 0.9 km north of A
  put("C.RGI", rec(A) + rec(far));
  load("C.RGI", A);
  EXPECT_EQ(app->nav.rgicount, 1);
  // Removed since, it gives nothing at the next load, which replaces the whole store.
  std::filesystem::remove(dir / "C.RGI");
  ownfixat(*app, far);
  loadrgi(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
  EXPECT_EQ(std::tuple(app->nav.rgicount, app->nav.rgicells), std::tuple(0, 0)) << "gone, nothing guides";
  // Records added to the file on the way are loaded by the next load.
  put("C.RGI", rec(A) + rec(far) + rec("SJ 12500 68890"));
  app->nav.rgiloadx = app->gps.ownx + 2;
  loadrgi(app->nav, app->voice, app->geo, app->gps, app->win.zarn.rgitrace);
  EXPECT_EQ(std::tuple(app->nav.rgicount, app->nav.rgicells), std::tuple(2, 3)) << "changed, it is read again";
  std::filesystem::remove(dir / "C.RGI");
  EXPECT_EQ(load("C.RGI", far), " 0 \r\n") << "chosen again, it is read again";
}

TEST_F(RgiTest, PlotMarksTurnsInsideTheMapAndTypedWordsAnyCase) {
  put("P.RGI", rec(A) + rec("SJ 12600 67890", "rgi$tr.wav") + rec("SJ 12500 67990", "RGI$TRT.WAV") +
                   rec("SJ 12400 67890", "RGI$TR$TL.WAV") + rec("SJ 12200 67890") + rec("SJ 13300 67890"));
  load("P.RGI", A);
  float x = 0, y = 0;
  parsepos(app->geo, "SJ 12200 67000", x, y);
  gridview(*app, x, y, 314, 368.5f);
  ASSERT_TRUE(rgiword(*app, "rgi+") && app->win.zarn.rgitrace.visible);
  EXPECT_EQ(app->speech.msgtext, "5 of 6 in P.RGI");
  // Circles (colour/radius) round the loaded ones, and a dot for each of the file; none on the map's west edge.
  std::string plot;
  for (const ui::DrawOp& op : app->win.zarn.surface.ops())
    plot += op.type == ui::DrawOp::Point    ? "."
            : op.type == ui::DrawOp::Circle ? std::to_string(op.colour) + "/" + std::to_string(int(op.x2)) + " " : "";
  EXPECT_EQ(plot, "65535/3 255/7 255/7 65280/5 .....");

  std::tie(app->speech.talkon, app->nav.rgifile) = std::tuple(0, " ");
  EXPECT_TRUE(rgiword(*app, "Rgi-") && !app->win.zarn.rgitrace.visible);
  EXPECT_TRUE(rgiword(*app, "rgi+") && rgiword(*app, "rgi/") && !rgiword(*app, "rgi"));
  EXPECT_EQ(app->speech.msgtext, "No linkage with RGI file");
  EXPECT_EQ(std::tuple(wav->beeps, app->speech.talkon, get("RGI.TXT").substr(0, 3)), std::tuple(1, 0, " 5 "));
}

}  // namespace
}  // namespace zarn::test
