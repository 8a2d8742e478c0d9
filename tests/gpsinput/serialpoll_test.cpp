// The serial poll: line assembly, where each line goes, replies and logging; and what is sent to
// initialise the receiver.
#include "gpsinput/checksum.h"
#include "gpsinput/gpseng.h"
#include "gpsinput/rxinit.h"
#include "gpsinput/serialpoll.h"
#include "gpstest.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

const std::string rmc = nmea("$GPRMC,120000.00,A,5321.44300,N,00218.82200,W,10.0,84.5,261020,,,");
const std::string gga = nmea("$GPGGA,120001.00,5321.44300,N,00218.82200,W,1,08,1.0,50.7,M,48.0,M,,");
const std::string gsv = nmea("$GPGSV,1,1,01,01,45,180,40");

class Poll : public GpsTest {
 protected:
  // Each text arrives in one poll of its own.
  void polls(std::initializer_list<std::string> chunks) {
    for (const auto& c : chunks) {
      serial->chunks.push_back(c);
      readcomms(*app);
    }
  }
  void openlog() {
    app->gps.triplog = platform::OutputFile::open(app->files, "LOG.NME", platform::OutputFile::Mode::Output);
    app->gps.logopen = 1;
  }
  std::string log() {
    app->gps.triplog->flush();
    return get("LOG.NME");
  }
  // A sentence as logged: its CR kept, then the log's own line end.
  static std::string logged(const std::string& s) { return s.substr(0, s.size() - 1) + "\r\n"; }
  std::string held() const { return std::string(app->gps.commline, 0, app->gps.commlinelen); }
};

TEST_F(Poll, LineAssembly) {
  const struct {
    const char* guards;
    std::string input, held, logged;  // held: what stays in the buffer; logged: as received, CR kept
  } cases[] = {
      {"a wrong checksum stays in the buffer until the next $",
       "$GPZDA,B,*0B\r\n", "$GPZDA,B,*0B\r\n", ""},
      {"the next $ drops it and starts afresh", "$GPZDA,B,*0B\r\n" + gsv, "\n", logged(gsv)},
      {"a $ restarting inside a sentence", "$GPRMC,1203" + gsv, "\n", logged(gsv)},
      {"a sentence ended by a bare LF", "$GPZDA,B,*0A\n", "", "$GPZDA,B,*0A\n\r\n"},
      {"a sentence ended by CR LF is taken once", "$GPZDA,B,*0A\r\n", "\n", "$GPZDA,B,*0A\r\r\n"},
      {"a sentence without a checksum is not taken", "$GPZDA,B,\r\n", "$GPZDA,B,\r\n", ""},
      {"200 characters without a line end empty the buffer and lose the 201st",
       "$" + std::string(199, 'x') + "yz", "z", ""},
      {"bytes above 127 and NUL are held like any other", std::string("$G\0\xff\x80", 5),
       std::string("$G\0\xff\x80", 5), ""},
      {"a % clears the buffer", "$GPGGA,12%ab", "%ab", ""},
      {"without TAIP a > is stored", "$GP>x", "$GP>x", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    fresh();
    openlog();
    polls({c.input});
    EXPECT_EQ(held(), c.held);
    EXPECT_EQ(log(), c.logged);
    EXPECT_EQ(app->gps.commline.size(), 200u);
  }
}

TEST_F(Poll, LinesCompleteWithoutALineEnd) {
  // A 35-character "$GPN0." line is parsed at its 35th character.
  polls({"$GPN0.000000053 21.44 N002 18.82 W "});
  EXPECT_EQ(held(), "");
  EXPECT_NEAR(app->gps.ownlat, 53 + 21.44 / 60, 1e-5);

  // TAIP: with TAIP.CFG a ">" starts the line and the "<" ends it.
  app->gps.taipon = 1;
  polls({"junk>RPV00000+5150000-00010000030090;ID=1<"});
  EXPECT_NEAR(app->gps.ownlat, 51.5, 1e-5);
  EXPECT_EQ(held(), "");

  // A direction-finder line ends at its first "." or its 7th character.
  polls({"%12.3"});
  EXPECT_EQ(held(), "3");
  polls({"%12345"});
  EXPECT_EQ(held(), "%12345");
  polls({"6"});
  EXPECT_EQ(held(), "");
}

TEST_F(Poll, ModemRepliesInOwnGpsMode) {
  polls({"OK\r\n"});
  EXPECT_EQ(app->gps.modemok, 1);
  polls({"xx NO DIALTONE\r\n"});
  EXPECT_EQ(app->gps.modemnodial, 1);
  polls({"$CONNECT 9600\r"});  // a line starting "$" is no modem reply
  EXPECT_EQ(app->gps.modemconnect, 0);
  polls({"\nBUSY\r"});
  EXPECT_EQ(app->gps.modembusy, 0);  // the LF of the line before is held in front of it
  polls({"$" "\rBUSY\r"});
  EXPECT_EQ(app->gps.modembusy, 0);
}

TEST_F(Poll, LogFilterAndPositionLines) {
  openlog();
  app->gps.logprefix = "RMCGGAGSV";
  clock->set({2020, 10, 26, 9, 5, 7, 0});
  polls({gga + rmc + gsv + nmea("$GPGSA,A,3")});
  const std::string l = log();
  EXPECT_EQ(l.find("$GPRMC"), std::string::npos);
  EXPECT_NE(l.find(logged(gga)), std::string::npos);
  EXPECT_NE(l.find(logged(gsv)), std::string::npos);
  EXPECT_EQ(l.find("$GPGSA"), std::string::npos);
  EXPECT_NE(l.find("10-26-2020 09:05:07 SJ "), std::string::npos) << l;
}

TEST_F(Poll, WhatRefreshesTheTimeOfTheLastData) {
  app->main.chaseon = 1;
  app->main.chasesent = "$GPRMC";
  clock->settimer(100);
  polls({rmc});
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 0);  // the chased unit's sentences are not ours
  polls({gsv});
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 0);
  polls({gga});
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 100);
}

