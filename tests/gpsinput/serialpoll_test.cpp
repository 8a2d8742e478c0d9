// The serial poll (line assembly, where each line goes, replies, logging), what is sent to
// initialise the receiver, the GPS watch and the trip logs.
#include <utility>

#include "gpsinput/gpseng.h"
#include "mainwindow/takefix.h"
#include "gpsinput/logs.h"
#include "gpsinput/rxinit.h"
#include "gpsinput/serialpoll.h"
#include "gpstest.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

const std::string gsvbody = "$GPGSV,1,1,01,01,45,180,40";
const std::string rmc = nmea(rmcbody), gga = nmea(ggabody), gsv = nmea(gsvbody);

class Poll : public GpsTest {
 protected:
  // Each text arrives in one poll of its own.
  void polls(std::initializer_list<std::string> chunks) {
    for (const auto& c : chunks) {
      serial->chunks.push_back(c);
      readcomms(*app);
    }
  }
  std::string log() {
    app->gps.triplog->flush();
    return get("NEWTRIP.NME");
  }
  std::string held() const { return std::string(app->gps.commline, 0, app->gps.commlinelen); }
  // A tick of the GPS watch after the clock moved on; the message it left, which is then cleared.
  std::string tick(double seconds, bool withdata) {
    clock->advance(seconds);
    if (withdata) app->gps.lastgpstime = app->timer();
    gpswatch(*app);
    return std::exchange(app->speech.msgtext, "");
  }
  const std::string on = "I am receiving GPS data !", off = "I'm not receiving any GPS data";
};

// What the real logs through the pseudo-terminal do not show: what stays in the buffer.
TEST_F(Poll, LineAssembly) {
  const struct { const char* guards; std::string input, held, logged; } cases[] = {
      {"a wrong checksum stays in the buffer until the next $", "$GPZDA,B,*0B\r\n", "$GPZDA,B,*0B\r\n", ""},
      {"the next $ drops it and starts afresh", "$GPZDA,B,*0B\r\n" + gsv, "\n", gsv},
      {"a sentence ended by a bare LF", "$GPZDA,B,*0A\n", "", "$GPZDA,B,*0A\r\n"},
      {"200 characters without a line end empty the buffer and lose the 201st", "$" + std::string(199, 'x') + "yz",
       "z", ""},
      {"bytes above 127 and NUL are held like any other", std::string("$G\0\xff\x80", 5),
       std::string("$G\0\xff\x80", 5), ""},
      {"a % clears the buffer", "$GPGGA,12%ab", "%ab", ""},
      {"without TAIP a > is stored", "$GP>x", "$GP>x", ""},
  };
  for (const auto& c : cases) {
    fresh();
    newtrip(*app);
    polls({c.input});
    EXPECT_EQ(std::tuple(held(), log(), app->gps.commline.size()), std::tuple(c.held, c.logged, 200u)) << c.guards;
  }
}

TEST_F(Poll, LinesCompleteWithoutALineEnd) {
  app->gps.taipon = 1;  // TAIP: a ">" starts the line and the "<" ends it
  polls({"junk>RPV00000+5150000-00010000030090;ID=1<"});
  EXPECT_NEAR(app->gps.ownlat, 51.5, 1e-5);
  EXPECT_EQ(held(), "");
  // A direction-finder line ends at its first "." or its 7th character.
  for (const auto& [in, left] : {std::pair{"%12.3", "3"}, {"%12345", "%12345"}, {"6", ""}}) {
    polls({in});
    EXPECT_EQ(held(), left) << in;
  }
}

TEST_F(Poll, ModemRepliesInOwnGpsMode) {
  polls({"OK\r\n", "xx NO DIALTONE\r\n", "$CONNECT 9600\r", "\nBUSY\r", "$\rBUSY\r"});
  // A line starting "$" is no reply; nor one behind the LF of the line before.
  const auto& g = app->gps;
  EXPECT_EQ(std::tuple(g.modemok, g.modemnodial, g.modemconnect, g.modembusy), std::tuple(1, 1, 0, 0));
}

