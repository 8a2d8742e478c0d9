// Real receiver logs through a real pseudo-terminal into the serial poll and the parser, the
// own fix compared with gpsd's own decoding, and a recorded drive replayed at 4800 baud.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>

#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/gpswatch.h"
#include "gpsinput/logs.h"
#include "gpsinput/nmea.h"
#include "gpsinput/rxbuffer.h"
#include "gpsinput/serialpoll.h"
#include "gpstest.h"
#include "platform/serial.h"
#include "support/runtool.h"

namespace zarn::test {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> logfiles() {
  std::vector<fs::path> v;
  for (const auto& e : fs::directory_iterator(ZARN_SHARED_DATA "/nmea/gpsd"))
    if (e.path().extension() == ".log") v.push_back(e.path());
  std::sort(v.begin(), v.end());
  v.push_back(ZARN_SHARED_DATA "/nmea/drive/cheshire-2020-10-26.nmea");
  return v;
}

// The test's own reading of a byte stream: a sentence runs from a "$" to the next CR or LF;
// another "$" starts afresh, and a "%" or "<" (lines of other kinds) ends it unused. A sentence
// is good when the one or two hexadecimal digits after its first "*" hold the exclusive-or of
// the characters between "$" and "*", and it fits the 200-character receive buffer with its
// line end.
struct Sentences {
  std::vector<std::string> good;
  int bad = 0;
};

bool goodsum(const std::string& s) {
  const auto star = s.find('*');
  if (star == std::string::npos) return false;
  int x = 0;
  for (std::size_t i = 1; i < star; ++i) x ^= static_cast<unsigned char>(s[i]);
  const std::string t = s.substr(star + 1, 2);
  auto hex = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
  if (t.size() == 2 && hex(t[0]) && hex(t[1])) return std::stoi(t, nullptr, 16) == x;
  if (t.size() == 1 && hex(t[0])) return std::stoi(t, nullptr, 16) == x;
  return false;
}

Sentences sentences(const std::string& data) {
  Sentences out;
  bool in = false;
  std::string cur;
  for (char c : data) {
    if (c == '$') {
      in = true;
      cur = "$";
    } else if (!in) {
    } else if (c == '%' || c == '<') {
      in = false;
    } else if (c == '\r' || c == '\n') {
      in = false;
      if (cur.size() <= 199 && goodsum(cur)) {
        out.good.push_back(cur);
      } else {
        ++out.bad;
      }
    } else {
      cur += c;
    }
  }
  return out;
}

// The serial line of the application: the slave end of a pseudo-terminal, counting what the
// program has read from it.
class PtyLine final : public platform::SerialLine {
 public:
  explicit PtyLine(const std::string& path) { port.open(path, "4800,N,8,1"); }
  bool open(const std::string& p, const std::string& s) override { return port.open(p, s); }
  bool setsettings(const std::string& s) override { return port.setsettings(s); }
  bool isopen() const override { return port.isopen(); }
  void close() override { port.close(); }
  int inbuffercount() override { return port.inbuffercount(); }
  std::string input() override {
    std::string s = port.input();
    taken += s.size();
    return s;
  }
  bool output(std::string_view b) override { return port.output(b); }
  void setdtr(bool on) override { port.setdtr(on); }
  platform::TermiosSerial port;
  std::size_t taken = 0;
};

class RealLogs : public GpsTest {
 protected:
  void SetUp() override {
    scripted = false;
    GpsTest::SetUp();
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    auto l = std::make_unique<PtyLine>(name);
    ASSERT_TRUE(l->isopen()) << l->port.lasterror();
    line = l.get();
    app->sys.serial = std::move(l);
  }
  void TearDown() override {
    if (app) app->sys.serial.reset();
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
    GpsTest::TearDown();
  }
  // Writes bytes into the line and polls until the program has read them all.
  void send(std::string_view bytes) {
    std::size_t off = 0;
    while (off < bytes.size()) {
      const ssize_t w = ::write(master, bytes.data() + off, bytes.size() - off);
      ASSERT_GT(w, 0);
      off += static_cast<std::size_t>(w);
    }
    const std::size_t want = line->taken + bytes.size();
    for (int spin = 0; line->taken < want; ++spin) {
      ASSERT_LT(spin, 200000) << "the line stopped delivering";
      if (line->inbuffercount() == 0) ::usleep(50);
      readcomms(*app);
    }
  }

