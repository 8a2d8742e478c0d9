// The single-key commands: every key with what it changes or calls, the dispatch around them
// (upper-casing, Space, the busy guard) and the key file in front of them.
#include <functional>

#include "gpsinput/gpseng.h"
#include "gpsinput/fform.h"
#include "mainwindow/cform.h"
#include "mainwindow/keys.h"
#include "mainwindow/onekey.h"
#include "mainwindow/secondary.h"
#include "navigation/iform.h"
#include "speech/queue.h"
#include "support/app_fixture.h"
#include "support/builders.h"
#include "vehicles/dialforms.h"

namespace zarn::test {
namespace {

constexpr char ctrl(char c) { return static_cast<char>(c - '@'); }

class OneKey : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    app->speech.talkon = 1;
    app->main.gpsport = "COM1";
    for (const char* w : {"ok.wav", "balloon.wav", "car.wav", "kilomets.wav", "nautical.wav", "miles.wav", "okquiet.wav",
                          "hello.wav", "THETIMEI.WAV", "altisnot.wav"})
      wavfile(w);
  }
  void keys(const std::string& ks) {
    for (char c : ks) onekeycmd(*app, std::string(1, c));
  }
  bool saidsome(const std::string& item) const {
    for (const auto& p : played())
      if (p == item) return true;
    return false;
  }
};

