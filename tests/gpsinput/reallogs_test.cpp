// Real receiver logs through a real pseudo-terminal into the serial poll and the parser, the
// own fix compared with gpsd's own decoding, and a recorded drive replayed at 4800 baud.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <utility>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "mainwindow/takefix.h"
#include "gpsinput/nmea.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/serialpoll.h"
#include "gpstest.h"
#include "platform/files.h"
#include "platform/serial.h"
#include "support/pty.h"
#include "support/runtool.h"

namespace zarn::test {
namespace {

namespace fs = std::filesystem;

// The real logs, by absolute path (which get() reads where they are).
std::vector<fs::path> logfiles() {
  std::vector<fs::path> v;
  for (const auto& e : fs::directory_iterator(ZARN_TEST_DATA "/nmea/gpsd"))
    if (e.path().extension() == ".log") v.push_back(e.path());
  std::sort(v.begin(), v.end());
  v.push_back(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea");
  return v;
}

// The test's own framing of a byte stream: a sentence runs from a "$" to the next CR or LF;
// another "$" starts afresh, and a "%" or "<" (lines of other kinds) ends it unused. It is good
// when it fits the 200-character receive buffer with its line end and its checksum holds: the
// exclusive-or of the characters between "$" and the first "*" against the two hex digits
// after it (either case; what follows them is not looked at), or one digit that ends it.
bool checksumholds(const std::string& s) {
  const auto star = s.find('*');
  if (star == std::string::npos || s.size() > 199) return false;
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(s[i]);
  auto ishex = [&](std::size_t i) { return i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])); };
  const std::size_t digits = !ishex(star + 1) ? 0 : ishex(star + 2) ? 2 : star + 2 == s.size() ? 1 : 0;
  return digits > 0 && std::stoul(s.substr(star + 1, digits), nullptr, 16) == sum;
}
struct Sentences { std::vector<std::string> good; int bad = 0; };
Sentences sentences(const std::string& data) {
  Sentences out;
  std::optional<std::string> cur;
  for (char c : data) {
    const bool end = c == '\r' || c == '\n';
    if (c == '$') {
      cur = "$";
    } else if (cur && end) {
      if (checksumholds(*cur)) out.good.push_back(*cur);
      else ++out.bad;
      cur.reset();
    } else if (cur) {
      *cur += c;
      if (c == '%' || c == '<') cur.reset();
    }
  }
  return out;
}

// The fields of a sentence before its checksum.
std::vector<std::string> fields(const std::string& s) {
  std::vector<std::string> f(1);
  for (char c : s.substr(0, s.find('*'))) {
    if (c == ',') f.emplace_back();
    else f.back() += c;
  }
  return f;
}
double num(const std::string& s) { return std::atof(s.c_str()); }

// The application's serial line is the slave end of a pseudo-terminal.
class RealLogs : public GpsTest {
 protected:
  void SetUp() override {
    GpsTest::SetUp();
    auto port = std::make_unique<platform::TermiosSerial>();
    ASSERT_TRUE(port->open(pty.path, "4800,N,8,1")) << port->lasterror();
    make(std::move(port));
  }
  int waiting() { return app->sys.serial->inbuffercount(); }
  // Writes bytes into the line and waits until they have arrived.
  void write(std::string_view bytes) {
    ASSERT_GE(pty.feed(bytes, *app->sys.serial), static_cast<int>(bytes.size())) << "the line stopped delivering";
  }
  testing::Pty pty;
};

