// ZARN.CFG saved with "(" and read back at the next start: every setting survives, the port
// line is the user's, corrections keep their metres, and a failed save keeps the old file.
#include "mainwindow/config.h"

#include <signal.h>
#include <sys/resource.h>

#include "mainwindow/startup.h"
#include "navigation/destinations.h"
#include "platform/textrules.h"
#include "support/app_fixture.h"

namespace zarn::test {
namespace {

class Config : public AppTest {
 protected:
  // A ZARN.CFG of 14 plain lines, the given ones in place of the first ("=": the plain line).
  void cfg(const Items& lines) const {
    const Items plain = {"SJ 75128 78480",
                         "Knutsford",
                         "destinat.wav",
                         "SJ 79718 84625",
                         "COM1",
                         "COM2",
                         "COM3",
                         " 0",
                         " 0",
                         " 0",
                         " 16",
                         "Yes",
                         "\\japan\\",
                         ""};
    std::string s;
    for (std::size_t i = 0; i < plain.size(); ++i)
      s += (i < lines.size() && lines[i] != "=" ? lines[i] : plain[i]) + "\r\n";
    put("ZARN.CFG", s);
  }
  // Line n (from 1) of the saved file.
  std::string line(int n) const {
    const auto lines = platform::splitlines(get("ZARN.CFG"));
    return n <= static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(n - 1)] : "(none)";
  }
};

struct Settings {
  std::string label;
  int nodest;
  std::string gps, phone, traffic;
  float corre, corrn;  // km
  int platform;
  float speed;
  int tts;
  std::string extra;
  auto tie() const { return std::tie(label, nodest, gps, phone, traffic, corre, corrn, platform, speed, tts, extra); }
};

TEST_F(Config, EverySettingSurvivesASaveAndTheNextStart) {
  struct Case {
    const char* guards;
    Settings set, back;
  };
  const Case cases[] = {
      {"a label of 24 characters alone; COM10 whole; a negative correction rounded down; 16.5 read as 16",
       {"Knutsford Heath car park", 0, "COM10", "NULL", "COM3", -0.0254f, 0.0254f, 2, 16.5f, 1, "/srv/maps/"},
       {"Knutsford Heath car park", 0, "COM10", "NULL", "COM3", -0.026f, 0.025f, 2, 16, 1, "/srv/maps/"}},
      {"no destination is NULL; blank ports stay blank",
       {"Knutsford", 1, "", "", "", 0, -0.001f, 0, 0, 0, ""},
       {"NULL", 1, "", "", "", 0, -0.001f, 0, 0, 0, ""}},
      {"a label longer than the value field is read whole",
       {"A label of more than twenty-four characters", 0, "COM2", "COM4", "NULL", 1.5f, -12.345f, 1, 8, 0, ""},
       {"A label of more than twenty-four characters", 0, "COM2", "COM4", "NULL", 1.5f, -12.345f, 1, 8, 0, ""}},
  };
  for (const Case& c : cases) {
    make();
    const Settings& s = c.set;
    NavState& n = app->nav;
    std::tie(n.curdest, n.destname[4], n.destlabel[4], n.nodest) = std::tuple(4, "SJ 75128 78480", s.label, s.nodest);
    MainState& m = app->main;
    // The port in use may differ from the one configured: the configured one is saved.
    std::tie(m.cfgport, m.gpsport, m.phoneport, m.trafficport, m.platformkind) =
        std::tuple(s.gps, "NULL", s.phone, s.traffic, s.platform);
    std::tie(app->gps.gpscorre, app->gps.gpscorrn, app->gps.minhdgspd) = std::tuple(s.corre, s.corrn, s.speed);
    std::tie(app->speech.ttsavail, app->map.extramaps) = std::tuple(s.tts, s.extra);
    ASSERT_TRUE(savecfg(*app)) << c.guards;
    const std::string label = s.nodest != 0 ? "NULL" : s.label;
    EXPECT_EQ(line(2), label.size() >= 24 ? label : text::left(label + std::string(24, ' '), 24))
        << c.guards << ": a value of 24 or more alone, a shorter one blank-filled";
    make();
    ASSERT_TRUE(readcfg(*app)) << c.guards;
    const Settings back{app->main.foundlabel,  app->nav.nodest,      app->main.gpsport, app->main.phoneport,
                        app->main.trafficport, app->gps.gpscorre,    app->gps.gpscorrn, app->main.platformkind,
                        app->gps.minhdgspd,    app->speech.ttsavail, app->map.extramaps};
    EXPECT_EQ(back.tie(), c.back.tie()) << c.guards;
  }
}

TEST_F(Config, ACorrectionKeepsItsMetresThroughEverySave) {
  // Read as metres / 1000 in single precision, a correction may lie a hair below its metre.
  const std::pair<int, const char*> cases[] = {
      {-127, "the first whole metre that rounding the km down loses"},
      {251, "and above zero"},
      {-2045, "a few km"},
      {32002, "where an allowance of a millimetre alone is too small"},
      {-999999, "the lowest seven columns hold"},
      {999999, "and the highest"},
      {0, "zero"},
      {1, "one metre"},
  };
  for (std::size_t k = 0; k < std::size(cases); k += 2) {
    const std::string east = text::str(cases[k].first), north = text::str(cases[k + 1].first);
    cfg({"=", "=", "=", "=", "=", "=", "=", east, north});
    ASSERT_TRUE(readcfg(*app));
    ASSERT_TRUE(savecfg(*app));
    EXPECT_EQ(text::left(line(8), 24), text::left(east + std::string(24, ' '), 24)) << cases[k].second;
    EXPECT_EQ(text::left(line(9), 24), text::left(north + std::string(24, ' '), 24)) << cases[k + 1].second;
  }
}

TEST_F(Config, ThePortLineIsSavedAsReadNotAsThePortInUse) {
  // A start with the receiver on COM10 unplugged: the port in use becomes NULL.
  copydemo();
  std::string demo = get("ZARN.CFG");
  demo.replace(demo.find("COM1  "), 6, "COM10 ");
  put("ZARN.CFG", demo);
  serial->missing = "COM10";
  Form_Load(*app, "");
  ASSERT_FALSE(serial->opened.empty());
  EXPECT_EQ(std::tuple(serial->opened[0], app->main.gpsport), std::tuple("COM10", "NULL")) << "COM10 was tried";
  ASSERT_TRUE(savecfg(*app));
  EXPECT_EQ(line(5), "COM10                   GPS com port COM1,COM2") << "the next start tries it again";
  // COMPORT.CFG's port is used, and ZARN.CFG keeps its own.
  put("COMPORT.CFG", "COM7\r\n");
  ASSERT_TRUE(readcfg(*app));
  EXPECT_EQ(app->main.gpsport, "COM7");
  ASSERT_TRUE(savecfg(*app));
  EXPECT_EQ(line(5).substr(0, 6), "COM10 ");
}

TEST_F(Config, LinesAreReadByTheirRules) {
  const Items dash(11, "=");  // lines 1 to 11 plain
  auto with = [&](std::size_t at, const std::string& l, const std::string& yes) {
    Items v = dash;
    v[at - 1] = l;
    v.push_back(yes);
    return v;
  };
  const std::tuple<const char*, Items, std::string, int, std::string, int> cases[] = {
      // guards, lines, label, nodest, port, tts
      {"a comment after the label is part of it", with(2, "Home    my comment", "Y"), "Home    my comment", 0, "COM1", 1},
      {"the port to its first blank; y in any case", with(5, "COM10   GPS port", "y"), "Knutsford", 0, "COM10", 1},
      {"a blank port value stays blank, comment or not", with(5, "        GPS port", "No"), "Knutsford", 0, "", 0},
      {"only a Y in column 1", with(2, "null", " Yes"), "null", 1, "COM1", 0},
  };
  for (const auto& [guards, lines, label, nodest, port, tts] : cases) {
    cfg(lines);
    ASSERT_TRUE(readcfg(*app));
    EXPECT_EQ(std::tuple(app->main.foundlabel, app->nav.nodest, app->main.gpsport, app->speech.ttsavail),
              std::tuple(label, nodest, port, tts))
        << guards;
  }
}

// The destination saved in ZARN.CFG is the found place until a search finds another: it is
// announced under its own label and prompt (lines 2 and 3), a destination clicked elsewhere is not.
TEST_F(Config, TheSavedDestinationIsAnnouncedUnderItsLabelAndPrompt) {
  copydemo();
  std::string demo = get("ZARN.CFG");
  demo.replace(demo.find("destinat.wav"), 12, "enddrive.wav");
  put("ZARN.CFG", demo);
  wavfile("enddrive.wav");
  Form_Load(*app, "");
  ASSERT_EQ(app->nav.destwav, "enddrive.wav");
  const auto announced = [&] {
    wav->played.clear();
    saydest(*app);
    const Items p = played();
    return std::tuple(app->speech.msgtext.substr(0, 17), p.empty() ? "" : p.front());
  };
  EXPECT_EQ(announced(), std::tuple("End of the drive ", "enddrive.wav"));
  // The same prompt for a destination clicked 2 km away.
  NavState& n = app->nav;
  const auto at = static_cast<std::size_t>(n.curdest);
  std::tie(n.destname[at], n.destwav) = std::tuple("SJ 79227 86523", "enddrive.wav");
  EXPECT_EQ(announced(), std::tuple("Destination  7 mi", "destinat.wav"));
}

// Writes of more than `bytes` bytes to a file fail (EFBIG, as on a full disk) while it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    prev_ = ::signal(SIGXFSZ, SIG_IGN);
    const rlimit lim{bytes, old_.rlim_max};
    ok_ = ::setrlimit(RLIMIT_FSIZE, &lim) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, prev_);
  }
  bool ok() const { return ok_; }

 private:
  rlimit old_{};
  sighandler_t prev_ = nullptr;
  bool ok_ = false;
};

