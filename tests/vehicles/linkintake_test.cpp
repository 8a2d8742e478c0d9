// The vehicle link's intake: how each line is classified, the record forms read on their own,
// and binary records through a real pseudo-terminal into the serial poll and the link handler.
#include <pty.h>
#include <unistd.h>

#include "gpsinput/linkmodes.h"
#include "gpsinput/nmeafields.h"
#include "gpsinput/serialpoll.h"
#include "platform/serial.h"
#include "support/app_fixture.h"
#include "vehicles/linkrecords.h"
#include "vehicles/linkservices.h"
#include "vehicles/mvforms.h"

namespace zarn::test {
namespace {

// A dialled-in record of 20 bytes: 53 21.44 N 2 18.80 W at 12:30, ignition on, message "M12",
// then bytes that end, start or clear text lines.
const std::string record20 = std::string("\x0D\x55\x5C\x09\x2A\x40\x01\x8F\x0A\x24M12\x25\x3C\x7E\x00\x0D\x0A\xFF", 20);

std::string hexof(std::string_view b) {
  std::string h;
  for (unsigned char c : b) h += "0123456789ABCDEF"[c >> 4], h += "0123456789ABCDEF"[c & 15];
  return h;
}

class Link : public AppTest {
 protected:
  void ready() override {
    squares({{"SJ", 300, 300}});
    app->main.mvmode = 1;
  }
  std::string rx0() { return app->win.get<MvEngForm>().mvrx[0].caption; }
};

TEST_F(Link, EachLineIsClassifiedByTheLinkState) {
  const std::string l30 = "001" + std::string(27, 'x'), l31 = l30 + "x";
  const struct {
    const char* guards;
    int mode, report, proto, datatrak;
    const char *dnid, *line;
    int pass, newmode, newreport;
  } cases[] = {
      {"an empty identity of the terminal takes no line", 3, 0, 8, 0, "", "RING", 1, 3, 0},
      {"a line starting with the terminal's identity starts a report", 3, 3, 8, 0, "TRM1", "TRM1 x", 1, 2, 0},
      {"the modem's replies are no identity", 2, 0, 8, 0, "", "ERROR", 0, 2, 0},
      {"nor the echo of a command", 2, 0, 8, 0, "", "ATDT01234", 0, 2, 0},
      {"Message Mode takes its position records", 0, 0, 8, 0, "", "001 x", 1, 0, 0},
      {"and its message records", 0, 0, 8, 0, "", "002 x", 1, 0, 0},
      {"but no other line", 0, 0, 8, 0, "", "003 x", 0, 0, 0},
      {"a length line outside mode 2 starts a report", 3, 0, 8, 0, "", "20", 1, 2, 2},
      {"an 001 line of 30 characters is no switch", 2, 1, 8, 0, "", l30.c_str(), 1, 2, 1},
      {"one of 31 is", 2, 1, 8, 0, "", l31.c_str(), 1, 0, 0},
      {"a record that begins like a reply is still the record", 2, 4, 8, 0, "", "OK\x01", 1, 2, 4},
      {"a Datatrak text line", 2, 0, 8, 1, "", "~12345000012341234561234567", 1, 4, 0},
      {"with its unit letter in column 25", 2, 0, 8, 1, "", "~12345000012341234561234Z0", 1, 4, 0},
      {"a short one reaches no decoder", 2, 0, 8, 1, "", "~1234500001234", 0, 2, 0},
      {"nor one with a letter among its digits", 2, 0, 8, 1, "", "~12345000X12341234561234567", 0, 2, 0},
      {"a binary frame expected and another line came", 2, 3, 11, 1, "", "~123", 0, 4, 0},
  };
  for (const auto& c : cases) {
    make();
    auto& g = app->gps;
    std::tie(g.mvdatamode, g.reportmode, g.protocode, g.datatrakseen) = std::tuple(c.mode, c.report, c.proto, c.datatrak);
    app->veh.dnid = c.dnid;
    const std::string line = c.line;
    EXPECT_EQ(std::tuple(modemline(*app, line, static_cast<long>(line.size())), g.mvdatamode, g.reportmode),
              std::tuple(c.pass, c.newmode, c.newreport))
        << c.guards;
  }
}

TEST_F(Link, CallStateAndModeLabel) {
  auto& g = app->gps;
  const struct { const char* line; int mode, incall; const char *telstat, *label; } steps[] = {
      {"001                                ", 0, 0, "", "Message Mode"},
      {"RING", 0, 1, "Incoming Call", "Message Mode"},
      {"NO CARRIER", 2, 0, "", "Message Mode"},  // the label is not rewritten
      {"$GPGGA", 3, 0, "", "NMEA GPS data"},
      {"8", 2, 0, "", "Position Reports 2 8"},
      {"NO DIAL TONE", 2, 0, "No Dial Tone", "Position Reports 2 8"},
  };
  for (const auto& s : steps) {
    const std::string l = s.line;
    modemline(*app, l, static_cast<long>(l.size()));
    EXPECT_EQ(std::tuple(g.mvdatamode, g.incall, app->win.get<MvAlarmForm>().telstat.caption, app->win.get<MvEngForm>().msgmode.caption),
              std::tuple(s.mode, s.incall, s.telstat, s.label))
        << s.line;
  }
}

TEST_F(Link, RecordFormsReadOnTheirOwn) {
  const auto r = dialledrecord(record20, 20);
  ASSERT_TRUE(r);
  EXPECT_NEAR(r->lat, 53 + 21.44 / 60, 1e-5);
  EXPECT_NEAR(r->lon, -(2 + 18.8 / 60), 1e-5);
  EXPECT_EQ(std::tuple(r->hours, r->minutes, r->status, r->kind, r->code), std::tuple(12, 30, 64, 'M', "12"));
  EXPECT_FALSE(dialledrecord(record20.substr(0, 19), 20)) << "a record short of its length";
  EXPECT_EQ(hexrecord("HEX " + hexof(record20), 20), record20);
  EXPECT_EQ(hexrecord("HEX 0d55", 2), "\x0D\x55") << "lower-case digits";
  EXPECT_FALSE(hexrecord("HEX 0D55", 3)) << "fewer pairs than the length";
  EXPECT_FALSE(hexrecord("HEX 0G55", 2)) << "a pair that is not hexadecimal";

  const std::string f001 = "001   UNIT7   xxxx 5321.443  00218.820W 0840101230";
  const auto f = fixedrecord(f001);
  ASSERT_TRUE(f);
  EXPECT_NEAR(f->lat, 53.357383, 1e-5);
  EXPECT_NEAR(f->lon, -2.313667, 1e-5);
  EXPECT_EQ(std::tuple(f->id, f->heading, f->knots, f->hhmm), std::tuple("  UNIT7  ", 84, 10.0, "1230"));
  EXPECT_FALSE(fixedrecord(f001.substr(0, 49))) << "a record cut short";
  EXPECT_FALSE(fixedrecord("001   UNIT7   xxxx 53xx.443  00218.820W 0840101230")) << "letters in the minutes";
  EXPECT_FALSE(fixedrecord("001   UNIT7   xxxx 9921.443  00218.820W 0840101230")) << "99 degrees north";

  // A relayed sentence: the time and speed it carries, or nothing without a good position.
  const std::pair<const char*, std::string> nmea[] = {
      {"$V1RMC,123456,A,5321.443,N,00218.822,W,10.0,84.5,261020,,", "1234 10"},
      {"$V1GGA,101500,5321.443,N,00218.822,W,1,08,1.0,50.7,M,48.0,M,,", "1015 -1"},
      {"$V1GLL,5321.443,N,00218.822,W,094500,A", "0945 -1"},
      {"$V1VTG,84.5,T,,M,10.0,N,18.5,K", "none"},
      {"$V1RMC,123456,A,5399.443,N,00218.822,W,10.0,84.5,261020,,", "none"},
  };
  for (const auto& [line, want] : nmea) {
    const auto v = vehiclefix(line);
    EXPECT_EQ(v ? v->hhmm + " " + std::to_string(static_cast<int>(v->knots.value_or(-1))) : "none", want) << line;
  }
}

// The link through a real pseudo-terminal: the test writes at the master end what a vehicle's
// modem sends, the program polls the slave end as its serial port.
class LinkPty : public Link {
 protected:
  void SetUp() override {
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    auto port = std::make_unique<platform::TermiosSerial>();
    ASSERT_TRUE(port->open(name, "9600,N,8,1")) << port->lasterror();
    make(std::move(port));
  }
  void TearDown() override {
    Link::TearDown();
    ::close(master);
    ::close(slave);
  }
  // Writes bytes into the line and polls until all of them have been read.
  void send(const std::string& bytes) {
    ASSERT_EQ(::write(master, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    int have = 0;
    for (int i = 0; i < 100000 && (have = app->sys.serial->inbuffercount()) < static_cast<int>(bytes.size()); ++i)
      ::usleep(50);
    ASSERT_EQ(have, static_cast<int>(bytes.size()));
    readcomms(*app);
  }
  int master = -1, slave = -1;
};

TEST_F(LinkPty, EveryByteValueArrivesIntactInBinaryRecords) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  auto& g = app->gps;
  // Dialled-in records of 32 bytes after their length line, as the "all data" log dumps them.
  g.triplog = platform::OutputFile::open(app->files, "LINK.LOG", platform::OutputFile::Mode::Log);
  g.logopen = g.logall = 1;
  for (int k = 0; k < 8; ++k) {
    g.reportmode = 2;  // the identity lines were read
    send("32\r\n" + all.substr(static_cast<std::size_t>(k) * 32, 32));
    EXPECT_EQ(std::tuple(rx0(), g.reportmode), std::tuple(all.substr(static_cast<std::size_t>(k) * 32, 32), 0));
  }
  g.triplog.reset();
  std::string dumped;
  for (const auto& l : platform::splitlines(get("LINK.LOG")))
    if (l.starts_with("HEX ")) dumped += l.substr(4);
  EXPECT_EQ(dumped, hexof(all));

  // Datatrak records: the grave accent and 11 bytes, handed on whole at their 12th byte.
  g.datatrakon = 1;
  send("~1234500001234123456123456789");  // Datatrak seen
  for (std::size_t p = 0; p < all.size(); p += 11) {
    const std::string frame = "`" + all.substr(p, 11) + std::string(p + 11 > all.size() ? p + 11 - all.size() : 0, 'q');
    send(frame);
    EXPECT_EQ(std::tuple(rx0(), g.mvdatamode, g.commlinelen), std::tuple(frame, 4, 0)) << p;
  }
}

TEST_F(LinkPty, HexAndRawRecordsDecodeTheSame) {
  auto& g = app->gps;
  auto& v = app->veh;
  auto decoded = [&] { return std::tuple(v.rptx, v.rpty, v.mvstat[1], v.mvloc[1], v.mvhdg[1], g.reportmode); };
  v.mvcur = 1;  // the vehicle the identity lines named
  g.reportmode = 2;
  send("20\r\n" + record20);
  const auto raw = decoded();
  EXPECT_EQ(std::tuple(v.mvstat[1], v.mvloc[1], g.reportmode, v.rptx > 300), std::tuple("M12", "1230", 0, true));
  v = VehicleTable();  // afresh, from a log replayed line by line
  v.mvcur = 1;
  g.reportmode = 2;
  for (std::string l : {std::string("20"), "HEX " + hexof(record20)}) mvlinein(*app, l, static_cast<long>(l.size()));
  EXPECT_EQ(decoded(), raw);
}

TEST_F(Link, ReplayedAllDataLogAndVehicleNmea) {
  auto& g = app->gps;
  // After the length line a logged report's identity line starts the report again.
  g.reportmode = 2;
  for (std::string l : {"20", "U1"}) mvlinein(*app, l, 2);
  EXPECT_EQ(std::tuple(g.reportmode, app->veh.rptline1), std::tuple(1, "U1"));
  // A vehicle's NMEA leaves the own fix and the parser's time alone.
  g.mvdatamode = 3;
  const OwnFix before = g;
  std::string rmc = "$V1RMC,123456,A,5321.443,N,00218.822,W,10.0,84.5,261020,,";
  mvlinein(*app, rmc, static_cast<long>(rmc.size()));
  EXPECT_EQ(std::tuple(g.ownx, g.owny, g.ownlat, g.ownspd, g.ownhdg, g.fixhhmm),
            std::tuple(before.ownx, before.owny, before.ownlat, before.ownspd, before.ownhdg, std::string()));
}

}  // namespace
}  // namespace zarn::test