// Each row: the keys pressed after its set-up, and what must hold afterwards. The rows run on a
// fresh application each.
TEST_F(OneKey, EveryKeyOfTheThreeTablesDoesItsCommand) {
  using Fn = std::function<void(App&)>;
  using Check = std::function<bool(App&)>;
  struct Row {
    const char* guards;
    Fn before;
    std::string keys;
    Check after;
  };
  const auto own = [](App& a, float x, float y) {  // the last fix 1 km north-east of the car
    ownfixat(a, x, y);
    lastfix(a, 372, 382);
  };
  const Row rows[] = {
      // Before the repeatable part.
      {"V moves the car onto the found place and the difference into the correction",
       [&](App& a) { own(a, 371, 381), a.main.foundref = "SJ 70000 80000"; }, "V",
       [this](App& a) {
         return a.gps.ownx == 370 && a.gps.owny == 380 && a.gps.gpscorre == -1 && a.gps.gpscorrn == -1 &&
                saidsome("ok.wav");
       }},
      {"V with no own position beeps and moves nothing", [](App& a) { a.main.foundref = "SJ 70000 80000"; },
       "v", [this](App& a) { return wav->beeps == 1 && a.gps.gpscorre == 0 && a.gps.ownx == noposx; }},
      {"V with an unreadable found place beeps and moves nothing",
       [&](App& a) { own(a, 371, 381), a.main.foundref = "Knutsford"; }, "V",
       [this](App& a) { return wav->beeps == 1 && a.gps.gpscorre == 0 && a.gps.ownx == 371; }},
      {"K gives back the configured correction and the last fix",
       [&](App& a) { own(a, 371, 381), a.main.cfgcorre = 0.5f, a.gps.gpscorre = 3; }, "K",
       [](App& a) { return a.gps.gpscorre == 0.5f && a.gps.ownx == 372 && a.gps.owny == 382; }},
      {"D makes the found place the destination", [](App& a) {
         a.nav.nodest = 1, a.main.foundref = "SJ 70000 80000", a.main.foundx = 370, a.main.foundy = 380;
         a.main.foundlabel = "Mill";
       }, "D", [](App& a) { return a.nav.nodest == 0 && a.win.zarn.symlab.caption.empty(); }},
      {"D without a found place is no command", [](App& a) { a.nav.nodest = 1; }, "D",
       [](App& a) { return a.nav.nodest == 1 && a.win.zarn.showcmd.caption == "D"; }},
      {"Ctrl+D clears the destination and the found place",
       [](App& a) { a.nav.nodest = 0, a.main.foundx = 370, a.win.zarn.sym.visible = true; },
       std::string(1, ctrl('D')),
       [](App& a) {
         return a.nav.nodest == 1 && a.main.foundx == noposx && !a.win.zarn.sym.visible &&
                a.win.get<IForm>().etalab.caption == "?";
       }},
      {"A says the last sentence again", [](App& a) { a.speech.lastsentence = {"hello.wav"}; }, "A",
       [this](App&) { return played() == Items{"hello.wav"}; }},
      // Control keys and the first symbols.
      {"_ shows the instruments, again hides them", nullptr, "_",
       [](App& a) { return a.win.get<IForm>().visible; }},
      {"_ twice", nullptr, "__", [](App& a) { return !a.win.get<IForm>().visible; }},
      {"Ctrl+A shows the playback window", nullptr, std::string(1, ctrl('A')),
       [](App& a) { return a.win.get<FForm>().visible && a.main.playback == 1; }},
      {"Ctrl+E engages playback", nullptr, std::string(1, ctrl('E')),
       [](App& a) { return a.main.playback == 1; }},
      {"! without rotated maps: a beep, rotation stays off", nullptr, "!",
       [this](App& a) { return wav->beeps == 1 && a.map.headingup == 0 && a.speech.msgtext == "Map Rotation OFF"; }},
      {"! from off with 8 sectors: on with 8", [](App& a) { a.map.maxrotsect = 8; }, "!",
       [](App& a) { return a.map.headingup == 1 && a.map.rotsectors == 8 && a.speech.msgtext == "Map Rotation ON   8"; }},
      {"! four times from off: 8, 4, 2, off", [](App& a) { a.map.maxrotsect = 8; }, "!!!!",
       [](App& a) { return a.map.headingup == 0 && a.speech.msgtext == "Map Rotation OFF"; }},
      {"! with 6 sectors steps to 4, 2 and off", [](App& a) { a.map.maxrotsect = 6; }, "!!!",
       [](App& a) { return a.map.headingup == 1 && a.map.rotsectors == 2; }},
      {"! with 6 sectors, a fourth press turns it off", [](App& a) { a.map.maxrotsect = 6; }, "!!!!",
       [](App& a) { return a.map.headingup == 0; }},
      {"$ twice: the map maker on, then off with its message", nullptr, "$$",
       [](App& a) { return a.map.automapon == 0 && a.speech.msgtext == "Not using CD-ROM via RomShelf"; }},
      {"Ctrl+C shows the control panel", nullptr, std::string(1, ctrl('C')),
       [](App& a) { return a.win.get<CForm>().visible; }},
      {"Ctrl+V scales the layout", nullptr, std::string(1, ctrl('V')),
       [](App& a) { return a.main.scalelayout == 1; }},
      {"Ctrl+Z stretches the maps", nullptr, std::string(1, ctrl('Z')), [](App& a) { return a.map.mapzoom == 1; }},
      {"Ctrl+U three times: UTM, MGRS, the grid again", nullptr, std::string(3, ctrl('U')),
       [](App& a) { return a.geo.utmmode == 0; }},
      {"Ctrl+U once: UTM", nullptr, std::string(1, ctrl('U')), [](App& a) { return a.geo.utmmode == 1; }},
      {"Tab initialises the receiver", nullptr, "\t",
       [this](App&) { return serial->sent.find("$PRWIINIT") != std::string::npos; }},
      {"Ctrl+P shows the dial-out window", nullptr, std::string(1, ctrl('P')),
       [](App& a) { return a.win.get<DialForm>().visible; }},
      {"Ctrl+L without ZARN.LDR beeps", nullptr, std::string(1, ctrl('L')),
       [this](App& a) { return wav->beeps == 1 && a.main.ldron == 0; }},
      {"Ctrl+L with ZARN.LDR shows the key pad in lesson mode",
       [this](App&) { put("ZARN.LDR", "1\r\nKEY0.BMP,Mirror,x\r\n"); }, std::string(1, ctrl('L')),
       [](App& a) { return a.main.ldron == 1 && a.win.get<KForm>().visible; }},
      {"Ctrl+X beeps twice", nullptr, std::string(1, ctrl('X')), [this](App&) { return wav->beeps == 2; }},
      // Printable commands.
      {"? opens the help", nullptr, "?", [](App& a) { return a.win.zarn.Help.visible; }},
      {"\\ steps the platform to the balloon and says so", nullptr, "\\",
       [this](App& a) { return a.main.platformkind == 1 && saidsome("balloon.wav"); }},
      {"\\ three times is the car again", nullptr, "\\\\\\",
       [this](App& a) { return a.main.platformkind == 0 && saidsome("car.wav"); }},
      {"' says the altitude, with speech off too", [](App& a) { a.speech.talkon = 0; }, "'",
       [this](App& a) { return saidsome("altisnot.wav") && a.speech.talkon == 0; }},
      {"L before any position", nullptr, "L", [](App& a) { return a.speech.msgtext == "No position yet"; }},
      {"G before any position", nullptr, "G", [](App& a) { return a.speech.msgtext == "No position yet"; }},
      {"O asks the first question", nullptr, "O", [](App& a) { return a.main.askstate == -1; }},
      {"O, N: the first report question", nullptr, "ON", [](App& a) { return a.main.askstate == 2 && a.main.repint[1] == 0; }},
      {"O, Y: the same things as before", [](App& a) { a.main.repint[1] = 45; }, "OY",
       [](App& a) { return a.main.askstate == 0 && a.main.repint[1] == 45; }},
      {"O then U: U is no answer and not carried out", nullptr, "OU",
       [](App& a) { return a.main.metric == 0 && a.main.askstep == 1; }},
      {"U: kilometres", nullptr, "U", [this](App& a) { return a.main.metric == 1 && saidsome("kilomets.wav"); }},
      {"U twice: nautical miles", nullptr, "UU",
       [this](App& a) { return a.main.nautical == 1 && a.main.metric == 0 && saidsome("nautical.wav"); }},
      {"U three times: miles again", nullptr, "UUU",
       [this](App& a) { return a.main.nautical == 0 && a.main.metric == 0 && saidsome("miles.wav"); }},
      {"H makes home the destination", [](App& a) { a.nav.nodest = 1, a.main.nohome = 1; }, "H",
       [](App& a) { return a.nav.nodest == 0 && a.main.nohome == 0 && a.win.zarn.home.visible; }},
      {"& starts the viewer", nullptr, "&",
       [this](App& a) { return programs->started.size() == 1 && a.speech.msgtext == "Test Run PICVIEWR.EXE"; }},
      {"% opens a trip log, % again closes it", nullptr, "%%",
       [](App& a) { return a.gps.logopen == 0 && a.speech.msgtext == "I have stopped recording GPS data."; }},
      {"^ shows the engineering window on top", nullptr, "^",
       [](App& a) { return a.win.get<GpsEngForm>().visible && a.win.get<GpsEngForm>().topmost; }},
      {") turns the map choice off", nullptr, ")", [](App& a) { return a.map.automaps == 0; }},
      {"Z asks for the next larger scale", nullptr, "Z", [](App& a) { return a.map.minscale == 0.0001f; }},
      {"X lets any scale be chosen", [](App& a) { a.map.minscale = 5; }, "X",
       [](App& a) { return a.map.minscale == 0; }},
      {"/ swaps the reference and restarts the name list", [](App& a) { a.main.hitcount = 4; }, "/",
       [](App& a) { return a.main.hitcount == 0 && a.main.refname != "OUR CAR"; }},
      {"/ at a base station: the map stays on the selected vehicle, as said", [](App& a) { a.main.mvmode = 1; }, "/",
       [](App& a) { return a.main.refname == "OUR CAR" && a.main.refdest == 0 && a.speech.msgtext == "Our car"; }},
      {"+ and - step the search lists",
       [](App& a) { a.main.fndcount = 3, a.main.searchidx = 1; }, "++-",
       [](App& a) { return a.main.searchidx == 2; }},
      {"Enter runs the typed command and leaves typing", [](App& a) { a.main.typingmode = 1; }, "\r",
       [](App& a) { return a.main.typingmode == 0 && !a.win.zarn.search.visible; }},
      {"( writes ZARN.CFG with speech on, naming it", [](App& a) { a.speech.talkon = 0; }, "(",
       [this](App& a) {
         return has("ZARN.CFG") && a.speech.talkon == 1 && a.speech.msgtext == "OK Saving Configuration in ZARN.CFG";
       }},
      {". resets the trip", [](App& a) { a.nav.tripkm = 12; }, ".", [](App& a) { return a.nav.tripkm == 0; }},
      {"* starts the demo", nullptr, "*", [](App& a) { return a.main.demoon == 1; }},
      {"| stops it", [](App& a) { a.main.demoon = 1; }, "|",
       [](App& a) { return a.main.demoon == 0 && a.win.zarn.modebox.caption == "OLD"; }},
      {"Q: quiet after saying so", nullptr, "Q",
       [this](App& a) { return a.speech.talkon == 0 && a.speech.talkstop == 1 && saidsome("okquiet.wav"); }},
      {"B: the default language", [](App& a) { a.speech.langprefix = "DE", a.speech.syntaxmode = 1; }, "B",
       [this](App& a) { return a.speech.langprefix.empty() && a.speech.syntaxmode == 0 && saidsome("hello.wav"); }},
      {"C says the time", nullptr, "C", [this](App&) { return saidsome("THETIMEI.WAV"); }},
      {"> replays faster", nullptr, ">", [](App& a) { return a.main.stepsecs == 0.5f; }},
      {"< replays slower", nullptr, "<<", [](App& a) { return a.main.stepsecs == 4.0f; }},
      {"M with nothing to tell", nullptr, "M",
       [](App& a) { return a.speech.msgtext == "more information is not available"; }},
      {"W before any position", nullptr, "W", [](App& a) { return a.speech.msgtext == "No position yet"; }},
      {"R with no railway list", nullptr, "R",
       [](App& a) { return a.speech.msgtext == "I can't find Railway Station "; }},
      {"a key of no command is only shown", nullptr, "~",
       [](App& a) { return a.win.zarn.showcmd.caption == "~"; }},
  };
  for (const Row& r : rows) {
    make();
    if (r.before) r.before(*app);
    keys(r.keys);
    EXPECT_TRUE(r.after(*app)) << r.guards << " (message: " << app->speech.msgtext << ")";
    EXPECT_EQ(std::tuple(app->main.sentencemode, app->main.demokey), std::tuple(0, 0)) << r.guards;
  }
}