TEST_F(Config, AFailedSaveIsShownAndTheOldFileStays) {
  enum How { fulldisk, folder, gone };  // ways that fail for root too
  const std::tuple<const char*, How, const char*> cases[] = {
      {"a full disk", fulldisk, "File too large"},
      {"ZARN.CFG is a folder", folder, "Is a directory"},
      {"the working folder is gone", gone, "No such file or directory"},
  };
  for (const auto& [guards, how, reason] : cases) {
    std::filesystem::remove_all(dir);
    make();
    const std::string oldname = how == folder ? "ZARN.CFG/old" : "ZARN.CFG";
    put(oldname, "old\r\n");
    bool saved = true;
    if (how == fulldisk) {
      const FileSizeLimit full(0);
      ASSERT_TRUE(full.ok());
      saved = savecfg(*app);
    } else {
      if (how == gone) std::filesystem::remove_all(dir);
      saved = savecfg(*app);
    }
    EXPECT_EQ(std::pair(saved, app->win.zarn.saytxt.caption),
              std::pair(false, std::string("ZARN.CFG not written: ") + reason))
        << guards;
    if (how == gone) continue;
    EXPECT_EQ(get(oldname), "old\r\n") << guards << ": the old file as it was";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1) << guards << ": nothing left beside it";
  }
}

}  // namespace
}  // namespace zarn::test
