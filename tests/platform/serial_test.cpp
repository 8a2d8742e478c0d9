// The serial line against a real pseudo-terminal pair: the test holds the master end, the
// code under test opens the slave end as its "port".
#include "platform/serial.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <optional>

#include "support/pty.h"
#include "support/tempdir.h"

namespace zarn::platform {
namespace {

struct SerialPty : ::testing::Test {
  void SetUp() override {
    plug();
    ASSERT_TRUE(port.open(path = dir / "gps", "4800,N,8,1")) << port.lasterror();
  }
  // A new pseudo-terminal reached through the one link, as udev names a device.
  void plug() {
    ASSERT_FALSE(pty.emplace().path.empty());
    std::filesystem::remove(dir / "gps");
    std::filesystem::create_symlink(pty->path, dir / "gps");
  }
  void TearDown() override { port.close(); }
  // Reads from the master until n bytes came or the line stays quiet for long.
  std::string frommaster(std::size_t n) {
    std::string got;
    char buf[1024];
    pollfd p{pty->master, POLLIN, 0};
    for (ssize_t r; got.size() < n && ::poll(&p, 1, 5000) > 0 && (r = ::read(pty->master, buf, sizeof buf)) > 0;)
      got.append(buf, static_cast<std::size_t>(r));
    return got;
  }
  speed_t speed() {  // the line's speed, the same both ways
    termios t{};
    return ::tcgetattr(pty->slave, &t) == 0 && cfgetispeed(&t) == cfgetospeed(&t) ? cfgetospeed(&t) : 0;
  }