TEST_F(Poll, LogFilterPositionLinesAndCallSigns) {
  newtrip(*app);
  app->gps.logprefix = "RMCGGAGSV";
  app->gps.callsep = ">";
  at(*clock, "10-26-2020 09:05:07");
  polls({"G4ABC-1>APRS:" + gga + rmc + gsv + nmea("$GPGSA,A,3")});
  const std::string at = "10-26-2020 09:05:07 SJ 79228 84522\r\n";  // the position when the RMC came
  EXPECT_EQ(log(), "G4ABC-1>APRS:\r\n" + gga + at + gsv);
  EXPECT_EQ(app->win.get<GpsEngForm>().callsgn.caption, "callsign=G4ABC-1");
  EXPECT_FLOAT_EQ(app->gps.ownalt, 50.7f);
}

TEST_F(Poll, WhatRefreshesTheTimeOfTheLastData) {
  app->main.starting = 1;  // input during start-up is dropped, and the watch rests
  polls({gga});
  gpswatch(*app);
  EXPECT_EQ(std::tuple(app->gps.linkdata, held(), app->gps.ownalt, app->gps.rxstate), std::tuple(1, "", 0.0f, -1));
  app->main.starting = 0;
  app->main.chaseon = 1;
  app->main.chasesent = "$GPRMC";
  clock->settimer(100);
  polls({rmc, gsv});  // the chased unit's sentences are not ours
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 0);
  polls({gga});
  EXPECT_FLOAT_EQ(app->gps.lastgpstime, 100);
}

TEST_F(Poll, APollInsideAWaitKeepsTheOrderOfArrival) {
  newtrip(*app);
  // The parser lets events run after each sentence; a poll started there must not put its
  // input in front of what the first poll still holds.
  events->hook = [&] {
    if (serial->sent.empty()) {
      serial->sent = "polled";
      polls({gsv});
    }
  };
  polls({rmc + gga});
  events->hook = nullptr;
  EXPECT_EQ(log(), rmc + gga + gsv);
}

TEST_F(Poll, AnEndAskedDuringAFloodStopsTheReadingAndLogsWhatWasTakenIn) {
  newtrip(*app);
  std::string flood;
  for (int k = 0; k < 20000; ++k) flood += gsv;
  // The end is asked once 100 sentences have been logged, as a signal arrives during the flood.
  long asked = 0;
  events->ending = [&] {
    ++asked;
    return log().size() >= 100 * gsv.size();
  };
  polls({flood});
  const std::string got = log();
  // What was taken in is kept: the backlog reaches the trip log whole, without being worked
  // through, which would hold the end up.
  EXPECT_EQ(got, flood) << "every sentence taken in is logged, none in part";
  EXPECT_LT(asked, 1000) << "asked once for many characters";
  events->ending = nullptr;
  polls({gga});
  EXPECT_EQ(log(), got + gga) << "a later poll reads on";
}

TEST_F(Poll, RockwellInitialisationSentencesAndTheTimeAtTheStoredLongitude) {
  // The stored position (INITROCK.CFG), the local time on 26/10/20 and what is sent.
  const struct { const char *guards, *pos, *at, *sent; } cases[] = {
      {"no INITROCK.CFG: 104 E, 7 hours ahead", nullptr, "12:05:15", "0100.0000,N,10400.0000,E,,,,,,050515,261020"},
      {"7 degrees 30 minutes east: only the degrees count", "513000N0073000E", "00:05:15",
       "5130.0000,N,00730.0000,E,,,,,,000515,261020"},
      {"45 degrees west: three hours later", "513000N0450000W", "00:05:15",
       "5130.0000,N,04500.0000,W,,,,,,030515,261020"},
      {"across midnight the date is the next day's", "513000N0900000W", "00:05:15",
       "5130.0000,N,09000.0000,W,,,,,,060515,261020"},
      {"and back into the day before", "010000N1650000E", "00:05:15", "0100.0000,N,16500.0000,E,,,,,,130515,251020"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    serial->sent.clear();
    if (c.pos) put("INITROCK.CFG", std::string(c.pos) + ",rest\r\n");
    at(*clock, std::string("10-26-2020 ") + c.at);
    initrockwell(app->gps, app->voice);
    const auto s = platform::splitlines(serial->sent);
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].substr(0, s[0].find('*')) + " " + s[1], "$PRWIINIT,???,V,,, $PRWIINIT,VTG,A,,,*2E");
    EXPECT_EQ(s[4], summed(std::string("$PRWIINIT,V,,,") + c.sent));
  }
  EXPECT_EQ(platform::splitlines(get("INITROCK.OUT")),
            (Items{"sent $PRWIINIT,V,,,0100.0000,N,16500.0000,E,,,,,,130515,251020",
                   "based on 010000N1650000E and 00:05:15 10-26-2020 from clock", " 11  hours ahead of GMT / UCT"}));
  serial->sent.clear();  // a receiver asking for ASTRAL gets the command, then the same initialisation
  polls({"ASTRAL\r"});
  EXPECT_EQ(std::tuple(app->gps.astral, serial->sent.substr(0, 7)), std::tuple(1, "ASTRAL\r"));
  EXPECT_EQ(platform::splitlines(serial->sent.substr(7)).size(), 5u);
}

