// Datatrak reports: both forms decoded; at real grid points, the table row, trip log and printer.
#include <cstdio>
#include <random>

#include "gpsinput/logs.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/datatrak.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

using R = DatatrakReport;

std::string textline(int unit, int hcode, int scode, long east, long north, char letter) {
  char s[40];  // 29 characters
  std::snprintf(s, sizeof s, "~%05d000%d%02d%06ld%06ld%c0000", unit, hcode, scode, east, north, letter);
  return s;
}
// A binary line written by the record's bit table, its 21 spare bits taken from `x`.
std::string binline(long hi, long lo, long h, long s, long e, long n, unsigned long x = 0) {
  return std::string("`") + char(lo >> 8) + char(lo) + char(x) + char((x >> 1 & 0x80) | h << 4 | s) +
         char(e >> 10) + char(e >> 2) + char((e & 3) << 6 | n >> 8) + char(n) + char(hi << 4 | (x >> 9 & 15)) +
         char(x >> 13) + "\r";
}

TEST(DatatrakRecords, BinaryRecordsDecodeToTheirFieldsWhateverTheSpareBitsAndTheEdges) {
  std::mt19937 rng(13);
  auto draw = [&](long n) { return long(rng() % std::uint32_t(n + 1)); };
  for (int k = 0; k < 20000; ++k) {
    const long hi = draw(15), lo = draw(65535), h = draw(7), s = draw(15), e = draw(datatrakeastmax),
               n = draw(datatraknorthmax);
    ASSERT_EQ(datatrakbin(binline(hi, lo, h, s, e, n, rng()) + std::string(k % 3, char(rng()))),
              (R{std::to_string(hi) + std::to_string(lo), int(h) * 45, int(s) * 5, e, n}));
  }
  const struct { const char* guards; std::optional<DatatrakReport> got, want; } cases[] = {
      {"code 9 unwrapped", datatraktext(textline(12345, 9, 15, 0, 999999, 'A')), R{"A12345", 405, 75, 0, 999999}},
      {"largest values", datatrakbin({"`\0\0\0\x7F\xFF\xFF\xFF\xFF\x0A\0", 11}), R{"00", 315, 75, 262143, 16383}},
      {"a text line cut at column 25", datatraktext(textline(1, 1, 1, 1, 1, 'A').substr(0, 25)), {}},
      {"a blank speed digit, a letter in the northing", datatraktext("~12345000210 000100000X00A0000"), {}},
      {"a stroke for the unit letter", datatraktext(textline(1, 1, 1, 1, 1, '/')), {}},
      {"anything in the unused columns; a speed code of 1 then a blank: 5",
       datatraktext("~12345x/ 31 123456654321A0000"), R{"A12345", 135, 5, 123456, 654321}},
      {"a speed code that does not read: 0", datatraktext("~123450003x1123456654321A0000"), R{"A12345", 135, 0, 123456, 654321}},
      {"a letter for the heading code", datatraktext("~12345000x01123456654321A0000"), {}},
      {"a binary record of nine bytes", datatrakbin("`123456789"), {}},
  };
  for (const auto& c : cases) EXPECT_TRUE(c.got == c.want) << c.guards;
}

// The OS test points TP01-03 (tests/data/osgb); the raw log stops only the text form's lines.
TEST_F(AppTest, DatatrakReportsAtOrdnanceSurveyTestPointsFillTheRowTheLogAndThePrinter) {
  const struct { double e, n; std::string at; } points[] = {  // the place logged: six figures, full reference
      {91492.146, 11318.804, "SV914113 SV 91492 11316"}, {170370.718, 11572.405, "SW703115 SW 70368 11572"},
      {250359.811, 62016.569, "SX503620 SX 50356 62016"}};
  for (int k = 0; k < 12; ++k) {
    const auto& p = points[k / 4];
    const int binary = k & 1, rawlog = k >> 1 & 1;
    make();
    squares({{"SV", 0, 0}, {"SW", 100, 0}, {"SX", 200, 0}});
    app->main.mvmode = app->gps.logall = app->gps.printon = 1;
    app->gps.rawlog = rawlog;
    newtrip(*app);
    const long e = long(p.e / 4), n = long(p.n / 4);
    const std::string line = binary ? binline(0, 42, 3, 7, e, n) : textline(42, 3, 7, e, n, 'T');
    applyreport(*app, binary ? mvdecodebin(app->veh, app->gps, app->geo, *app->sys.wav, line)
                             : mvdecode(app->veh, app->gps, app->geo, *app->sys.wav, line));
    const VehicleTable& v = app->veh;
    const auto i = std::size_t(v.mvcur);
    EXPECT_FIELDS(Fields()
                      .FIELD(v.mvhdg[i], 135)
                      .FIELD(v.mvspd[i], 35)
                      .FIELD(v.mvstat[i], "   ")
                      .FIELD(v.mvhhmm[i], "1200")
                      .FIELD(v.mvtimer[i], app->timer())
                      .FIELD(v.mvloc[i], p.at.substr(0, 8))
                      .FIELD(v.rptx * 250, e)
                      .FIELD(v.rpty * 250, n))
        << p.at << " " << binary;
    // The row: no report time under T-Tx; the receipt time, speed and heading under theirs.
    const MvForm& f = app->win.get<MvForm>();
    const auto under = [&](const char* column, std::size_t n) {
      return f.mvdata[static_cast<int>(i) - 1].caption.substr(f.Label2.caption.find(column), n);
    };
    EXPECT_EQ(under("T-Tx", 4) + "|" + under("T-Rx", 4) + "|" + under("Spd", 3) + "|" + under("Hdg", 3),
              "    |1200| 35|135") << p.at << " " << binary;
    const std::string raw = line.substr(0, binary ? 11 : 29);
    const std::string log = "LOG: 12:00:00 10-26-2020 from " + text::rtrim(v.mvlabel[i]) + " at " + p.at;
    EXPECT_EQ(get("NEWTRIP.MVD"), rawlog && !binary ? "" : raw + "\r\n" + log + "\r\n") << binary << rawlog;
    EXPECT_EQ(printer->lines, (Items{"", binary ? line : raw + " ~", binary ? log + " `" : log}));
  }
}

// A unit the table does not take (new units refused): neither entered nor plotted, but its
// report is logged under the identity it reported.
TEST_F(AppTest, ARefusedUnitsDatatrakReportIsLoggedUnderItsIdentity) {
  for (const int binary : {0, 1}) {
    make();
    squares({{"SV", 0, 0}});
    app->main.mvmode = 1;
    app->veh.nonewmv = true;
    newtrip(*app);
    const std::string line = binary ? binline(0, 42, 3, 7, 22873, 2829) : textline(42, 3, 7, 22873, 2829, 'T');
    applyreport(*app, binary ? mvdecodebin(app->veh, app->gps, app->geo, *app->sys.wav, line)
                             : mvdecode(app->veh, app->gps, app->geo, *app->sys.wav, line));
    app->gps.triplog.reset();
    const std::string unit = binary ? "042" : "T00042";
    EXPECT_EQ(std::tuple(get("NEWTRIP.MVD"), app->veh.mvcur, app->veh.mvtotal, app->veh.mvdecoded),
              std::tuple("LOG: 12:00:00 10-26-2020 from " + unit + " at SV914113 SV 91492 11316\r\n", 0, 0, 0L))
        << binary;
  }
}

}  // namespace
}  // namespace zarn::test
