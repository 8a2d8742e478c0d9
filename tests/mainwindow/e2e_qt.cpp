// The whole program on the demo data, offscreen: start-up, then the main tick playing the
// recorded Cheshire drive (and, in the second test, following it as a live receiver on a
// pseudo-terminal), checked against what the drive says at chosen moments.
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <QImage>
#include <cmath>
#include <cstdlib>
#include <set>
#include <sstream>

#include "geodesy/postext.h"
#include "mainwindow/startup.h"
#include "mainwindow/startwin.h"
#include "mainwindow/tick.h"
#include "platform/qt/formview.h"
#include "platform/qt/qtservices.h"
#include "platform/qt/qtui.h"
#include "platform/serial.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"
#include "support/runtool.h"

namespace zarn::test {
namespace {

struct Fix {
  std::string time;  // hh:mm:ss
  float lat = 0, lon = 0;
};

// The position sentences of a log, in order.
std::vector<Fix> fixes(const std::string& log) {
  std::vector<Fix> out;
  std::istringstream in(log);
  for (std::string l; std::getline(in, l);) {
    if (!l.starts_with("$GPRMC,")) continue;
    std::vector<std::string> f;
    std::istringstream ls(l);
    for (std::string p; std::getline(ls, p, ',');) f.push_back(p);
    Fix x;
    x.time = f[1].substr(0, 2) + ":" + f[1].substr(2, 2) + ":" + f[1].substr(4, 2);
    x.lat = static_cast<float>(std::stod(f[3].substr(0, 2)) + std::stod(f[3].substr(2)) / 60);
    x.lon = -static_cast<float>(std::stod(f[5].substr(0, 3)) + std::stod(f[5].substr(3)) / 60);
    out.push_back(x);
  }
  return out;
}

// National grid km of a latitude/longitude by the reference tool.
std::optional<std::pair<double, double>> bng(float lat, float lon) {
  std::ostringstream in;
  in.precision(9);
  in << lat << " " << lon << "\n";
  const auto out = zarn::testing::runtool({"cs2cs", "-f", "%.3f", "EPSG:4326", "EPSG:27700"}, in.str());
  if (!out) return std::nullopt;
  std::istringstream r(*out);
  double e = 0, n = 0;
  if (!(r >> e >> n)) return std::nullopt;
  return std::pair{e / 1000, n / 1000};
}

class DemoDrive : public AppTest {
 protected:
  void SetUp() override {
    make(nullptr, std::make_unique<qt::QtImageStore>());
    copydemo();
    drive = fixes(get("ZARN.NME"));
    ASSERT_GT(drive.size(), 800u);
  }

  // Start-up, remembering each progress text the start window showed.
  void start() {
    events->hook = [this] {
      clock->advance(waitstep);
      if (const ui::Form* s = app->win.find("start"); s && s->visible)
        statuses.insert(app->win.get<StartForm>().trace.caption);
    };
    Form_Load(*app, "");
    ASSERT_FALSE(app->main.quit);
    // From here only the ticks move the clock.
    events->hook = nullptr;
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) {
      clock->advance(0.25);
      Timer1_Timer(*app);
    }
  }
  const Fix* fixat(const std::string& time) const {
    for (const Fix& f : drive)
      if (f.time == time) return &f;
    return nullptr;
  }
  // The own position is the drive's fix of the time last received, and the read-outs show it.
  void expectonfix() {
    const GpsState& g = app->gps;
    const Fix* f = fixat(g.gpstimetxt);
    ASSERT_NE(f, nullptr) << "time of the last fix: " << g.gpstimetxt;
    EXPECT_FLOAT_EQ(g.ownlat, f->lat) << g.gpstimetxt;
    EXPECT_FLOAT_EQ(g.ownlon, f->lon) << g.gpstimetxt;
    if (auto ref = bng(f->lat, f->lon)) {
      EXPECT_NEAR(g.ownx, ref->first, 0.05) << g.gpstimetxt;
      EXPECT_NEAR(g.owny, ref->second, 0.05) << g.gpstimetxt;
    }
    std::string grid;
    gridreftext(app->geo, g.ownx, g.owny, grid);
    EXPECT_EQ(app->win.zarn.gridbox.caption, grid);
    EXPECT_EQ(text::left(grid, 2), "SJ");
  }
  int played(const std::string& name) const {
    int n = 0;
    for (const auto& p : wav->played) n += text::ucase(p.file) == text::ucase(name);
    return n;
  }
  void screenshot(const std::string& name) {
    qt::QtUi ui([this] { return app->win.all(); });
    ui.refresh();
    qt::FormView* v = ui.view(app->win.zarn);
    ASSERT_NE(v, nullptr);
    const QImage shot = v->snapshot();
    // Beside the test program, in the build tree.
    const auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
    EXPECT_TRUE(shot.save(QString::fromStdString(path.string())));
    // The map picture is drawn: not a plain white window.
    std::set<QRgb> colours;
    for (int y = 0; y < 400; y += 20)
      for (int x = 0; x < 640; x += 20) colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 5u) << "the map is shown";
  }

  std::vector<Fix> drive;
  std::set<std::string> statuses;
};

