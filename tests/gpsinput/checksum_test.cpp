// The NMEA checksum: value compared, not text; two upper-case digits written.
#include <gtest/gtest.h>

#include "gpsinput/checksum.h"

namespace zarn::test {
namespace {

TEST(NmeaChecksum, ReceivedChecksumsAreComparedByValue) {
  // Ten is the exclusive-or of "$GPGGA,1A".
  struct Case {
    const char* guards;
    const char* sentence;
    bool ok;
    const char* got;
    const char* calc;
  } cases[] = {
      {"an ordinary two-digit checksum", "$GPXTE,A,A,0.67,L,N*6F", true, "6F", "6F"},
      {"checksum below 0x10 sent with a leading zero", "$GPGGA,1A*0A", true, "0A", "0A"},
      {"lower-case digits", "$GPGGA,1A*0a", true, "0a", "0A"},
      {"one digit at the end, as older logs wrote it", "$GPGGA,1A*A", true, "A", "0A"},
      {"one digit before the line end", "$GPGGA,1A*A\r", true, "A\r", "0A"},
      {"one digit before other text is no checksum", "$GPGGA,1A*Ax", false, "Ax", "0A"},
      {"wrong value", "$GPGGA,1A*0B", false, "0B", "0A"},
      {"no star", "$GPGGA,1A", false, "(no checksum)", "  "},
      {"star and nothing after it", "$GPGGA,1A*", false, "", "0A"},
      {"non-hex characters", "$GPGGA,1A*ZZ", false, "ZZ", "0A"},
      {"bytes above 127 count as themselves", "$\xC1\xC1*00", true, "00", "00"},
      {"only the first star counts", "$GPGGA,1A*0A*FF", true, "0A", "0A"},
      {"empty body", "$*00", true, "00", "00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.guards);
    const NmeaCheck r = nmeacheck(c.sentence);
    EXPECT_EQ(r.ok, c.ok);
    EXPECT_EQ(r.got, c.got);
    EXPECT_EQ(r.calc, c.calc);
    EXPECT_EQ(nmeachecksumok(c.sentence), c.ok);
  }
}

TEST(NmeaChecksum, WrittenWithTwoUpperCaseDigits) {
  EXPECT_EQ(nmeachksum("$GPGGA,1A"), "0A");
  EXPECT_EQ(nmeachksum("$"), "00");  // nothing after the first character
  EXPECT_EQ(nmeachksum(""), "00");
  EXPECT_EQ(nmeachksum("$PRWIINIT,VTG,A,,,"), "2E");
  // Whatever the first character is, it is left out.
  EXPECT_EQ(nmeachksum("!GPGGA,1A"), nmeachksum("$GPGGA,1A"));
}

}  // namespace
}  // namespace zarn::test