TEST_F(Poll, CallSignInFrontOfASentence) {
  openlog();
  app->gps.callsep = ">";
  polls({"G4ABC-1>APRS:" + gga});
  EXPECT_EQ(app->gps.callsign, "G4ABC-1");
  EXPECT_EQ(app->win.get<GpsEngForm>().callsgn.caption, "callsign=G4ABC-1");
  EXPECT_EQ(log().substr(0, 15), "G4ABC-1>APRS:\r\n");
  EXPECT_FLOAT_EQ(app->gps.ownalt, 50.7f);
}

TEST_F(Poll, InputDuringStartUpIsDropped) {
  app->main.starting = 1;
  polls({gga});
  EXPECT_EQ(app->gps.linkdata, 1);
  EXPECT_EQ(held(), "");
  EXPECT_FLOAT_EQ(app->gps.ownalt, 0);
}

TEST_F(Poll, APollInsideAWaitKeepsTheOrderOfArrival) {
  openlog();
  // The parser lets events run after each sentence; a poll started there must not put its
  // input in front of what the first poll still holds.
  bool once = true;
  events->hook = [&] {
    if (!once) return;
    once = false;
    serial->chunks.push_back(gsv);
    readcomms(*app);
  };
  polls({rmc + gga});
  events->hook = nullptr;
  const std::string l = log();
  const auto a = l.find("$GPRMC"), b = l.find("$GPGGA"), c = l.find("$GPGSV");
  ASSERT_NE(c, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
}

TEST_F(Poll, RockwellInitialisationSentencesAndTheTimeAtTheStoredLongitude) {
  const struct {
    const char* guards;
    const char* pos;   // INITROCK.CFG, or null
    int hour;          // local time hh:05:15 on 26 October 2020
    const char* sent;  // the position sentence without its checksum
  } cases[] = {
      {"no INITROCK.CFG: 104 E, 7 hours ahead", nullptr, 12,
       "$PRWIINIT,V,,,0100.0000,N,10400.0000,E,,,,,,050515,261020"},
      {"7 degrees 30 minutes east: only the degrees count", "513000N0073000E", 0,
       "$PRWIINIT,V,,,5130.0000,N,00730.0000,E,,,,,,000515,261020"},
      {"45 degrees west: three hours later", "513000N0450000W", 0,
       "$PRWIINIT,V,,,5130.0000,N,04500.0000,W,,,,,,030515,261020"},
      {"across midnight the date is the next day's", "513000N0900000W", 0,
       "$PRWIINIT,V,,,5130.0000,N,09000.0000,W,,,,,,060515,261020"},
      {"and back into the day before", "010000N1650000E", 0,
       "$PRWIINIT,V,,,0100.0000,N,16500.0000,E,,,,,,130515,251020"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    serial->sent.clear();
    if (c.pos) put("INITROCK.CFG", std::string(c.pos) + ",rest\r\n");
    clock->set({2020, 10, 26, c.hour, 5, 15, 0});
    initrockwell(*app);
    const auto s = platform::splitlines(serial->sent);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].substr(0, s[0].find('*')), "$PRWIINIT,???,V,,,");
    EXPECT_EQ(s[1], "$PRWIINIT,VTG,A,,,*2E");
    EXPECT_EQ(s[4].substr(0, s[4].find('*')), c.sent);
    for (const auto& l : s) EXPECT_TRUE(nmeacheck(l).ok && l.size() - l.find('*') == 3) << l;
  }
  const auto out = platform::splitlines(get("INITROCK.OUT"));
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out[0], "sent $PRWIINIT,V,,,0100.0000,N,16500.0000,E,,,,,,130515,251020");
  EXPECT_EQ(out[1], "based on 010000N1650000E and 00:05:15 10-26-2020 from clock");
  EXPECT_EQ(out[2], " 11  hours ahead of GMT / UCT");
  EXPECT_EQ(app->gps.rxprefix, "\r\n");
}

