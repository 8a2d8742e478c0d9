// Receiver initialisation: the sentences sent, their checksums and INITROCK.OUT.
#include "gpsinput/checksum.h"
#include "gpsinput/rxinit.h"
#include "gpstest.h"
#include "platform/files.h"

namespace zarn::test {
namespace {

using RxInit = GpsTest;

std::vector<std::string> sentences(const std::string& sent) {
  std::vector<std::string> out;
  std::size_t p = 0;
  while (p < sent.size()) {
    const std::size_t e = sent.find("\r\n", p);
    if (e == std::string::npos) break;
    out.push_back(sent.substr(p, e - p));
    p = e + 2;
  }
  return out;
}

TEST_F(RxInit, DefaultPositionAndEverySentenceChecksummed) {
  clock->set({2020, 10, 26, 12, 30, 15, 0});
  initrockwell(*app);
  const auto s = sentences(serial->sent);
  ASSERT_EQ(s.size(), 5u);
  EXPECT_EQ(s[0].substr(0, s[0].find('*')), "$PRWIINIT,???,V,,,");
  EXPECT_EQ(s[1], "$PRWIINIT,VTG,A,,,*2E");
  EXPECT_EQ(s[2], "$PRWIINIT,GSV,A,,,*29");
  EXPECT_EQ(s[3], "$PRWIINIT,GGA,A,,,*2A");
  // 104 degrees east: 7 hours ahead, so universal time is 05:30:15.
  EXPECT_EQ(s[4].substr(0, s[4].find('*')), "$PRWIINIT,V,,,0100.0000,N,10400.0000,E,,,,,,053015,261020");
  for (const auto& l : s) {
    SCOPED_TRACE(l);
    EXPECT_TRUE(nmeacheck(l).ok);
    EXPECT_EQ(l.size() - l.find('*'), 3u);
  }
  const auto out = platform::splitlines(readfile("INITROCK.OUT"));
  ASSERT_GE(out.size(), 3u);
  EXPECT_EQ(out[0], "sent " + s[4].substr(0, s[4].find('*')));
  EXPECT_EQ(out[1], "based on 010000N1040000E and 12:30:15 10-26-2020 from clock");
  EXPECT_EQ(out[2], " 7  hours ahead of GMT / UCT");
  EXPECT_EQ(app->gps.rxprefix, "\r\n");
}

TEST_F(RxInit, OffsetFromTheStoredLongitude) {
  struct Case {
    const char* guards;
    const char* pos;
    const char* time;  // universal time and date sent
  } cases[] = {
      {"7 degrees 30 minutes east: only the degrees count", "513000N0073000E", "000500,261020"},
      {"45 degrees west: three hours later", "513000N0450000W", "030500,261020"},
      {"across midnight the date is the next day's", "513000N0900000W", "060500,261020"},
      {"and back into the day before", "010000N1650000E", "130500,251020"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    serial->sent.clear();
    clock->set({2020, 10, 26, 0, 5, 0, 0});
    textfile("INITROCK.CFG", std::string(c.pos) + ",rest\r\n");
    initrockwell(*app);
    const auto s = sentences(serial->sent);
    ASSERT_EQ(s.size(), 5u);
    const std::string b = s[4].substr(0, s[4].find('*'));
    EXPECT_EQ(b.substr(b.size() - 13), c.time);
  }
}

TEST_F(RxInit, AstralCommandFirst) {
  initastral(*app);
  EXPECT_EQ(serial->sent.substr(0, 7), "ASTRAL\r");
  EXPECT_EQ(sentences(serial->sent.substr(7)).size(), 5u);
}

}  // namespace
}  // namespace zarn::test
