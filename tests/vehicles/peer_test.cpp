// A fleet of the vehicle peer (tools/vehicle_peer.py) on a real pseudo-terminal, read by the
// serial poll into the link intake: the table, the own fix and the alerts against what was sent.
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <map>

#include "geodesy/helpers.h"
#include "gpsinput/serialpoll.h"
#include "platform/programs.h"
#include "platform/serial.h"
#include "support/app_fixture.h"
#include "vehicles/mcv.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

// A value of one manifest line (a flat JSON object but for its "fields"); "" when absent.
std::string value(const std::string& json, const std::string& key) {
  const auto p = json.find("\"" + key + "\": ");
  if (p == std::string::npos) return "";
  const auto from = p + key.size() + 4;
  if (json[from] == '"') return json.substr(from + 1, json.find('"', from + 1) - from - 1);
  return json.substr(from, json.find_first_of(",}", from) - from);
}
double num(const std::string& json, const std::string& key) { return std::atof(value(json, key).c_str()); }

long rsskb() {
  long pages = 0, rss = 0;
  std::ifstream("/proc/self/statm") >> pages >> rss;
  return rss * (::sysconf(_SC_PAGESIZE) / 1024);
}

class PeerLink : public AppTest {
 protected:
  void SetUp() override { ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0); }
  void TearDown() override {
    AppTest::TearDown();
    ::close(master);
    ::close(slave);
  }
  int peer(std::vector<std::string> args, int out) {
    args.insert(args.begin(), {"python3", ZARN_SOURCE_DIR "/tools/vehicle_peer.py", "--clock", "11:00:00"});
    platform::SpawnOptions o;
    std::tie(o.stdout_fd, o.stderr_fd, o.searchpath) = std::tuple(out, -1, true);
    return platform::spawnprogram("python3", args, o);
  }
  // The base set up from the fleet's configuration, then the fleet played onto the line and
  // polled as the main tick polls it until the peer has ended and the line is quiet. Returns
  // the manifest: a line per report sent.
  std::vector<std::string> play(const std::vector<std::string>& fleet, std::vector<std::string> run) {
    make();  // makes the folder
    std::vector<std::string> mcv = fleet;
    mcv.insert(mcv.end(), {"--write-mcv", (dir / "ZARN.MCV").string(), "--out", "/dev/null", "--count", "1"});
    EXPECT_EQ(platform::waitprogram(peer(mcv, -1)), 0);
    auto port = std::make_unique<platform::TermiosSerial>();
    EXPECT_TRUE(port->open(name, "9600,N,8,1")) << port->lasterror();
    make(std::move(port));
    std::filesystem::copy_file(std::filesystem::path(ZARN_SOURCE_DIR) / "data/demo/MAPS.CCC", dir / "MAPS.CCC");
    EXPECT_FALSE(loadccc(app->geo, app->files));
    std::tie(app->main.mvmode, app->gps.datatrakon, app->gps.callsep) = std::tuple(1, 1, ">");
    std::string problem;
    EXPECT_TRUE(readmcv(*app, &problem)) << problem;
    run.insert(run.end(), fleet.begin(), fleet.end());
    run.insert(run.end(), {"--fd", "1", "--drain", "--manifest", (dir / "sent.jsonl").string()});
    const pid_t pid = peer(run, master);
    int status = 0;
    for (long k = 0; ::waitpid(pid, &status, WNOHANG) == 0; ++k, ::usleep(200)) {
      readcomms(*app);
      if (k % 50 == 0) rss.push_back(rsskb());
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int quiet = 0; quiet < 50; ::usleep(1000)) {
      quiet = app->sys.serial->inbuffercount() > 0 ? 0 : quiet + 1;
      readcomms(*app);
    }
    rss.push_back(rsskb());
    return platform::splitlines(get("sent.jsonl"));
  }
  // Each unit's row (the own fix for the own unit) against its last report sent, within half a
  // step of the report's form (km); the reports decoded and the alerts raised against those
  // sent. Returns the count of alerts sent.
  long compare(const std::vector<std::string>& sent) {
    struct Want { std::string form, label, stat = "   "; double x = 0, y = 0; int hdg = -2, spd = -2; };
    const std::map<std::string, double> step = {{"ring", .03}, {"hex", .03}, {"dnid", .03}, {"001", .002},
        {"nmea", .001}, {"packet", .001}, {"tilde", .002}, {"grave", .002}, {"own", .002}};
    std::map<std::string, Want> want;
    long decoded = 0, alerts = 0;
    std::string lastalert;
    for (const auto& r : sent) {
      const std::string fields = r.substr(r.find("\"fields\""));
      if (value(r, "decoded") != "true") continue;
      ++decoded;
      if (!value(r, "alert").empty()) ++alerts, lastalert = value(r, "alert");
      auto& w = want[value(r, "id")];
      std::tie(w.form, w.label) = std::tuple(value(r, "form"), value(r, "label"));
      // A dialled-in record no newer than the last moves the unit only by its alert.
      if (value(fields, "length") != "20" || !value(r, "alert").empty() || w.x == 0)
        std::tie(w.x, w.y) = std::pair(num(r, "x"), num(r, "y"));
      if (!value(fields, "line1").empty()) w.spd = -1;  // no speed in a dialled-in record
      if (!value(fields, "kind").empty()) w.stat = value(fields, "kind") + value(fields, "code");
      if (!value(fields, "hdg").empty()) w.hdg = static_cast<int>(num(fields, "hdg"));
      if (!value(fields, "knots").empty()) w.spd = static_cast<int>(std::floor(num(fields, "knots") * 1.85 / 1.61));
      if (!value(fields, "spdcode").empty()) std::tie(w.hdg, w.spd) = std::pair(num(fields, "heading"), num(fields, "speed"));
    }
    EXPECT_EQ(app->veh.mvdecoded, decoded) << "every report sent is decoded, once";
    const auto& v = app->veh;
    for (const auto& [id, w] : want) {
      const int i = w.form == "own" ? 0 : findvehicle(*app, id);
      const auto k = static_cast<std::size_t>(i);
      const std::string at = w.form + " " + id;
      EXPECT_NEAR(i ? v.mvx[k] : app->gps.ownx, w.x, step.at(w.form)) << at;
      EXPECT_NEAR(i ? v.mvy[k] : app->gps.owny, w.y, step.at(w.form)) << at;
      if (w.form == "own") continue;
      EXPECT_EQ(std::tuple(v.mvlabel[k], v.mvstat[k]), std::tuple((w.label + "    ").substr(0, 5), w.stat)) << at;
      EXPECT_TRUE(w.hdg == -2 || v.mvhdg[k] == w.hdg) << at << " heading " << v.mvhdg[k];
      EXPECT_TRUE(w.spd == -2 || v.mvspd[k] == w.spd) << at << " speed " << v.mvspd[k];
    }
    const auto& alarm = app->win.get<MvAlarmForm>();
    EXPECT_EQ(alerts ? 1 + v.alarmcount + v.alarmdropped : 0, alerts) << "an alert for every alarm sent";
    EXPECT_TRUE(alarm.txt.caption.starts_with(lastalert + " at ")) << alarm.txt.caption;
    return alerts;
  }
  int master = -1, slave = -1;
  char name[256] = {};
  std::vector<long> rss;  // kB, sampled while the line runs
};

TEST_F(PeerLink, EveryFormDecodesWhatWasSent) {
  EXPECT_EQ(compare(play({"--forms", "all", "--vehicles", "40", "--alarm-every", "3"}, {"--fast", "--duration", "24"})), 3);
}

// Five minutes of a saturated 9600-baud line, played as fast as the poll takes it.
TEST_F(PeerLink, FiveHundredVehiclesOnASaturatedLine) {
  const auto sent = play({"--forms", "all", "--vehicles", "500", "--alarm-every", "30"}, {"--fast", "--duration", "300"});
  EXPECT_EQ(compare(sent), 4) << "an alarm every 30 s until the Datatrak units take over";
#ifndef __SANITIZE_ADDRESS__  // its quarantine keeps what is freed: no measure of growth
  ASSERT_GE(rss.size(), 8u);
  const long quarter = rss[rss.size() / 4];
  EXPECT_LT(rss.back() - quarter, 1024) << "memory stays flat: kB " << quarter << " -> " << rss.back();
#endif
}

}  // namespace
}  // namespace zarn::test