TEST_F(DemoDrive, StartsOnTheNationalMapAndPlaysTheDriveThroughTheNestedMaps) {
  start();
  for (const char* s : {"Checking Grid system ...", "Checking Configuration ...", "Checking Maps ...", "Maps are OK",
                        "Checking Location file ...", "Checking GPS COM port ...", "Checks completed. Hit ? for Help."})
    EXPECT_TRUE(statuses.count(s)) << s;
  auto& z = app->win.zarn;
  EXPECT_TRUE(z.visible);
  EXPECT_FALSE(app->win.get<StartForm>().visible);
  EXPECT_EQ(z.modebox.caption, "DEM");
  EXPECT_EQ(app->map.curmap, 1) << "the national map first";
  EXPECT_EQ(app->map.maptitle, "Great Britain and Ireland");
  EXPECT_EQ(app->nav.destlabel[app->nav.curdest], "Knutsford");
  EXPECT_EQ(played("$$$start.wav"), 1);

  // The first tick: the introduction, the script's text and speech, the first fix.
  ticks(1);
  EXPECT_EQ(tts->said, Items{"This is a real drive, recorded near Knutsford."});
  EXPECT_EQ(app->speech.msgtext, "A drive through Cheshire, recorded on 26 October 2020");
  EXPECT_EQ(app->gps.gpstimetxt, "14:52:39");
  expectonfix();
  EXPECT_EQ(app->map.maptitle, "Ashley drive (tiles)") << "the most detailed map holding the car";
  EXPECT_TRUE(z.car.visible);
  const int carleft = z.car.left, cartop = z.car.top;

  // A step every fifth tick (more than a second after the last): 60 fixes in 300 ticks.
  ticks(300);
  EXPECT_EQ(app->gps.gpstimetxt, "14:53:39");
  expectonfix();
  EXPECT_TRUE(z.car.visible);
  EXPECT_TRUE(z.car.left != carleft || z.car.top != cartop) << "the car moved";
  EXPECT_EQ(z.hdgbox.caption.size(), 3u) << "a heading";
  EXPECT_GT(app->map.trailcount, 3) << "a trail dot every 10 s";
  // The reports so far: where we are (first due 10 s after start), the destination every 20 s.
  EXPECT_GE(played("weare.wav"), 1);
  EXPECT_GE(played("destinat.wav"), 3);
  EXPECT_GE(played("miles.wav") + played("mile.wav"), 3);

  // Round the western turn: the map follows and the script's text shows.
  ticks(5 * 460);
  expectonfix();
  EXPECT_LT(app->gps.ownx, 374.0f);
  EXPECT_EQ(app->map.maptitle, "Ashley drive (tiles)");
  screenshot("e2e-demo-drive.png");
}

// The pseudo-terminal pair: the test writes the receiver's side, the program opens the other.
struct Pty {
  Pty() {
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) == 0) path = name;
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  void write(const std::string& s) const { (void)!::write(master, s.data(), s.size()); }
  int master = -1, slave = -1;
  std::string path;
};

TEST_F(DemoDrive, FollowsTheDriveFromALiveReceiverOnTheSerialPort) {
  Pty pty;
  ASSERT_FALSE(pty.path.empty());
  ::setenv("ZARN_COM1", pty.path.c_str(), 1);
  make(std::make_unique<platform::TermiosSerial>(), std::make_unique<qt::QtImageStore>());
  start();
  ::unsetenv("ZARN_COM1");
  ASSERT_TRUE(app->sys.serial->isopen()) << "COM1 of ZARN.CFG is the pseudo-terminal";
  EXPECT_FALSE(app->win.get<StartForm>().errmsg.visible);

  // The recorded receiver output, a second of it (about 13 sentences) every four ticks.
  std::istringstream log(std::string(
      std::istreambuf_iterator<char>(std::ifstream(std::filesystem::path(ZARN_TEST_DATA) / "nmea" / "drive" /
                                                   "cheshire-2020-10-26.nmea")
                                         .rdbuf()),
      {}));
  std::vector<std::string> lines;
  for (std::string l; std::getline(log, l);) lines.push_back(l + "\r\n");
  std::size_t next = 0;
  // One second of output: the lines up to the next ZDA sentence of a later time.
  const auto second = [&] {
    std::string chunk;
    std::string t;
    while (next < lines.size()) {
      const std::string& l = lines[next];
      if (l.starts_with("$GPZDA")) {
        if (!t.empty() && l.substr(7, 6) != t) break;
        t = l.substr(7, 6);
      }
      chunk += l;
      ++next;
    }
    pty.write(chunk);
    // The terminal hands written bytes over a moment later.
    for (int i = 0; i < 2000 && app->sys.serial->inbuffercount() <= 0; ++i) ::usleep(1000);
  };
  for (int s = 0; s < 90; ++s) {
    second();
    ticks(4);
  }
  auto& z = app->win.zarn;
  EXPECT_EQ(z.modebox.caption, "GPS");
  EXPECT_EQ(z.llbox.backcolor, ui::green);
  for (const std::string& t : tts->said) EXPECT_NE(t, "This is a real drive, recorded near Knutsford.") << "no demo";
  // The last position fed is where the car is.
  std::string lastrmc;
  for (std::size_t i = 0; i < next; ++i)
    if (lines[i].starts_with("$GPRMC")) lastrmc = lines[i];
  const auto f = fixes(lastrmc);
  ASSERT_EQ(f.size(), 1u);
  drive = f;
  expectonfix();
  EXPECT_EQ(app->map.maptitle, "Ashley drive (tiles)");
  EXPECT_GE(played("weare.wav"), 1);
  EXPECT_GE(played("destinat.wav"), 3);
  screenshot("e2e-live-drive.png");
}

}  // namespace
}  // namespace zarn::test