TEST_F(Poll, ReceiverAskingForAstralIsInitialised) {
  polls({"ASTRAL\r"});
  EXPECT_EQ(app->gps.astral, 1);
  EXPECT_EQ(serial->sent.substr(0, 7), "ASTRAL\r") << "the command first";
  EXPECT_EQ(platform::splitlines(serial->sent.substr(7)).size(), 5u) << "then the Rockwell initialisation";
}

TEST_F(Poll, FileLink) {
  app->gps.filelink = 1;
  put("ZARN.LLD", gga + "second line\r\n");
  readcomms(*app);
  EXPECT_FLOAT_EQ(app->gps.ownalt, 0);  // no flag file: nothing read
  put("ZARN.LLF", "");
  clock->settimer(50);
  readcomms(*app);
  EXPECT_FLOAT_EQ(app->gps.ownalt, 50.7f);
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 50);
  EXPECT_FALSE(has("ZARN.LLF"));
  EXPECT_EQ(app->gps.rxstate, 1);  // the watch ran
  std::filesystem::remove(dir / "ZARN.LLD");
  put("ZARN.LLF", "");
  readcomms(*app);
  EXPECT_FALSE(has("ZARN.LLF"));
}

TEST_F(Poll, MultiVehicleFraming) {
  app->main.mvmode = 1;
  app->gps.datatrakon = 1;
  clock->settimer(10);
  polls({"~" + std::string(27, '1')});
  EXPECT_EQ(app->gps.datatrakseen, 1);
  EXPECT_EQ(held().size(), 28u);
  polls({"2"});  // the 29th character completes the record, no CR needed
  EXPECT_EQ(held(), "");
  EXPECT_EQ(app->gps.protocode, 8);
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 10);

  // A dialled-in binary record: its length comes first, then it is read to that length
  // whatever it holds.
  app->gps.datatrakseen = 0;
  app->gps.mvdatamode = 2;
  app->gps.reportmode = 3;
  app->gps.protocode = 8;
  polls({"\n"});
  EXPECT_EQ(app->gps.reportmode, 4);
  polls({std::string("\x01\r\x02\x03\x04\r\x05", 7)});
  EXPECT_EQ(app->gps.reportmode, 4);
  polls({"\x06"});
  EXPECT_EQ(app->gps.reportmode, 0);
  EXPECT_EQ(held(), "");
}

TEST_F(Poll, SatelliteTerminalDialogue) {
  app->main.mvmode = 1;
  app->veh.csatuser = "user";
  app->veh.csatpass = "secret";
  app->gps.csatstate = 1;
  polls({"CONNECT 2400\r"});
  EXPECT_EQ(app->gps.modemconnect, 1);
  EXPECT_EQ(app->win.get<MvAlarmForm>().telstat.caption, "Connection made");
  polls({"Welcome to BT CSAT\r"});
  EXPECT_EQ(app->gps.csatstate, 2);
  polls({"username: "});
  EXPECT_EQ(serial->sent, "user\r");
  polls({"password: "});
  EXPECT_EQ(serial->sent, "user\rsecret\r");
  polls({"\r\n> "});
  EXPECT_EQ(app->gps.csatstate, 3);
  EXPECT_EQ(app->win.get<MvForm>().telstat.caption, "BT CSAT >");
  polls({"anything"});
  EXPECT_EQ(held(), "");

  app->gps.csatstate = 1;
  polls({"Your reference number 12345\r"});
  EXPECT_EQ(app->gps.csatstate, 5);
  EXPECT_EQ(app->win.get<MvForm>().telstat.caption, " 12345 sent");
  app->gps.csatstate = 1;
  polls({"unit cannot be reached\r"});
  EXPECT_EQ(app->gps.csatstate, 6);
  EXPECT_EQ(app->win.get<MvForm>().telstat.backcolor, ui::red);
}

}  // namespace
}  // namespace zarn::test