TEST_F(Poll, EveryRockwellSentencePassesTheReceiversChecksumRule) {
  // A receiver's rule: the hexadecimal after "*" is the XOR of everything between "$" and "*".
  const auto accepted = [](const std::string& s) {
    const std::size_t star = s.find('*');
    if (s.empty() || s[0] != '$' || star == std::string::npos || star + 1 >= s.size()) return false;
    unsigned x = 0;
    for (std::size_t i = 1; i < star; ++i) x ^= static_cast<unsigned char>(s[i]);
    const std::string hex = s.substr(star + 1);
    return hex.find_first_not_of("0123456789ABCDEF") == std::string::npos && std::stoul(hex, nullptr, 16) == x;
  };
  initrockwell(app->gps, app->voice);
  const auto s = platform::splitlines(serial->sent);
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(Items(s.begin() + 1, s.begin() + 4),
            (Items{"$PRWIINIT,VTG,A,,,*2E", "$PRWIINIT,GSV,A,,,*29", "$PRWIINIT,GGA,A,,,*2A"}))
      << "the three fixed sentences, in order";
  for (const auto& line : s) EXPECT_TRUE(accepted(line)) << line;
}

TEST_F(Poll, FileLink) {
  app->gps.filelink = 1;
  app->gps.callsep = ">";
  put("ZARN.LLD", "G4ABC>" + gga + "second line\r\n");
  readcomms(*app);
  EXPECT_FLOAT_EQ(app->gps.ownalt, 0);  // no flag file: nothing read
  put("ZARN.LLF", "");
  clock->settimer(50);
  readcomms(*app);
  EXPECT_FLOAT_EQ(app->gps.ownalt, 50.7f) << "the first line, its call sign taken off";
  EXPECT_EQ(std::tuple(app->gps.callsign, app->gps.lastgpstime, has("ZARN.LLF")), std::tuple("G4ABC", 50.0f, false));
  EXPECT_EQ(app->gps.rxstate, 1);  // the watch ran
  std::filesystem::remove(dir / "ZARN.LLD");
  put("ZARN.LLF", "");
  readcomms(*app);
  EXPECT_FALSE(has("ZARN.LLF"));
}