TEST_F(RealLogs, EveryGoodSentenceAcceptedEveryBadOneRejected) {
  std::mt19937 rnd(20201026);
  int files = 0, good = 0, bad = 0;
  for (const auto& f : logfiles()) {
    SCOPED_TRACE(f.filename().string());
    std::string data = get(f.string());
    if (!data.ends_with('\n') && !data.ends_with('\r')) data += "\r\n";  // a last line without its end
    const Sentences expect = sentences(data);
    app->gps.triplog = platform::OutputFile::open(app->files, "ALL.NME", platform::OutputFile::Mode::Log);
    app->gps.logopen = 1;
    // Random chunks, as a receiver's bursts arrive, each polled until it has all been read.
    for (std::size_t p = 0, n = 0; p < data.size(); p += n) {
      n = std::min<std::size_t>(data.size() - p, 1 + rnd() % 1500);
      write(std::string_view(data).substr(p, n));
      for (int spin = 0; waiting() > 0; ++spin) {
        ASSERT_LT(spin, 1000) << "the poll stopped reading";
        readcomms(*app);
      }
    }
    app->gps.triplog.reset();
    // Every accepted sentence is in the trip log as received, once, ending in CR LF; the
    // direction-finder lines ("%") the parser logs are left out.
    std::vector<std::string> got;
    for (const auto& l : platform::splitlines(get("ALL.NME")))
      if (!l.empty() && !l.starts_with('%')) got.push_back(l);
    const auto [g, w] = std::mismatch(got.begin(), got.end(), expect.good.begin(), expect.good.end());
    EXPECT_TRUE(g == got.end() && w == expect.good.end())
        << got.size() << " logged, " << expect.good.size() << " expected; first difference: logged "
        << (g != got.end() ? *g : "(none)") << ", expected " << (w != expect.good.end() ? *w : "(none)");
    ++files;
    good += static_cast<int>(expect.good.size());
    bad += expect.bad;
    clearrxbuf(app->gps);
  }
  EXPECT_EQ(std::tuple(files, good > 25000, bad > 50), std::tuple(118, true, true)) << good << " " << bad;
}

// gpsd's decoding, by time of day (ms). gpsd merges the sentences of one time into one report
// and says nothing for the first sentence it sees: each type is decoded on its own, without a
// sentence of the same time as the one before (the drive's come twice with the same time). A
// ZDA first gives the date (reports then carry their time) and a void RMC ends the last cycle.
using Report = std::map<std::string, double>;

long mstime(const std::string& hhmmss) {
  if (hhmmss.size() < 6) return -1;
  return std::lround((num(hhmmss.substr(0, 2)) * 3600 + num(hhmmss.substr(2, 2)) * 60 + num(hhmmss.substr(4))) * 1000);
}
long sentencetime(const std::string& s) {
  const auto f = fields(s);
  const std::size_t at = s.compare(3, 3, "GLL") == 0 ? 5 : 1;
  return mstime(f.size() > at ? f[at] : "");
}

std::map<long, Report> gpsdfixes(const std::vector<std::string>& stream) {
  std::string in = nmea("$GPZDA,000000.00,01,01,2020,00,00");
  for (const auto& s : stream) in += s + "\r\n";
  std::stringstream json(zarn::testing::runtool({"gpsdecode", "-j"}, in + "$GPRMC,,V,,,,,,,,,,N*53\r\n").value_or(""));
  std::map<long, Report> out;
  for (std::string l; std::getline(json, l);) {
    const auto t = l.find("\"time\":\"");
    if (l.find("\"class\":\"TPV\"") == std::string::npos || t == std::string::npos) continue;
    const auto tp = l.find('T', t + 8);
    const long ms = mstime(l.substr(tp + 1, 2) + l.substr(tp + 4, 2) + l.substr(tp + 7, 6));
    if (out.count(ms)) {  // a time that comes again (a log that loops) is not compared
      out[ms].clear();
      continue;
    }
    Report& r = out[ms];
    for (const std::string k : {"lat", "lon", "speed", "track", "altMSL"})
      if (const auto p = l.find("\"" + k + "\":"); p != std::string::npos) r[k] = std::atof(&l[p + k.size() + 3]);
  }
  return out;
}