TEST_F(OneKey, KeysAreUpperCasedAndSpaceRepeatsTheLastRepeatableKey) {
  keys("u");
  EXPECT_EQ(app->main.metric, 1) << "u is U";
  keys(" ");
  EXPECT_EQ(app->main.nautical, 1) << "Space repeats U";
  app->main.foundref = "SJ 70000 80000";
  ownfixat(*app, 371, 381);
  keys("V ");  // V ends before it is remembered: Space repeats U again
  EXPECT_EQ(std::tuple(app->main.metric, app->main.nautical), std::tuple(0, 0));
  keys("K ");
  EXPECT_EQ(std::tuple(app->main.metric, app->main.nautical), std::tuple(1, 0)) << "nor K";
  put("ZARN.LOC", "SJ 70000 80000,One\r\nSJ 71000 80000,Two\r\n");
  keys("1 ");
  EXPECT_EQ(std::tuple(app->main.metric, app->main.locnum), std::tuple(0, 0)) << "nor digits; Space ends the number";
  app->gps.nmealog = 1;
  keys(" ");
  EXPECT_EQ(app->main.metric, 0) << "while recording, Space marks the position and repeats nothing";
  EXPECT_NE(get("NEW.NME").find("$GPRMC"), std::string::npos);
}

TEST_F(OneKey, AKeyArrivingWhileACommandRunsOnlyPlaysTheQueueAndClearsTheFlags) {
  // A command is busy (its flags set) and has queued a prompt when a key arrives.
  const auto late = [&](const char* k) {
    std::tie(app->main.sentencemode, app->main.demokey) = std::tuple(1, 1);
    queuewav(app->voice, "hello.wav");
    wav->played.clear();
    onekeycmd(*app, k);
    return std::tuple(app->main.metric, app->main.sentencemode, app->main.demokey, played());
  };
  const int metric = app->main.metric;
  EXPECT_EQ(late("U"), std::tuple(metric, 0, 0, Items{"hello.wav"})) << "U not carried out";
  EXPECT_EQ(late("X"), std::tuple(metric, 0, 0, Items{"hello.wav"})) << "nor X";
  const auto q = late("Q");
  EXPECT_EQ(std::tuple(std::get<1>(q), std::get<2>(q)), std::tuple(0, 0)) << "Q is carried out and ends as every key";
  EXPECT_TRUE(app->speech.talkstop == 1 && saidsome("okquiet.wav")) << "Q did its work";

  // The keys arrive while the first command is still speaking: its queue plays on, and it
  // finishes with the flags the late key cleared.
  std::vector<std::tuple<int, int, int>> seen;  // metric, sentencemode, demokey after the late key
  std::tie(app->speech.talkon, app->speech.talkstop) = std::tuple(1, 0);
  bool pressed = false;
  events->hook = [&] {
    if (pressed || app->main.sentencemode != 1) return;
    pressed = true;  // once: the late key's own queue lets events run too
    app->main.demokey = 1;
    onekeycmd(*app, "U");
    seen.emplace_back(app->main.metric, app->main.sentencemode, app->main.demokey);
  };
  keys("U");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::tuple(app->main.metric, 0, 0)) << "the late U dropped, the flags cleared";
  EXPECT_NE(app->main.metric, metric) << "the first U did its work";
  EXPECT_EQ(std::tuple(app->main.sentencemode, app->main.demokey), std::tuple(0, 0));
}