TEST_F(Poll, MultiVehicleFramingAndTheSatelliteTerminal) {
  app->main.mvmode = 1;
  app->gps.datatrakon = 1;
  clock->settimer(10);
  polls({"~" + std::string(27, '1')});
  EXPECT_EQ(held().size(), 28u);
  polls({"2"});  // the 29th character completes the record, no CR needed
  EXPECT_EQ(std::tuple(held(), app->gps.protocode, app->gps.lastgpstime), std::tuple("", 8, 10.0f));
  // A dialled-in binary record: its length comes first, then it is read to that length
  // whatever it holds.
  app->gps.datatrakseen = 0;
  app->gps.mvdatamode = DataMode::position;
  app->gps.reportmode = ReportMode::skip;
  polls({"\n", std::string("\x01\r\x02\x03\x04\r\x05", 7)});
  EXPECT_EQ(app->gps.reportmode, ReportMode::record);
  polls({"\x06"});
  EXPECT_EQ(std::tuple(app->gps.reportmode, held()), std::tuple(ReportMode::line1, ""));
  // The satellite terminal's dialogue.
  app->gps.mvdatamode = DataMode::message;
  app->veh.csatuser = "user";
  app->veh.csatpass = "secret";
  app->gps.csatstate = CallState::dialling;
  const auto& telstat = app->win.get<MvForm>().telstat;
  polls({"CONNECT 2400\r", "Welcome to BT CSAT\r"});
  EXPECT_EQ(std::tuple(app->gps.modemconnect, app->gps.csatstate), std::tuple(1, CallState::online));
  polls({"username: ", "password: ", "\r\n> ", "anything"});
  EXPECT_EQ(std::tuple(serial->sent, app->gps.csatstate, telstat.caption, held()),
            std::tuple("user\rsecret\r", CallState::prompt, "BT CSAT >", ""));
  app->gps.csatstate = CallState::dialling;
  polls({"Your reference number 12345\r"});
  EXPECT_EQ(std::tuple(app->gps.csatstate, telstat.caption), std::tuple(CallState::sent, " 12345 sent"));
  app->gps.csatstate = CallState::dialling;
  polls({"unit cannot be reached\r"});
  EXPECT_EQ(std::tuple(app->gps.csatstate, telstat.backcolor), std::tuple(CallState::unreachable, ui::red));
}

using Watch = Poll;

TEST_F(Watch, ReceptionStartsAndIsLostOnceWithItsPrompts) {
  at(*clock, "23:59:10");
  auto& g = app->gps;
  auto& z = app->win.zarn;
  wavfile("gotgps.wav");
  wavfile("notgps.wav");
  app->main.repint[8] = 1;
  z.modebox.set("GPS");
  EXPECT_EQ(tick(0, false), off) << "the first tick without data announces the loss";
  EXPECT_EQ(std::tuple(z.modebox.caption, z.modebox.backcolor), std::tuple("OLD", ui::yellow));
  lastfix(*app, 379, 0);
  ownheading(*app, 45);
  ownspeed(*app, 30);
  app->main.cfgcorre = 0.5f;
  z.p.load(3).visible = true;
  app->map.trailcount = 3;
  EXPECT_EQ(tick(1, true), on);
  // The old fix is forgotten: no heading or speed, the car back at the last position, no trail.
  EXPECT_FIELDS(Fields()
                    .FIELD(z.modebox.caption, "GPS")
                    .FIELD(g.ownhdg, -1)
                    .FIELD(g.ownspd, 0.0f)
                    .FIELD(z.hdgbox.caption, " ")
                    .FIELD(g.ownx, 379.0f)
                    .FIELD(app->gps.gpscorre, 0.5f)
                    .FIELD(z.p[3].visible, false)
                    .FIELD(app->map.trailcount, 0));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(tick(9, true), "") << "data every 9 s keeps reception, silently";
  g.dgpsfix = 1;
  EXPECT_EQ(tick(0, true), "") << "a differential fix recolours without announcing";
  EXPECT_EQ(z.modebox.forecolor, ui::green);
  z.modebox.set("DEMO");
  EXPECT_EQ(tick(10, false), off) << "a gap of 10 s, across midnight, loses it";
  EXPECT_EQ(tick(30, false), "") << "once";
  EXPECT_EQ(played(), (Items{"notgps.wav", "gotgps.wav", "notgps.wav"}));
  EXPECT_EQ(z.modebox.caption, "DEMO") << "the demonstration's text stays";
}

TEST_F(Watch, MultiVehicleModeWithoutItsCarIcons) {
  app->main.mvmode = 1;  // $mv$gsel.ico and $mv$ysel.ico are not there: the change goes on
  app->gps.reportmode = ReportMode::skip;
  EXPECT_EQ(std::tuple(tick(0, true), tick(60, false)), std::tuple(on, off));
  EXPECT_EQ(app->gps.reportmode, ReportMode::line1) << "a half-read report is abandoned";
}

using Logs = GpsTest;