TEST_F(RealLogs, OwnFixAgreesWithGpsd) {
  if (!zarn::testing::havetool("gpsdecode")) GTEST_SKIP() << "gpsdecode (gpsd-clients) is not installed";
  // What the parser decided, by type ("GGA", "GGA none"); what was compared, or why not.
  std::map<std::string, int> outcomes, compared;
  for (const auto& f : logfiles()) {
    SCOPED_TRACE(f.filename().string());
    const std::vector<std::string> good = sentences(get(f.string())).good;
    for (const std::string type : {"RMC", "GGA", "GLL", "VTG"}) {
      std::vector<std::string> oftype, stream;
      for (const auto& s : good)
        if (s.size() >= 6 && s.compare(3, 3, type) == 0) oftype.push_back(s);
      for (const auto& s : oftype)
        if (stream.empty() || sentencetime(s) != sentencetime(stream.back())) stream.push_back(s);
      const std::map<long, Report> gpsd = type == "VTG" ? std::map<long, Report>{} : gpsdfixes(stream);
      app->gps = GpsState{};
      for (std::size_t i = 0; i < oftype.size(); ++i) {
        const std::string& s = oftype[i];
        std::string l = s + "\r";
        const OwnFix was = app->gps;
        const bool fix = applysentence(*app, l) == 0;
        const auto& g = app->gps;
        ++outcomes[type + (fix ? "" : " none")];
        EXPECT_TRUE(fix || (g.ownx == was.ownx && g.owny == was.owny)) << "the fix moved: " << s;
        // A position is taken whatever the RMC status and mode or the GGA quality, where gpsd
        // has none; a missing course or altitude keeps the last one.
        const auto it = gpsd.find(sentencetime(s));
        const bool same = i > 0 && sentencetime(s) == sentencetime(oftype[i - 1]);
        const bool gpsdfix = it != gpsd.end() && it->second.count("lat");
        EXPECT_TRUE(fix || !gpsdfix || same) << "gpsd finds a position: " << s;
        ++compared[type == "VTG" ? "not: no time" : same ? "not: same time" : it == gpsd.end() ? "not: no report"
                   : !fix ? "no position" : !gpsdfix ? "not: no fix to gpsd" : type];
        if (type == "VTG" || same || !fix || !gpsdfix) continue;
        const Report& r = it->second;
        const auto fl = fields(s);
        EXPECT_NEAR(g.ownlat, r.at("lat"), 1e-5) << s;
        EXPECT_NEAR(g.ownlon, r.at("lon"), 1e-5) << s;
        if (type == "RMC" && !fl[7].empty() && r.count("speed")) {
          const double kmh = r.at("speed") * 3.6;
          EXPECT_NEAR(g.ownspd, kmh, kmh * 0.002 + 0.0005 * 3.6 * 1.01) << s;
          ++compared["speed"];
        }
        if (type == "RMC" && !fl[8].empty() && r.count("track")) {
          const double d = std::fabs(g.owncourse - r.at("track"));
          EXPECT_LE(std::min(d, 360 - d), 1.0) << s;
          ++compared["course"];
        }
        if (type == "GGA" && fl.size() > 9 && !fl[9].empty() && r.count("altMSL")) {
          EXPECT_EQ(g.ownalt, static_cast<float>(r.at("altMSL"))) << s;
          ++compared["altitude"];
        }
      }
    }
  }
  std::ostringstream tally;
  for (const auto& [k, v] : compared) tally << k << ": " << v << "; ";
  RecordProperty("compared", tally.str());
  // The decisions, kept as a regression value; and enough of each compared.
  EXPECT_EQ(outcomes, (std::map<std::string, int>{{"GGA", 4175}, {"GGA none", 369}, {"GLL", 1532}, {"GLL none", 75},
                                                   {"RMC", 4248}, {"RMC none", 225}, {"VTG", 1878}}));
  EXPECT_GT(compared["RMC"] + compared["GGA"] + compared["GLL"], 7000) << tally.str();
  EXPECT_GT(compared["no position"], 50) << tally.str();
  for (const char* k : {"speed", "course", "altitude"}) EXPECT_GT(compared[k], 2000) << tally.str();
}