TEST_F(OneKey, TheKeyFileRenamesChainsAndSendsAndStopsWhereTheFileEnds) {
  app->main.kcfon = 1;
  struct Row {
    const char* guards;
    std::string kcf, key;
    std::string shown, sent;
    float lastsent;
  };
  const Row rows[] = {
      {"A to B then B to C: A acts as C", "2\r\nA,B,\r\nB,C,\r\n", "a", "C", "", 0},
      {"the other order: A acts as B", "2\r\nB,C,\r\nA,B,\r\n", "A", "B", "", 0},
      {"codes for keys: Escape becomes Q", "1\r\n27,Q,\r\n", "\x1b", "Q", "", 0},
      {"lower-case from-keys never match", "1\r\nx,Z,\r\n", "x", "X", "", 0},
      {"! sends a carriage return and notes the time", "1\r\nT,T,ATD123!\r\n", "T", "T", "ATD123\r", 43200},
      {"plain text goes as it is", "1\r\nT,T,\"hello, you\"\r\n", "T", "T", "hello, you", 0},
      {"a count beyond the records ends at the end of the file", "99\r\nT,W,\r\n", "T", "W", "", 0},
  };
  for (const Row& r : rows) {
    make();
    app->main.kcfon = 1;
    app->main.gpsport = "COM1";
    put("ZARN.KCF", r.kcf);
    onekeycmd(*app, r.key);
    EXPECT_EQ(std::tuple(app->win.zarn.showcmd.caption, serial->sent, app->main.lastsent),
              std::tuple(r.shown, r.sent, r.lastsent)) << r.guards;
  }
  make();
  app->main.kcfon = 1;
  put("ZARN.KCF", "1\r\nH,H,+++\r\n");
  const float t0 = app->timer();
  onekeycmd(*app, "H");
  EXPECT_EQ(std::tuple(serial->dtr, serial->sent), std::tuple(std::vector<bool>{false, true}, "+++")) << "hung up first";
  EXPECT_GE(app->timer() - t0, 4.0f) << "3 s without DTR, 1 s after";
  make();
  app->main.kcfon = 1;
  app->main.gpsport = "NULL";
  put("ZARN.KCF", "1\r\nT,W,ATD!\r\n");
  onekeycmd(*app, "T");
  EXPECT_EQ(std::tuple(app->win.zarn.showcmd.caption, serial->sent), std::tuple("W", "")) << "no port: renamed, not sent";
}

}  // namespace
}  // namespace zarn::test
