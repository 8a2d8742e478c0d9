// Real receiver logs through a real pseudo-terminal into the serial poll and the parser, the
// own fix compared with gpsd's own decoding, and a recorded drive replayed at 4800 baud.
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <sstream>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/checksum.h"
#include "gpsinput/gpswatch.h"
#include "gpsinput/logs.h"
#include "gpsinput/nmea.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/serialpoll.h"
#include "gpstest.h"
#include "platform/files.h"
#include "platform/serial.h"
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
// another "$" starts afresh, and a "%" or "<" (lines of other kinds) ends it unused. A sentence
// is good when its checksum holds and it fits the 200-character receive buffer with its line end.
struct Sentences {
  std::vector<std::string> good;
  int bad = 0;
};

// The checksum worked out here, apart from the program's: the exclusive-or of the characters
// between "$" and the first "*", against the two hex digits after it (either case; what
// follows them is not looked at), or one digit that ends the sentence.
bool checksumholds(const std::string& s) {
  const auto star = s.find('*');
  if (star == std::string::npos) return false;
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i) sum ^= static_cast<unsigned char>(s[i]);
  auto ishex = [&](std::size_t i) { return i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i])); };
  if (!ishex(star + 1)) return false;
  const std::size_t digits = ishex(star + 2) ? 2 : (star + 2 == s.size() ? 1 : 0);
  return digits > 0 && std::stoul(s.substr(star + 1, digits), nullptr, 16) == sum;
}