  std::optional<zarn::testing::Pty> pty;
  zarn::testing::TempDir dir;
  std::string path;
  TermiosSerial port;
};

TEST_F(SerialPty, EveryByteValuePassesUnchangedBothWaysWithoutBlocking) {
  EXPECT_EQ(port.input(), "") << "nothing waiting: returns at once";
  std::string all;  // CR, LF, XON/XOFF, ^C, DEL and 0xFF all pass as data in raw mode
  for (int i = 0; i < 512; ++i) all += static_cast<char>(i);
  EXPECT_EQ((std::tuple{pty->feed(all, port), port.input(), port.inbuffercount()}), (std::tuple{512, all, 0}));
  const std::string out = "ATDT0123\r\n" + all;
  EXPECT_TRUE(port.output(out)) << port.lasterror();
  EXPECT_EQ(frommaster(out.size()), out) << "no LF to CR LF on the way out";
}

TEST_F(SerialPty, SettingsChangeWhileOpenAndDataStillFlows) {
  // A pty keeps the speed but always reports 8 data bits and no parity: framing is checked on
  // the settings themselves below.
  ASSERT_TRUE(port.setsettings("9600,e,7,2")) << port.lasterror();
  EXPECT_EQ(speed(), B9600);
  EXPECT_TRUE(!port.setsettings("fast,N,8,1") && port.lasterror().find("speed") != std::string::npos);
  EXPECT_EQ(speed(), B9600) << "a bad text leaves the line as it was";
  EXPECT_EQ((std::pair{pty->feed("$GPGGA\r\n", port), port.input()}), (std::pair{8, std::string("$GPGGA\r\n")}));
  port.close();
  EXPECT_TRUE(port.setsettings("19200,N,8,1"));
  ASSERT_TRUE(port.open(path, "")) << port.lasterror();
  EXPECT_EQ(speed(), B19200) << "settings given while closed serve the next open";
}

TEST_F(SerialPty, NoModemLinesAreReportedNotFatal) {
  // A pty has no modem lines: Linux refuses the request, which must only be reported.
  port.setdtr(false);
  EXPECT_NE(port.lasterror().find("drop DTR"), std::string::npos) << port.lasterror();
  port.setdtr(true);
  EXPECT_NE(port.lasterror().find("raise DTR"), std::string::npos) << port.lasterror();
  EXPECT_EQ((std::pair{port.output("AT\r"), frommaster(3)}), (std::pair{true, std::string("AT\r")}));
}

TEST_F(SerialPty, ADeviceThatHangsUpIsOpenedAgainOnceBackUnderItsName) {
  pty.reset();  // unplugged: the far end hangs up
  EXPECT_TRUE(port.inbuffercount() == 0 && port.input().empty() && !port.isopen()) << port.lasterror();
  plug();
  for (int i = 0; i < 100 && port.inbuffercount() == 0; ++i, ::usleep(100000))
    (void)!::write(pty->master, "$GPGGA\r\n", 8);
  EXPECT_TRUE(port.isopen() && port.input().starts_with("$GPGGA")) << "within 10 s: " << port.lasterror();
}

TEST(SerialLine, ClosedPortsAndUnsuitableDevicesAreRefusedWithAReason) {
  TermiosSerial port;
  EXPECT_TRUE(!port.output("AT\r") && port.lasterror().find("not open") != std::string::npos && port.input().empty());
  for (auto [device, settings, reason] : {std::tuple{"/dev/null", "4800,N,8,1", "not a serial device"},
                                          {"COM99", "4800,N,8,1", "COM99"},  // the message names the port
                                          {"/dev/zarn-no-such-port", "4800,N,9,1", "data bits"}})  // checked first
    EXPECT_TRUE(!port.open(device, settings) && !port.isopen() && port.lasterror().find(reason) != std::string::npos)
        << device << ": " << port.lasterror();
}

TEST(SerialSettingsText, ReadAsTheOldControlReadItAndFrameTheRawLine) {
  // want: as read, or "" when refused; frame: size, parity and stop bits of the raw line.
  const struct { const char* guards; const char* text; const char* want; tcflag_t frame; speed_t speed; } cases[] = {
      {"GPS default", "4800,N,8,1", "4800,N,8,1", CS8, B4800},
      {"lower-case parity, blanks", " 2400 , e , 7 , 2 ", "2400,E,7,2", CS7 | PARENB | CSTOPB, B2400},
      {"mark parity", "300,M,7,1", "300,M,7,1", CS7 | PARENB | PARODD | CMSPAR, B300},
      {"space parity, five bits", "115200,S,5,1", "115200,S,5,1", CS5 | PARENB | CMSPAR, B115200},
      {"line end from a file", "19200,O,8,1\r\n", "19200,O,8,1", CS8 | PARENB | PARODD, B19200},
      {"speed no tty supports", "14400,N,8,1", "", 0, 0}, {"huge speed", "99999999999999,N,8,1", "", 0, 0},
      {"parity as a word", "4800,NONE,8,1", "", 0, 0}, {"nine data bits", "4800,N,9,1", "", 0, 0},
      {"one and a half stop bits", "4800,N,8,1.5", "", 0, 0}, {"field missing", "4800,N,8", "", 0, 0},
      {"empty", "", "", 0, 0},
  };
  for (const auto& c : cases) {
    std::string why;
    const auto s = parsesettings(c.text, &why);
    if (!s) {
      EXPECT_TRUE(*c.want == 0 && why.find(c.text) != std::string::npos) << c.guards << ": " << why;
      continue;
    }
    EXPECT_EQ(std::to_string(s->baud) + "," + s->parity + "," + std::to_string(s->databits) + "," +
                  std::to_string(s->stopbits), c.want) << c.guards;
    // The raw mode itself shows on the pseudo-terminal above; a pty cannot show the framing.
    termios t{};
    t.c_cflag = CRTSCTS | CS8 | PARENB | PARODD | CSTOPB;
    rawsettings(t, *s);
    EXPECT_EQ((std::tuple{t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CLOCAL | CREAD | CRTSCTS),
                          cfgetispeed(&t), cfgetospeed(&t)}),
              (std::tuple{c.frame | CLOCAL | CREAD, c.speed, c.speed})) << c.guards;
  }
}

TEST(SerialDevTree, ComPortsNumberTheFittedDevicesInOrder) {
  zarn::testing::TempDir root;
  for (std::string n : {"ttyS0", "ttyS1", "ttyS3", "ttyS10", "ttyUSB1", "ttyUSB0", "ttyACM0", "tty", "ttySX", "ttyUSB"})
    root.put("dev/" + n, "");
  // ttyS1 has no UART; ttyS3 has no sysfs entry (it is then tried).
  for (auto [n, type] : {std::pair{"ttyS0", "4\n"}, {"ttyS1", "0\n"}, {"ttyS10", "4\n"}})
    root.put(std::string("sys/") + n + "/type", type);
  std::string why;
  auto dev = [&](const std::string& port) {
    const auto p = serialdevice(port, &why, root / "dev", root / "sys");
    return p ? p->filename().string() : "";
  };
  ::unsetenv("ZARN_COM2");
  std::string all;
  for (const char* port : {"COM1", "com2", "COM3", "COM4", "COM5", "COM6", "COM7"}) all += dev(port) + " ";
  EXPECT_EQ(all, "ttyS0 ttyS3 ttyS10 ttyUSB0 ttyUSB1 ttyACM0  ") << "in order, the last one too, whatever the case";
  EXPECT_NE(why.find("only 6 serial devices"), std::string::npos) << why;
  EXPECT_EQ(dev("/dev/ttyUSB7"), "ttyUSB7") << "a path is taken as it stands";
  // The environment names the device of a port; empty, it is as if not set.
  for (auto [env, want] : {std::pair{"/dev/ttyUSB5", "ttyUSB5"}, {"", "ttyS3"}}) {
    ::setenv("ZARN_COM2", env, 1);
    EXPECT_EQ(dev("COM2"), want) << env;
  }
  ::unsetenv("ZARN_COM2");
  EXPECT_FALSE(serialdevice("COM1", &why, root / "none", root / "sys"));
  EXPECT_NE(why.find("ZARN_COM1"), std::string::npos) << "no devices at all: " << why;
}

}  // namespace
}  // namespace zarn::platform