// The Cheshire drive written into the line at 4800 baud (480 characters a second, 120 a tick),
// the 250 ms tick's poll and GPS watch run on a clock moved a tick at a time: the read-outs
// follow the car, and reception and its loss are announced.
TEST_F(RealLogs, DriveAt4800BaudMovesTheReadOuts) {
  const std::string drive = get(ZARN_TEST_DATA "/nmea/drive/cheshire-2020-10-26.nmea");
  // From the first RMC at speed, for 40 seconds of line time.
  std::size_t from = drive.find("$GPRMC");
  while (from != std::string::npos && num(fields(drive.substr(from, drive.find('\r', from) - from))[7]) <= 10)
    from = drive.find("$GPRMC", from + 1);
  ASSERT_NE(from, std::string::npos);
  const std::string data = drive.substr(from, 480 * 40);
  Items said;  // the reception announcements
  auto tick = [&] {
    clock->advance(0.25);
    readcomms(*app);
    gpswatch(*app);
    const std::string& m = app->speech.msgtext;
    if (m.find("GPS data") != std::string::npos && (said.empty() || said.back() != m)) said.push_back(m);
  };
  auto& z = app->win.zarn;
  std::set<std::string> grids;
  std::size_t rmcs = 0, checked = 0;
  for (std::size_t p = 0; p < data.size(); p += 120) {
    write(data.substr(p, 120));
    tick();
    // The read-outs show the last position sentence fully received, and the speed and course
    // of the last RMC.
    std::string lastpos, lastrmc;
    std::size_t nrmc = 0;
    for (const auto& s : sentences(data.substr(0, p + 120)).good) {
      if (s.compare(3, 3, "RMC") == 0) lastrmc = s, ++nrmc;
      if (s.compare(3, 3, "RMC") == 0 || s.compare(3, 3, "GGA") == 0) lastpos = s;
    }
    if (lastpos.empty()) continue;
    const auto fp = fields(lastpos);
    const int at = lastpos.compare(3, 3, "RMC") == 0 ? 3 : 2;  // the latitude's field
    const double lat = num(fp[at].substr(0, 2)) + num(fp[at].substr(2)) / 60;
    const double lon = -(num(fp[at + 2].substr(0, 3)) + num(fp[at + 2].substr(3)) / 60);
    float x = 0, y = 0;
    lltoosgb(app->geo, static_cast<float>(lat), static_cast<float>(lon), x, y);
    std::string grid;
    gridreftext(app->geo, x, y, grid);
    EXPECT_EQ(z.gridbox.caption, grid);
    EXPECT_EQ(grid.substr(0, 3), "SJ ");
    grids.insert(grid);
    // The watch blanks speed and heading when reception starts: they are looked at when an RMC
    // came in a later tick.
    if (const std::size_t before = std::exchange(rmcs, nrmc); before == 0 || nrmc == before) continue;
    const auto fr = fields(lastrmc);
    EXPECT_EQ(z.spdbox.caption, std::to_string(static_cast<int>(std::floor(num(fr[7]) * 1.85 / 1.61))));  // mph
    char hdg[8];
    std::snprintf(hdg, sizeof hdg, "%03d", static_cast<int>(std::floor(num(fr[8]))));
    EXPECT_EQ(z.hdgbox.caption, hdg);
    ++checked;
  }
  EXPECT_GT(checked, 40u);
  EXPECT_GT(grids.size(), 20u);  // the car went somewhere
  // The line falls silent: ten seconds later the loss is announced.
  for (int i = 0; i < 48; ++i) tick();
  EXPECT_EQ(said, (Items{"I am receiving GPS data !", "I'm not receiving any GPS data"}));
  EXPECT_EQ(z.modebox.caption, "OLD");
}

}  // namespace
}  // namespace zarn::test