Sentences sentences(const std::string& data) {
  Sentences out;
  bool in = false;
  std::string cur;
  for (char c : data) {
    if (c == '$') {
      in = true;
      cur = "$";
    } else if (in && (c == '%' || c == '<')) {
      in = false;
    } else if (in && (c == '\r' || c == '\n')) {
      in = false;
      if (cur.size() <= 199 && checksumholds(cur)) out.good.push_back(cur);
      else ++out.bad;
    } else if (in) {
      cur += c;
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
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    auto port = std::make_unique<platform::TermiosSerial>();
    ASSERT_TRUE(port->open(name, "4800,N,8,1")) << port->lasterror();
    make(std::move(port));
    setup();
  }
  void TearDown() override {
    GpsTest::TearDown();
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  // Writes bytes into the line and waits until they have arrived.
  void write(std::string_view bytes) {
    ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    for (int i = 0; i < 200000 && waiting() < static_cast<int>(bytes.size()); ++i) ::usleep(50);
    ASSERT_GE(waiting(), static_cast<int>(bytes.size())) << "the line stopped delivering";
  }
  int waiting() { return app->sys.serial->inbuffercount(); }
  // Writes bytes and polls until the program has read them all.
  void send(std::string_view bytes) {
    write(bytes);
    for (int spin = 0; waiting() > 0; ++spin) {
      ASSERT_LT(spin, 1000) << "the poll stopped reading";
      readcomms(*app);
    }
  }

  int master = -1, slave = -1;
};

TEST_F(RealLogs, EveryGoodSentenceAcceptedEveryBadOneRejected) {
  std::mt19937 rnd(20201026);
  int files = 0, good = 0, bad = 0;
  for (const auto& f : logfiles()) {
    SCOPED_TRACE(f.filename().string());
    const std::string data = get(f.string());
    const Sentences expect = sentences(data);
    app->gps.triplog = platform::OutputFile::open(app->files, "ALL.NME", platform::OutputFile::Mode::Output);
    app->gps.logopen = 1;
    // Random chunks, as a receiver's bursts arrive.
    for (std::size_t p = 0, n = 0; p < data.size(); p += n) {
      n = std::min<std::size_t>(data.size() - p, 1 + rnd() % 1500);
      send(std::string_view(data).substr(p, n));
    }
    if (!data.ends_with('\n') && !data.ends_with('\r')) send("\r\n");  // a last line without its end
    app->gps.triplog.reset();
    app->gps.logopen = 0;
    // Every accepted sentence is in the trip log as received, ending in its own CR (or LF); the
    // direction-finder lines ("%") the parser logs are left out.
    std::vector<std::string> got;
    for (const auto& l : platform::splitlines(get("ALL.NME")))
      if (!l.empty() && !l.starts_with('%')) got.push_back(l);
    EXPECT_EQ(got.size(), expect.good.size());
    const auto diff = std::mismatch(got.begin(), got.end(), expect.good.begin(), expect.good.end());
    if (diff.first != got.end() || diff.second != expect.good.end())
      ADD_FAILURE() << "first difference at sentence " << (diff.first - got.begin()) << ": logged "
                    << (diff.first != got.end() ? *diff.first : "(none)") << ", expected "
                    << (diff.second != expect.good.end() ? *diff.second : "(none)");
    ++files;
    good += static_cast<int>(expect.good.size());
    bad += expect.bad;
    clearrxbuf(app->gps);
  }
  EXPECT_EQ(files, 118);
  EXPECT_GT(good, 25000);
  EXPECT_GT(bad, 50);
}

// gpsd's decoding. gpsd merges the sentences of one time into one report and says nothing for
// the first sentence it sees, so sentences are decoded one type at a time, in streams where no
// two neighbours share a time (the drive's sentences come twice with the same time): the n-th
// sentence of a run of one time goes to stream n. A ZDA first gives the date (reports then
// carry their time) and a void RMC last ends the final cycle. A report is found by its
// stream, its time of day (ms) and which report of that time it is in the stream.
using Report = std::map<std::string, double>;

long sentencetime(const std::string& s) {
  const auto f = fields(s);
  const std::string t = s.compare(3, 3, "GLL") == 0 ? (f.size() > 5 ? f[5] : "") : (f.size() > 1 ? f[1] : "");
  if (t.size() < 6) return -1;
  return std::lround((num(t.substr(0, 2)) * 3600 + num(t.substr(2, 2)) * 60 + num(t.substr(4))) * 1000);
}

std::vector<std::pair<long, Report>> gpsdecode(const std::vector<std::string>& sentences) {
  std::string stream = nmea("$GPZDA,000000.00,01,01,2020,00,00");
  for (const auto& s : sentences) stream += s + "\r\n";
  const auto json = zarn::testing::runtool({"gpsdecode", "-j"}, stream + "$GPRMC,,V,,,,,,,,,,N*53\r\n");
  std::vector<std::pair<long, Report>> out;
  std::stringstream ss(json.value_or(""));
  for (std::string l; std::getline(ss, l);) {
    const auto t = l.find("\"time\":\"");
    if (l.find("\"class\":\"TPV\"") == std::string::npos || t == std::string::npos) continue;
    const auto tp = l.find('T', t + 8);
    Report r;
    for (const char* k : {"lat", "lon", "speed", "track", "altMSL"}) {
      const auto p = l.find(std::string("\"") + k + "\":");
      if (p != std::string::npos) r[k] = std::atof(l.c_str() + p + std::strlen(k) + 3);
    }
    const double secs = num(l.substr(tp + 1, 2)) * 3600 + num(l.substr(tp + 4, 2)) * 60 + num(l.substr(tp + 7, 6));
    out.emplace_back(std::lround(secs * 1000), r);
  }
  return out;
}

// gpsd's report for each sentence of one type (by its index among them), where there is one.
std::map<std::size_t, Report> gpsdreports(const std::vector<std::string>& oftype) {
  std::vector<std::vector<std::size_t>> streams;
  long last = -2;
  for (std::size_t i = 0, run = 0; i < oftype.size(); ++i) {
    const long t = sentencetime(oftype[i]);
    run = t == last ? run + 1 : 0;
    last = t;
    if (streams.size() <= run) streams.resize(run + 1);
    streams[run].push_back(i);
  }
  std::map<std::size_t, Report> out;
  for (const auto& idx : streams) {
    std::vector<std::string> ss;
    for (auto i : idx) ss.push_back(oftype[i]);
    std::map<long, std::vector<Report>> bytime;
    for (auto& [t, r] : gpsdecode(ss)) bytime[t].push_back(r);
    std::map<long, std::size_t> used;
    for (std::size_t n = 1; n < idx.size(); ++n) {  // nothing for the first
      const long t = sentencetime(ss[n]);
      const std::size_t occ = used[t]++;
      if (bytime.count(t) && occ < bytime[t].size()) out[idx[n]] = bytime[t][occ];
    }
  }
  return out;
}

TEST_F(RealLogs, OwnFixAgreesWithGpsd) {
  if (!zarn::testing::havetool("gpsdecode")) GTEST_SKIP() << "gpsdecode (gpsd-clients) is not installed";
  int positions = 0, speeds = 0, courses = 0, altitudes = 0;
  for (const auto& f : logfiles()) {
    SCOPED_TRACE(f.filename().string());
    const std::vector<std::string> good = sentences(get(f.string())).good;
    std::map<std::string, std::map<std::size_t, Report>> reports;
    for (const char* type : {"RMC", "GGA", "GLL"}) {
      std::vector<std::string> oftype;
      for (const auto& s : good)
        if (s.size() >= 6 && s.compare(3, 3, type) == 0) oftype.push_back(s);
      reports[type] = gpsdreports(oftype);
    }
    std::map<std::string, std::size_t> index;  // of each sentence among those of its type
    app->gps = GpsState{};
    for (const std::string& s : good) {
      const std::string type = s.size() >= 6 ? s.substr(3, 3) : "";
      if (type != "RMC" && type != "GGA" && type != "GLL") continue;
      const std::size_t n = index[type]++;
      std::string l = s + "\r";
      // What this program decides differently from gpsd: RMC and GLL of NMEA 4.1 and 2.3
      // (13 and 7 fields after the header) are not read; positions are taken whatever the RMC
      // status or GGA quality; a missing course or altitude keeps the last one. Sentences gpsd
      // has no fix for (void status, quality 0, its first sentence) are not compared.
      if (gpsparse(*app, l) != 0) continue;
      const auto it = reports[type].find(n);
      if (it == reports[type].end() || !it->second.count("lat")) continue;
      const Report& r = it->second;
      const auto fl = fields(s);
      const auto& g = app->gps;
      EXPECT_NEAR(g.ownlat, r.at("lat"), 1e-5) << s;
      EXPECT_NEAR(g.ownlon, r.at("lon"), 1e-5) << s;
      ++positions;
      if (type == "RMC" && !fl[7].empty() && r.count("speed")) {
        const double gpsd = r.at("speed") * 3.6;  // m/s to km/h
        EXPECT_NEAR(g.ownspd, gpsd, gpsd * 0.002 + 0.0005 * 3.6 * 1.01) << s;
        ++speeds;
      }
      if (type == "RMC" && !fl[8].empty() && r.count("track")) {
        const double d = std::fabs(g.owncourse - r.at("track"));
        EXPECT_LE(std::min(d, 360 - d), 1.0) << s;
        ++courses;
      }
      if (type == "GGA" && fl.size() > 9 && !fl[9].empty() && r.count("altMSL")) {
        EXPECT_EQ(g.ownalt, static_cast<float>(r.at("altMSL"))) << s;
        ++altitudes;
      }
    }
  }
  EXPECT_GT(positions, 3000);
  EXPECT_GT(speeds, 1000);
  EXPECT_GT(courses, 1000);
  EXPECT_GT(altitudes, 1000);
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

  app->main.repint[8] = 1;
  newtrip(*app);
  ASSERT_EQ(app->gps.logopen, 1);
  Items messages;
  auto tick = [&] {
    clock->advance(0.25);
    readcomms(*app);
    gpswatch(*app);
    if (messages.empty() || messages.back() != app->speech.msgtext) messages.push_back(app->speech.msgtext);
  };

  auto& z = app->win.zarn;
  int checked = 0, moves = 0;
  std::string lastgrid;
  std::size_t rmcs = 0;
  for (std::size_t p = 0; p < data.size(); p += 120) {
    const std::string chunk = data.substr(p, 120);
    write(chunk);
    tick();
    // What the read-outs must show: the last position sentence fully received, and the
    // speed and course of the last RMC.
    std::string lastpos, lastrmc;
    std::size_t nrmc = 0;
    for (const auto& s : sentences(data.substr(0, p + chunk.size())).good) {
      const bool rmc = s.compare(3, 3, "RMC") == 0;
      if (rmc) {
        lastrmc = s;
        ++nrmc;
      }
      if (rmc || s.compare(3, 3, "GGA") == 0) lastpos = s;
    }
    if (lastrmc.empty() || lastpos.empty()) continue;
    const auto fp = fields(lastpos);
    const int at = lastpos.compare(3, 3, "RMC") == 0 ? 3 : 2;  // the latitude's field
    const double lat = num(fp[at].substr(0, 2)) + num(fp[at].substr(2)) / 60;
    const double lon = -(num(fp[at + 2].substr(0, 3)) + num(fp[at + 2].substr(3)) / 60);
    EXPECT_NEAR(app->gps.ownlat, lat, 1e-5);
    EXPECT_NEAR(app->gps.ownlon, lon, 1e-5);
    float x = 0, y = 0;
    lltoosgb(app->geo, static_cast<float>(lat), static_cast<float>(lon), x, y);
    std::string grid;
    gridreftext(app->geo, x, y, grid);
    EXPECT_EQ(z.gridbox.caption, grid);
    EXPECT_EQ(grid.substr(0, 3), "SJ ");
    // Speed and heading as the last RMC gave them: the watch blanks both when reception starts,
    // so they are looked at when an RMC came in this tick.
    const bool newrmc = nrmc > rmcs, first = lastgrid.empty();
    rmcs = nrmc;
    moves += z.gridbox.caption != lastgrid;
    lastgrid = z.gridbox.caption;
    if (first || !newrmc) continue;
    const auto fr = fields(lastrmc);
    const double kmh = num(fr[7]) * 1.85;
    EXPECT_EQ(z.spdbox.caption, std::to_string(static_cast<int>(std::floor(kmh / 1.61))));  // mph
    char hdg[8];
    std::snprintf(hdg, sizeof hdg, "%03d", static_cast<int>(std::floor(num(fr[8]))));
    EXPECT_EQ(z.hdgbox.caption, hdg);
    ++checked;
  }
  EXPECT_GT(checked, 40);
  EXPECT_GT(moves, 20);  // the car went somewhere

  // The line falls silent: ten seconds later the loss is announced.
  for (int i = 0; i < 48; ++i) tick();
  const Items announced = {"I am receiving GPS data !", "I'm not receiving any GPS data"};
  Items gps;
  std::copy_if(messages.begin(), messages.end(), std::back_inserter(gps),
               [&](const std::string& m) { return m == announced[0] || m == announced[1]; });
  EXPECT_EQ(gps, announced);
  EXPECT_EQ(z.modebox.caption, "OLD");

  // The trip log holds every sentence received.
  app->gps.triplog.reset();
  std::size_t logged = 0;
  for (const auto& l : platform::splitlines(get("NEWTRIP.NME"))) logged += !l.empty();
  EXPECT_EQ(logged, sentences(data).good.size());
  EXPECT_GT(logged, 100u);
}

}  // namespace
}  // namespace zarn::test