  int master = -1, slave = -1;
  PtyLine* line = nullptr;
};

TEST_F(RealLogs, EveryGoodSentenceAcceptedEveryBadOneRejected) {
  std::mt19937 rnd(20201026);
  int files = 0, good = 0, bad = 0;
  for (const auto& f : logfiles()) {
    SCOPED_TRACE(f.filename().string());
    const std::string data = slurp(f);
    const Sentences expect = sentences(data);
    app->gps.triplog = platform::OutputFile::open(app->files, "ALL.NME", platform::OutputFile::Mode::Output);
    app->gps.logopen = 1;
    // Random chunks, as a receiver's bursts arrive.
    for (std::size_t p = 0; p < data.size();) {
      const std::size_t n = std::min<std::size_t>(data.size() - p, 1 + rnd() % 1500);
      send(std::string_view(data).substr(p, n));
      p += n;
    }
    if (!data.ends_with('\n') && !data.ends_with('\r')) send("\r\n");  // a last line without its end
    app->gps.triplog.reset();
    app->gps.logopen = 0;
    // Every accepted sentence is in the trip log as received, ending in its own CR (or LF).
    std::vector<std::string> got;
    const std::string log = readfile("ALL.NME");
    for (std::size_t p = 0; p < log.size();) {
      const std::size_t e = log.find("\r\n", p);
      std::string l = log.substr(p, e - p);
      p = e + 2;
      if (!l.empty() && (l.back() == '\r' || l.back() == '\n')) l.pop_back();
      if (!l.starts_with('%')) got.push_back(l);  // direction-finder lines the parser logs
    }
    EXPECT_EQ(got.size(), expect.good.size());
    const auto diff = std::mismatch(got.begin(), got.end(), expect.good.begin(), expect.good.end());
    if (diff.first != got.end() || diff.second != expect.good.end()) {
      ADD_FAILURE() << "first difference at sentence " << (diff.first - got.begin()) << ": logged "
                    << (diff.first != got.end() ? *diff.first : "(none)") << ", expected "
                    << (diff.second != expect.good.end() ? *diff.second : "(none)");
    }
    ++files;
    good += static_cast<int>(expect.good.size());
    bad += expect.bad;
    clearrxbuf(app->gps);
  }
  EXPECT_EQ(files, 118);
  EXPECT_GT(good, 25000);
  EXPECT_GT(bad, 50);
  std::cout << "[ logs     ] " << files << " files, " << good << " good sentences accepted, " << bad
            << " bad ones rejected\n";
}

std::vector<std::string> fields(const std::string& s) {
  std::vector<std::string> f;
  std::string cur;
  for (char c : s.substr(0, s.find('*'))) {
    if (c == ',') {
      f.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  f.push_back(cur);
  return f;
}

long timeofday(const std::string& t) {
  if (t.size() < 6) return -1;
  return std::lround((std::atof(t.substr(0, 2).c_str()) * 3600 + std::atof(t.substr(2, 2).c_str()) * 60 +
                      std::atof(t.substr(4).c_str())) * 1000);
}

// gpsd's decoding. gpsd merges the sentences of one time into one report and says nothing for
// the first sentence it sees, so sentences are decoded one type at a time, in streams where no
// two neighbours share a time (the drive's sentences come twice with the same time): the n-th
// sentence of a run of one time goes to stream n. A ZDA first gives the date (reports then
// carry their time) and a void RMC last ends the final cycle. A report is found by its
// stream, its time of day (ms) and which report of that time it is in the stream.
struct Report {
  std::map<std::string, double> v;
  bool has(const std::string& k) const { return v.count(k) != 0; }
};

long sentencetime(const std::string& s) {
  const auto f = fields(s);
  if (s.compare(3, 3, "GLL") == 0) return f.size() > 5 ? timeofday(f[5]) : -1;
  return f.size() > 1 ? timeofday(f[1]) : -1;
}

std::vector<std::pair<long, Report>> gpsdecode(const std::vector<std::string>& sentences) {
  std::vector<std::pair<long, Report>> out;
  std::string stream = nmea("$GPZDA,000000.00,01,01,2020,00,00");
  for (const auto& s : sentences) stream += s + "\r\n";
  stream += "$GPRMC,,V,,,,,,,,,,N*53\r\n";
  const auto json = zarn::testing::runtool({"gpsdecode", "-j"}, stream);
  if (!json) return out;
  std::stringstream ss(*json);
  for (std::string l; std::getline(ss, l);) {
    if (l.find("\"class\":\"TPV\"") == std::string::npos) continue;
    const auto t = l.find("\"time\":\"");
    if (t == std::string::npos) continue;
    const auto tp = l.find('T', t + 8);
    const double h = std::atof(l.substr(tp + 1, 2).c_str()), m = std::atof(l.substr(tp + 4, 2).c_str()),
                 sec = std::atof(l.substr(tp + 7, 6).c_str());
    Report r;
    for (const char* k : {"lat", "lon", "speed", "track", "altMSL"}) {
      const auto p = l.find(std::string("\"") + k + "\":");
      if (p != std::string::npos) r.v[k] = std::atof(l.c_str() + p + std::strlen(k) + 3);
    }
    out.emplace_back(std::lround((h * 3600 + m * 60 + sec) * 1000), r);
  }
  return out;
}

// gpsd's report for each sentence of one type (by its index among them), where there is one.
std::map<std::size_t, Report> gpsdreports(const std::vector<std::string>& oftype) {
  std::vector<std::vector<std::size_t>> streams;
  long last = -2;
  std::size_t run = 0;
  for (std::size_t i = 0; i < oftype.size(); ++i) {
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
  int positions = 0, speeds = 0, courses = 0, altitudes = 0, notread = 0, nofix = 0;
  for (const auto& f : logfiles()) {
    SCOPED_TRACE(f.filename().string());
    const std::string data = slurp(f);
    const std::vector<std::string> good = sentences(data).good;
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
      const int handled = gpsparse(*app, l);
      const auto fl = fields(s);
      // What this program decides differently from gpsd: RMC and GLL of NMEA 4.1 and 2.3
      // (13 and 7 fields after the header) are not read; positions are taken whatever the RMC
      // status or GGA quality; a missing course or altitude keeps the last one.
      if (handled != 0) {
        ++notread;
        continue;
      }
      const auto it = reports[type].find(n);
      const Report* match = it == reports[type].end() ? nullptr : &it->second;
      if (!match || !match->has("lat")) {
        ++nofix;  // no fix from gpsd for it: void status, quality 0, its first sentence
        continue;
      }
      const auto& g = app->gps;
      EXPECT_NEAR(g.ownlat, match->v.at("lat"), 1e-5) << s;
      EXPECT_NEAR(g.ownlon, match->v.at("lon"), 1e-5) << s;
      ++positions;
      if (type == "RMC" && !fl[7].empty() && match->has("speed")) {
        const double gpsd = match->v.at("speed") * 3.6;  // m/s to km/h
        EXPECT_NEAR(g.ownspd, gpsd, gpsd * 0.002 + 0.0005 * 3.6 * 1.01) << s;
        ++speeds;
      }
      if (type == "RMC" && !fl[8].empty() && match->has("track")) {
        double d = std::fabs(g.owncourse - match->v.at("track"));
        d = std::min(d, 360 - d);
        EXPECT_LE(d, 1.0) << s;
        ++courses;
      }
      if (type == "GGA" && fl.size() > 9 && !fl[9].empty() && match->has("altMSL")) {
        EXPECT_EQ(g.ownalt, static_cast<float>(match->v.at("altMSL"))) << s;
        ++altitudes;
      }
    }
  }
  std::cout << "[ gpsd     ] compared " << positions << " positions, " << speeds << " speeds, " << courses
            << " courses, " << altitudes << " altitudes; not read here " << notread << ", no fix from gpsd "
            << nofix << "\n";
  EXPECT_GT(positions, 3000);
  EXPECT_GT(speeds, 1000);
  EXPECT_GT(courses, 1000);
  EXPECT_GT(altitudes, 1000);
}

// The Cheshire drive written into the line at 4800 baud (480 characters a second, 120 a tick),
// the 250 ms tick's poll and GPS watch run on a clock moved a tick at a time: the read-outs
// follow the car, the trip log records it, and reception and its loss are announced.
TEST_F(RealLogs, DriveAt4800BaudMovesTheReadOuts) {
  const std::string drive = slurp(ZARN_SHARED_DATA "/nmea/drive/cheshire-2020-10-26.nmea");
  // From the first RMC at speed, for 40 seconds of line time.
  std::size_t from = 0;
  for (std::size_t p = drive.find("$GPRMC"); p != std::string::npos; p = drive.find("$GPRMC", p + 1)) {
    const auto f = fields(drive.substr(p, drive.find('\r', p) - p));
    if (std::atof(f[7].c_str()) > 10) {
      from = p;
      break;
    }
  }
  const std::string data = drive.substr(from, 480 * 40);

  app->main.repint[8] = 1;
  clock->set({2020, 10, 26, 14, 55, 0, 0});
  newtrip(*app);
  ASSERT_EQ(app->gps.logopen, 1);
  std::vector<std::string> messages;
  auto tick = [&] {
    clock->advance(0.25);
    readcomms(*app);
    gpswatch(*app);
    if (messages.empty() || messages.back() != app->speech.msgtext) messages.push_back(app->speech.msgtext);
  };

  auto& z = app->win.zarn;
  int checked = 0;
  std::string lastgrid;
  int moves = 0;
  std::size_t rmcs = 0;
  for (std::size_t p = 0; p < data.size(); p += 120) {
    const std::string chunk = data.substr(p, 120);
    ASSERT_EQ(::write(master, chunk.data(), chunk.size()), static_cast<ssize_t>(chunk.size()));
    for (int i = 0; i < 20000 && line->inbuffercount() < static_cast<int>(chunk.size()); ++i) ::usleep(50);
    tick();
    // What the read-outs must show: the last position sentence fully received, and the
    // speed and course of the last RMC.
    const std::string sofar = data.substr(0, p + chunk.size());
    std::string lastpos, lastrmc;
    std::size_t nrmc = 0;
    for (const auto& s : sentences(sofar).good) {
      if (s.compare(3, 3, "RMC") == 0) {
        lastrmc = s;
        ++nrmc;
      }
      if (s.compare(3, 3, "RMC") == 0 || s.compare(3, 3, "GGA") == 0) lastpos = s;
    }
    if (lastrmc.empty() || lastpos.empty()) continue;
    const auto fp = fields(lastpos);
    const bool rmc = lastpos.compare(3, 3, "RMC") == 0;
    const std::string& la = rmc ? fp[3] : fp[2];
    const std::string& lo = rmc ? fp[5] : fp[4];
    const double lat = std::atof(la.substr(0, 2).c_str()) + std::atof(la.substr(2).c_str()) / 60;
    const double lon = -(std::atof(lo.substr(0, 3).c_str()) + std::atof(lo.substr(3).c_str()) / 60);
    EXPECT_NEAR(app->gps.ownlat, lat, 1e-5);
    EXPECT_NEAR(app->gps.ownlon, lon, 1e-5);
    float x = 0, y = 0;
    lltoosgb(app->geo, static_cast<float>(lat), static_cast<float>(lon), x, y);
    std::string grid;
    gridreftext(app->geo, x, y, grid);
    EXPECT_EQ(z.gridbox.caption, grid);
    EXPECT_EQ(z.gridbox.caption.substr(0, 3), "SJ ");
    // Speed and heading as the last RMC gave them: the watch blanks both when reception starts,
    // so they are looked at when an RMC came in this tick.
    const bool newrmc = nrmc > rmcs;
    rmcs = nrmc;
    if (z.gridbox.caption != lastgrid) ++moves;
    const bool first = lastgrid.empty();
    lastgrid = z.gridbox.caption;
    if (first || !newrmc) continue;
    const auto fr = fields(lastrmc);
    const double kmh = std::atof(fr[7].c_str()) * 1.85;
    EXPECT_EQ(z.spdbox.caption, std::to_string(static_cast<int>(std::floor(kmh / 1.61))));  // mph
    char hdg[8];
    std::snprintf(hdg, sizeof hdg, "%03d", static_cast<int>(std::floor(std::atof(fr[8].c_str()))));
    EXPECT_EQ(z.hdgbox.caption, hdg);
    ++checked;
  }
  EXPECT_GT(checked, 40);
  EXPECT_GT(moves, 20);  // the car went somewhere

  // The line falls silent: ten seconds later the loss is announced.
  for (int i = 0; i < 48; ++i) tick();
  const std::vector<std::string> announced = {"I am receiving GPS data !", "I'm not receiving any GPS data"};
  std::vector<std::string> gps;
  for (const auto& m : messages)
    if (m == announced[0] || m == announced[1]) gps.push_back(m);
  EXPECT_EQ(gps, announced);
  EXPECT_EQ(z.modebox.caption, "OLD");

  // The trip log holds every sentence received, as received.
  app->gps.triplog.reset();
  const auto logged = platform::splitlines(readfile("NEWTRIP.NME"));
  std::size_t n = 0;
  for (const auto& l : logged) n += l.empty() ? 0 : 1;
  EXPECT_EQ(n, sentences(data).good.size());
  EXPECT_GT(n, 100u);
}

}  // namespace
}  // namespace zarn::test