TEST_F(Logs, TripLogNames) {
  const struct { const char *guards, *cfg; Items present; int mvmode; const char* name; } cases[] = {
      {"no NEWTRIP.CFG, replaced on each opening", nullptr, {"NEWTRIP.NME"}, 0, "NEWTRIP.NME"},
      {"multi-vehicle mode", nullptr, {}, 1, "NEWTRIP.MVD"},
      {"the prefix in upper case and the first free counter", "trip\r\n", {"TRIP0001.NME", "TRIP0002.NME"}, 0,
       "TRIP0003.NME"},
      {"a five-character prefix gives three digits", "trips,other\r\n", {}, 0, "TRIPS001.NME"},
      {"an empty prefix gives eight digits", ",x\r\n", {}, 0, "00000001.NME"},
      {"a long prefix leaves the counter its own digits", "ABCDEFG\r\n", {"ABCDEFG1.NME"}, 0, "ABCDEFG2.NME"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    fresh();
    if (c.cfg) put("NEWTRIP.CFG", c.cfg);
    for (const auto& p : c.present) put(p, "old");
    app->main.mvmode = c.mvmode;
    newtrip(*app);
    ASSERT_TRUE(app->gps.logopen == 1 && app->gps.triplog);
    app->gps.triplog.reset();
    EXPECT_TRUE(has(c.name) && get(c.name).empty());
    const std::string said = c.mvmode ? "I am now logging data into " : "I am now recording GPS data into ";
    EXPECT_EQ(app->speech.msgtext, said + c.name);
    EXPECT_EQ(app->win.get<MvForm>().loglab.caption, c.mvmode ? "Log to NEWTRIP.MVD" : "Logging OFF");
  }
}

TEST_F(Logs, OpeningALogClosesTheOneOpenAndNeverOverwritesOne) {
  put("NEWTRIP.CFG", "T\r\n");
  for (const char* l : {"first", "second"}) {
    newtrip(*app);
    writetriplog(app->gps, l);
  }
  app->gps.triplog.reset();
  EXPECT_EQ(get("T0000001.NME") + get("T0000002.NME"), "first\r\nsecond\r\n");  // closed, with everything written
  put("NEWTRIP.CFG", "TRIPS\r\n");  // every name taken
  char name[16];
  for (int n = 1; n <= 999; ++n) {
    std::snprintf(name, sizeof name, "TRIPS%03d.NME", n);
    put(name, "x");
  }
  put("TRIPS.NME", "a journey");
  newtrip(*app);
  EXPECT_EQ(get("TRIPS.NME"), "a journey");
  EXPECT_EQ(app->speech.msgtext, "No free trip log name: TRIPS 1 to 999 are all in use");
}

TEST_F(Logs, PositionRecordedAsAnRmcSentence) {
  at(*clock, "03-04-2021 05:06:07");
  writenmepos(app->files, *app->sys.clock, "51  30.000'N 000  06.000'W", "045");
  writenmepos(app->files, *app->sys.clock, "51  30.000'N 000  06.000'W", "046");
  EXPECT_EQ(get("NEW.NME"), summed("$GPRMC,050607,A,5130.00,N,00006.00,W,30,045,040321,,") + "\r\n" +
                                summed("$GPRMC,050607,A,5130.00,N,00006.00,W,30,046,040321,,") + "\r\n");
}

TEST_F(Logs, ReplayFileChecksumSniff) {
  auto& g = app->gps;
  g.replayfile = "R.NME";
  sniffchecksum(app->gps, app->voice);
  EXPECT_EQ(std::tuple(g.nochecksum, bool(g.replay)), std::tuple(1, false)) << "cannot be opened";
  std::string plain = "# a star * in a note\r\n";
  for (int i = 0; i < 19; ++i) plain += "$GPGGA,1,2\r\n";
  put("R.NME", plain + "$GPGGA,1*00\r\n");
  sniffchecksum(app->gps, app->voice);
  ASSERT_TRUE(g.replay);
  // The 21st line is not looked at, nor a star outside a sentence; read from the start again.
  EXPECT_EQ(std::tuple(g.nochecksum, g.replay->lineinput()), std::tuple(1, "# a star * in a note"));
  put("R.NME", "# header\r\n$GPGGA,1*00\r\n" + plain);
  sniffchecksum(app->gps, app->voice);
  EXPECT_EQ(std::tuple(g.nochecksum, g.replay->lineinput()), std::tuple(0, "# header"));
}

}  // namespace
}  // namespace zarn::test
