// The vehicle window: its switches, a row click, Send Now with its queue and ABORT, the dial-up
// data call, logging that keeps what was logged, and chase mode.
#include "gpsinput/logs.h"
#include "calls.h"
#include "speech/queue.h"
#include "vehicles/alerts.h"
#include "vehicles/chase.h"

namespace zarn::test {
namespace {

using MvWindow = Calls;

TEST_F(MvWindow, EachSwitchFlipsItsSettingAndItsLabel) {
  struct Case {
    const char* guards;
    ui::Button MvForm::*button;
    ui::Label MvForm::*label;
    std::function<int(App&)> flag;
    std::vector<std::tuple<int, std::string, ui::Colour>> clicks;  // after each click: flag, caption, colour
  };
  const Case cases[] = {
      {"alarm sounds cycle 3, 0, 1, 2, 3", &MvForm::asoundsc, &MvForm::asoundst, [](App& a) { return a.veh.alarmsound; },
       {{0, "No alarm sounds", ui::white}, {1, "Alarm sounds only", ui::white}, {2, "Alarm speech only", ui::white},
        {3, "Alarm sound+speech", ui::white}}},
      {"automatic selection", &MvForm::autoselon, &MvForm::autoselab, [](App& a) { return int(a.veh.mvautosel); },
       {{0, "Auto Selection OFF", ui::lightgrey}, {1, "Auto Selection ON", ui::green}}},
      {"new vehicles", &MvForm::nonewc, &MvForm::nonewl, [](App& a) { return int(a.veh.nonewmv); },
       {{1, "ignore new vehicles", ui::white}, {0, "add new vehicles", ui::white}}},
      {"all data logged", &MvForm::whatlog, &MvForm::whatlab, [](App& a) { return int(a.gps.logall); },
       {{1, "All data logged", ui::white}, {0, "Minimum data logged", ui::white}}},
      {"overlay", &MvForm::pic, &MvForm::pictxt, [](App& a) { return a.nav.routeshown; },
       {{1, "Overlay ON", ui::green}, {0, "Overlay OFF", ui::lightgrey}}},
      {"printing", &MvForm::printlabon, &MvForm::printlab, [](App& a) { return int(a.gps.printon); },
       {{1, "Printing ON", ui::green}, {0, "Printing OFF", ui::lightgrey}}},
  };
  for (const auto& c : cases) {
    make();
    app->veh.mvautosel = true;
    for (const auto& [flag, caption, colour] : c.clicks) {
      (mv().*c.button).onClick();
      const ui::Label& l = mv().*c.label;
      EXPECT_EQ(std::tuple(c.flag(*app), l.caption, l.backcolor), std::tuple(flag, caption, colour)) << c.guards;
    }
  }
  EXPECT_EQ(printer->lines, Items({"Printing on at 12:00:00 on 10-26-2020", "Printing OFF at 12:00:00 on 10-26-2020"}));
  mv().eng.onClick();
  EXPECT_TRUE(app->win.get<MvEngForm>().visible);
  mv().eng.onClick();
  EXPECT_FALSE(app->win.get<MvEngForm>().visible);
}

TEST_F(MvWindow, LoggingSwitchedOffAndOnAgainKeepsWhatWasLogged) {
  put("NEWTRIP.MVD", "earlier\r\n");
  for (const char* line : {"first", "second"}) {
    mv().loglabon.onClick();
    EXPECT_TRUE(app->gps.logopen && mv().loglab.caption == "Logging ON" && mv().loglab.backcolor == ui::green);
    writetriplog(app->gps, line);
    mv().loglabon.onClick();
    EXPECT_TRUE(!app->gps.logopen && mv().loglab.caption == "Logging OFF");
  }
  EXPECT_EQ(get("NEWTRIP.MVD"), "earlier\r\nfirst\r\nsecond\r\n");
}

TEST_F(MvWindow, ARowClickSelectsTheVehicleAsTheOwnPositionAndTheAddressee) {
  squares({{"SJ", 300, 300}});
  vehicle(*app, 1, {.label = "VAN1 "});
  vehicle(*app, 2, {.label = "LORRY", .x = 379.7f, .y = 384.6f, .spd = 30, .hdg = 90});
  app->veh.mvtotal = 2;
  app->veh.mvsel = 1;
  put("$MV$LORR.TXT", "Lorry with the generator\r\nsecond line\r\n");  // names cut to 8
  settalk(app->voice, 0);
  mv().mvdata[1].onClick();
  EXPECT_EQ(app->veh.mvsel, 2);
  EXPECT_EQ(std::tuple(mv().mvdata[0].backcolor, mv().mvdata[1].backcolor), std::tuple(ui::lightgrey, ui::white));
  EXPECT_EQ(mv().mtxadd.caption, "LORRY");
  EXPECT_NEAR(app->gps.ownspd, 48.3, 0.01) << "30 mph";
  EXPECT_EQ(std::tuple(app->gps.ownx, app->gps.owny, app->gps.ownhdg), std::tuple(379.7f, 384.6f, 90));
  EXPECT_EQ(app->speech.msgtext, "Lorry with the generator");
  mv().all.onClick();
  EXPECT_EQ(mv().mtxadd.caption, "ALL UNITS");

  // A click on an icon on the map selects as a row click does, and leaves the map where it is.
  for (int i = 0; i <= 2; ++i) app->win.zarn.mvim.load(i);
  wirevehiclewindows(*app);
  const int map = app->map.curmap;
  app->win.zarn.mvim[1].onClick();
  EXPECT_EQ(std::tuple(app->veh.mvsel, mv().mtxadd.caption, mv().mvdata[0].backcolor, app->map.curmap),
            std::tuple(1, "VAN1 ", ui::white, map));
}

// The vehicles window is the base station's panel for the whole of multi-vehicle mode.
TEST_F(MvWindow, ItsCloseBoxLeavesItUpInMultiVehicleMode) {
  for (int mode : {1, 0}) {
    app->main.mvmode = mode;
    mv().show();
    mv().hide(), mv().onClose();  // as the close box does
    EXPECT_EQ(mv().visible, mode == 1) << "mode " << mode;
  }
}

TEST_F(MvWindow, SendNowQueuesWhileACallRunsAndSaysWhenTheQueueIsFull) {
  const struct { const char* guards; std::string typed, queued, status; } cases[] = {
      {"one character gets a leading 0", "5", "ALL UNITS|CALL BASE|05", "Message Queued .."},
      {"three characters unchanged", "123", "ALL UNITS|CALL BASE|123", "Message Queued .."},
      {"control characters taken out", "1\r\n.S\x07", "ALL UNITS|CALL BASE|1.S", "Message Queued .."},
      {"the end-of-message line is refused", ".s\r\n", "", ""},
  };
  for (const auto& c : cases) {
    make();
    app->veh.callbusy = true;
    mv().mtx.text = c.typed;
    mv().sendnow.onClick();
    EXPECT_EQ(std::tuple(lastqueued(), alarm().telstat.caption), std::tuple(c.queued, c.status)) << c.guards;
  }
  EXPECT_EQ(mv().telstat.caption, "Not sent : .S ends a message");
  make();
  settalk(app->voice, 0);  // said whatever the speech setting
  fillqueue();
  app->veh.callbusy = true;
  mv().mtx.text = "7";
  mv().sendnow.onClick();
  EXPECT_EQ(app->gps.msgq.size(), GpsState::msgqmax) << "the 11th is refused";
  EXPECT_EQ(std::tuple(alarm().telstat.caption, app->speech.msgtext, wav->beeps),
            std::tuple("Message NOT Queued : queue full", "Message NOT Queued : queue full", 1));
}

TEST_F(MvWindow, ASecondSendNowDuringTheHangUpIsQueuedNotASecondCall) {
  mv().mtx.text = "12";
  int clicks = 0;
  std::size_t dtrs = 0;
  onpass = [&] {
    if (clicks++ != 3) return;
    EXPECT_TRUE(app->veh.callbusy) << "set from the start of the call";
    dtrs = serial->dtr.size();
    mv().sendnow.onClick();
    EXPECT_EQ(std::tuple(lastqueued(), alarm().telstat.caption, serial->dtr.size()),
              std::tuple("ALL UNITS|CALL BASE|12", "Message Queued ..", dtrs)) << "queued, no second hang-up";
  };
  mv().sendnow.onClick();
  EXPECT_GT(clicks, 3);
  EXPECT_FALSE(app->veh.callbusy || app->gps.abortflag);
  EXPECT_EQ(serial->dtr.front(), false);
}

TEST_F(MvWindow, EveryEndOfASendNowCallClearsTheBusyAndAbortFlags) {
  const struct { const char* guards; bool answers, abort; std::string status; } cases[] = {
      {"no modem", false, false, "no modem OK"},
      {"ABORT during the hang-up", true, true, "Call Aborted"},
  };
  for (const auto& c : cases) {
    make();
    answers = c.answers;
    int passes = 0;
    onpass = [&] {
      if (c.abort && ++passes == 5) mv().abort.onClick();
    };
    mv().mtx.text = "12";
    mv().sendnow.onClick();
    EXPECT_EQ(std::tuple(mv().telstat.caption, app->veh.callbusy, app->gps.abortflag, app->veh.aborting),
              std::tuple(c.status, false, false, false)) << c.guards;
  }
  make();
  app->gps.incall = 1;
  alarm().telstat.caption = "Connection made";
  mv().sendnow.onClick();
  EXPECT_EQ(std::tuple(alarm().telstat.caption, alarm().telstat.transparent, wav->beeps, serial->dtr.size()),
            std::tuple("Connection made", true, 1, 0u)) << "an incoming call: a beep, no call";
}

TEST_F(MvWindow, DialupDataDialsTheNumberAndEveryEndLeavesTheLinkListening) {
  mv().dialupdata.onClick();
  EXPECT_EQ(std::tuple(wav->beeps, serial->sent), std::tuple(1, "")) << "no number: a beep";
  const struct { const char* guards; bool abort; } cases[] = {{"to the end", false}, {"ABORT during the call", true}};
  for (const auto& c : cases) {
    make();
    app->veh.dialnumber = "0123456";
    app->veh.mvautosel = true;
    int passes = 0, nested = 0;
    onpass = [&] {
      ++passes;
      if (passes == 2) {
        EXPECT_EQ(app->gps.csatstate, CallState::dialling);
        mv().dialupdata.onClick();  // a second data call is refused
        nested = wav->beeps;
      }
      if (c.abort && passes == 6) mv().abort.onClick();
    };
    mv().dialupdata.onClick();
    EXPECT_EQ(nested, 1) << c.guards;
    EXPECT_EQ(serial->sent.find("ATDT0123456\r") != std::string::npos, !c.abort) << c.guards;
    EXPECT_EQ(std::tuple(app->gps.csatstate, app->gps.abortflag, app->veh.dialbusy, app->veh.mvautosel,
                         mv().autoselab.caption, mv().telstat.caption, app->gps.mvdatamode),
              std::tuple(CallState::idle, false, false, false, "Auto Selection OFF", "Hanging up ...", DataMode::message))
        << c.guards;
  }
}

// A dial-up data call sends nothing that waits in the queue: a message or an acknowledgement
// asked for during it is refused, said on its window and the message line, and nothing is
// queued; the alert and the typed code stay for when the line is free.
TEST_F(MvWindow, DuringADataCallAMessageOrAnAckIsRefusedNotQueued) {
  vehicle(*app, 1, {.label = "TAXI "});
  mvalertmsg(*app, 1, "01", "", "1412");
  app->veh.dialnumber = "0123456";
  mv().mtx.text = "12";
  std::string message, ack;
  int passes = 0, beeps = 0;
  onpass = [&] {
    if (++passes != 3) return;
    beeps = wav->beeps;
    mv().sendnow.onClick();
    message = mv().telstat.caption + "|" + app->speech.msgtext;
    alarm().ack.onClick();
    ack = alarm().telstat.caption + "|" + app->speech.msgtext;
    beeps = wav->beeps - beeps;
    mv().abort.onClick();
  };
  mv().dialupdata.onClick();
  EXPECT_EQ(message, "Message NOT sent : data call running|Message NOT sent : data call running");
  EXPECT_EQ(ack, "Ack NOT sent : data call running|Ack NOT sent : data call running");
  EXPECT_EQ(std::tuple(app->gps.msgq.size(), beeps, alarm().visible, alarm().txt.caption.substr(0, 5), mv().mtx.text),
            std::tuple(0u, 2, true, "01 at", "12"));
}

TEST_F(MvWindow, ChaseOffForgetsTheChasedUnitsHeader) {
  app->main.chasesent = "$PGRMC";
  app->main.chaseon = 0;
  chasetoggle(*app);
  EXPECT_EQ(std::tuple(app->main.chaseon, app->main.chasesent, app->main.refdest, app->main.refname, app->main.chaseicon),
            std::tuple(1, "$GPRMC", 1, "DESTINATION", "LCIRCLE.ICO"));
  chasetoggle(*app);
  EXPECT_EQ(std::tuple(app->main.chaseon, app->main.chasesent, app->main.refdest, app->main.refname),
            std::tuple(0, "", 0, "OUR CAR"));
}

}  // namespace
}  // namespace zarn::test
