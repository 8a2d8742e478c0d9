// The serial line against a real pseudo-terminal pair: the test holds the master end, the
// code under test opens the slave end as its "port".
#include "platform/serial.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace zarn::platform {
namespace {

namespace fs = std::filesystem;

class SerialPty : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    path = name;
  }
  void TearDown() override {
    port.close();
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  // Reads from the master until n bytes came or the line stays quiet for long.
  std::string frommaster(std::size_t n) {
    std::string got;
    char buf[1024];
    while (got.size() < n) {
      pollfd p{master, POLLIN, 0};
      if (::poll(&p, 1, 5000) <= 0) break;
      const ssize_t r = ::read(master, buf, sizeof buf);
      if (r <= 0) break;
      got.append(buf, static_cast<std::size_t>(r));
    }
    return got;
  }
  // Waits (bounded) until the port reports n bytes waiting: the pty hands data on asynchronously.
  int waitfor(int n) {
    int have = 0;
    for (int i = 0; i < 5000 && (have = port.inbuffercount()) < n; ++i) ::usleep(1000);
    return have;
  }
  termios slaveattr() {
    termios t{};
    EXPECT_EQ(::tcgetattr(slave, &t), 0);
    return t;
  }

  int master = -1, slave = -1;
  std::string path;
  TermiosSerial port;
};

std::string allbytes() {
  std::string s;
  for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
  return s;
}

TEST_F(SerialPty, EveryByteValueArrivesUnchangedWithoutBlocking) {
  ASSERT_TRUE(port.open(path, "4800,N,8,1")) << port.lasterror();
  EXPECT_TRUE(port.isopen());
  EXPECT_EQ(port.inbuffercount(), 0);
  EXPECT_EQ(port.input(), "");  // nothing waiting: returns at once

  // CR, LF, XON/XOFF, ^C, DEL and 0xFF all pass as data in raw mode.
  const std::string sent = allbytes() + allbytes();
  ASSERT_EQ(::write(master, sent.data(), sent.size()), static_cast<ssize_t>(sent.size()));
  EXPECT_EQ(waitfor(512), 512);
  EXPECT_EQ(port.input(), sent);
  EXPECT_EQ(port.inbuffercount(), 0);
  EXPECT_EQ(port.input(), "");
}

TEST_F(SerialPty, OutputReachesTheOtherEndUntranslated) {
  ASSERT_TRUE(port.open(path, "9600,N,8,1")) << port.lasterror();
  const std::string sent = "ATDT0123\r\n" + allbytes();
  EXPECT_TRUE(port.output(sent)) << port.lasterror();
  EXPECT_EQ(frommaster(sent.size()), sent);  // no LF to CR LF on the way out
  EXPECT_TRUE(port.output(""));
}

TEST_F(SerialPty, SettingsChangeWhileOpenAndDataStillFlows) {
  ASSERT_TRUE(port.open(path, "4800,N,8,1")) << port.lasterror();
  termios t = slaveattr();
  EXPECT_EQ(cfgetospeed(&t), B4800);
  EXPECT_EQ(cfgetispeed(&t), B4800);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(t.c_iflag & (ICRNL | IXON | ISTRIP | INPCK), 0u);

  // A pty keeps speed and stop bits but always reports 8 data bits and no parity, so framing
  // is checked on the settings themselves (RawSettingsFrame below).
  ASSERT_TRUE(port.setsettings("9600,e,7,2")) << port.lasterror();
  t = slaveattr();
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));

  ASSERT_TRUE(port.setsettings("1200,M,8,1"));
  t = slaveattr();
  EXPECT_EQ(cfgetospeed(&t), B1200);
  EXPECT_EQ(t.c_cflag & CSTOPB, 0u);

  // A bad text leaves the line as it was.
  EXPECT_FALSE(port.setsettings("fast,N,8,1"));
  EXPECT_NE(port.lasterror().find("speed"), std::string::npos);
  t = slaveattr();
  EXPECT_EQ(cfgetospeed(&t), B1200);

  EXPECT_TRUE(port.isopen());
  ASSERT_EQ(::write(master, "$GPGGA\r\n", 8), 8);
  EXPECT_EQ(waitfor(8), 8);
  EXPECT_EQ(port.input(), "$GPGGA\r\n");
}

TEST_F(SerialPty, SettingsGivenWhileClosedServeTheNextOpen) {
  EXPECT_TRUE(port.setsettings("19200,N,8,1"));
  ASSERT_TRUE(port.open(path, ""));
  const termios t = slaveattr();
  EXPECT_EQ(cfgetospeed(&t), B19200);
}

TEST_F(SerialPty, DtrOnAPseudoTerminalIsReportedNotFatal) {
  ASSERT_TRUE(port.open(path, "4800,N,8,1"));
  // A pty has no modem lines: Linux refuses the request, which must only be reported.
  port.setdtr(false);
  const std::string dropped = port.lasterror();
  port.setdtr(true);
  EXPECT_NE(dropped.find("DTR"), std::string::npos) << dropped;
  EXPECT_NE(port.lasterror().find("raise DTR"), std::string::npos) << port.lasterror();
  EXPECT_TRUE(port.isopen());
  EXPECT_TRUE(port.output("AT\r"));
  EXPECT_EQ(frommaster(3), "AT\r");
}

TEST_F(SerialPty, OtherEndHangingUpIsReportedNotFatal) {
  ASSERT_TRUE(port.open(path, "4800,N,8,1"));
  ASSERT_EQ(::write(master, "OK\r", 3), 3);
  EXPECT_EQ(waitfor(3), 3);
  ::close(master);
  master = -1;
  const std::string got = port.input();  // data already received may be lost at hang-up
  EXPECT_TRUE(got.empty() || got == "OK\r");
  EXPECT_EQ(port.input(), "");
  EXPECT_EQ(port.inbuffercount(), 0);
}

TEST(SerialLine, RawSettingsFrameAsAsked) {
  struct Case {
    const char* text;
    tcflag_t size, parity;
    bool twostop;
    speed_t speed;
  };
  const Case cases[] = {
      {"4800,N,8,1", CS8, 0, false, B4800},
      {"9600,E,7,2", CS7, PARENB, true, B9600},
      {"1200,O,7,1", CS7, PARENB | PARODD, false, B1200},
      {"300,M,7,1", CS7, PARENB | PARODD | CMSPAR, false, B300},
      {"300,S,6,1", CS6, PARENB | CMSPAR, false, B300},
      {"115200,N,5,2", CS5, 0, true, B115200},
  };
  for (const auto& c : cases) {
    // Start from a cooked terminal with every translation switched on.
    termios t{};
    t.c_iflag = ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | INPCK | PARMRK | BRKINT;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    t.c_cflag = CRTSCTS | CS8 | PARENB | PARODD | CSTOPB;
    t.c_cc[VMIN] = 1;
    rawsettings(t, *parsesettings(c.text));
    EXPECT_EQ(t.c_cflag & CSIZE, c.size) << c.text;
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CMSPAR), c.parity) << c.text;
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twostop) << c.text;
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD)) << c.text;
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u) << c.text;
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP | INPCK | PARMRK), 0u) << c.text;
    EXPECT_EQ(t.c_oflag & OPOST, 0u) << c.text;
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u) << c.text;
    EXPECT_EQ(t.c_cc[VMIN], 0) << c.text;
    EXPECT_EQ(t.c_cc[VTIME], 0) << c.text;
    EXPECT_EQ(cfgetispeed(&t), c.speed) << c.text;
    EXPECT_EQ(cfgetospeed(&t), c.speed) << c.text;
  }
}

// Needs a serial port with a UART; skipped where there is none.
TEST(SerialLine, DtrFollowsOnARealUart) {
  fs::path uart;
  for (const auto& d : serialdevices())
    if (d.filename().string().rfind("ttyS", 0) == 0) {
      uart = d;
      break;
    }
  if (uart.empty()) GTEST_SKIP() << "no UART fitted";
  // Our own look at the modem lines, opened before the port claims the device.
  const int look = ::open(uart.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (look < 0) GTEST_SKIP() << uart << " cannot be opened here";
  TermiosSerial port;
  if (!port.open(uart.string(), "4800,N,8,1")) {
    ::close(look);
    GTEST_SKIP() << port.lasterror();
  }
  auto dtr = [&] {
    int bits = 0;
    EXPECT_EQ(::ioctl(look, TIOCMGET, &bits), 0);
    return (bits & TIOCM_DTR) != 0;
  };
  port.setdtr(false);
  EXPECT_FALSE(dtr()) << port.lasterror();
  port.setdtr(true);
  EXPECT_TRUE(dtr()) << port.lasterror();
  EXPECT_EQ(port.lasterror(), "");
  port.close();
  ::close(look);
}

TEST(SerialLine, ClosedPortRefusesOutputAndHasNoInput) {
  TermiosSerial port;
  EXPECT_FALSE(port.isopen());
  EXPECT_FALSE(port.output("AT\r"));
  EXPECT_NE(port.lasterror().find("not open"), std::string::npos);
  EXPECT_EQ(port.inbuffercount(), 0);
  EXPECT_EQ(port.input(), "");
  port.setdtr(false);
  port.close();
}

TEST(SerialLine, MissingOrUnsuitableDevicesAreReported) {
  TermiosSerial port;
  EXPECT_FALSE(port.open("/dev/zarn-no-such-port", "4800,N,8,1"));
  EXPECT_NE(port.lasterror().find("/dev/zarn-no-such-port"), std::string::npos);
  EXPECT_FALSE(port.isopen());

  EXPECT_FALSE(port.open("/dev/null", "4800,N,8,1"));  // not a terminal
  EXPECT_NE(port.lasterror().find("not a serial device"), std::string::npos) << port.lasterror();
  EXPECT_FALSE(port.isopen());

  EXPECT_FALSE(port.open("COM99", "4800,N,8,1"));
  EXPECT_NE(port.lasterror().find("COM99"), std::string::npos) << port.lasterror();

  EXPECT_FALSE(port.open("NULL", "4800,N,8,1"));
  EXPECT_FALSE(port.open("COM0", "4800,N,8,1"));

  // Bad settings are refused before the device is touched.
  EXPECT_FALSE(port.open("/dev/zarn-no-such-port", "4800,N,9,1"));
  EXPECT_NE(port.lasterror().find("data bits"), std::string::npos);
}

TEST(SerialSettingsText, ReadAsTheOldControlReadIt) {
  struct Case {
    const char* name;
    const char* text;
    bool ok;
    SerialSettings want;
  };
  const Case cases[] = {
      {"GPS default", "4800,N,8,1", true, {4800, 'N', 8, 1}},
      {"modem speed", "9600,N,8,1", true, {9600, 'N', 8, 1}},
      {"slow radio link", "1200,N,8,1", true, {1200, 'N', 8, 1}},
      {"lower-case parity, blanks", " 2400 , e , 7 , 2 ", true, {2400, 'E', 7, 2}},
      {"odd parity", "19200,O,8,1", true, {19200, 'O', 8, 1}},
      {"mark parity", "300,M,7,1", true, {300, 'M', 7, 1}},
      {"space parity", "300,S,5,1", true, {300, 'S', 5, 1}},
      {"line end from a file", "4800,N,8,1\r\n", true, {4800, 'N', 8, 1}},
      {"speed no tty supports", "14400,N,8,1", false, {}},
      {"speed not a number", "fast,N,8,1", false, {}},
      {"negative speed", "-4800,N,8,1", false, {}},
      {"unknown parity", "4800,X,8,1", false, {}},
      {"parity as a word", "4800,NONE,8,1", false, {}},
      {"nine data bits", "4800,N,9,1", false, {}},
      {"four data bits", "4800,N,4,1", false, {}},
      {"one and a half stop bits", "4800,N,8,1.5", false, {}},
      {"three stop bits", "4800,N,8,3", false, {}},
      {"field missing", "4800,N,8", false, {}},
      {"field too many", "4800,N,8,1,1", false, {}},
      {"empty", "", false, {}},
      {"huge speed", "99999999999999,N,8,1", false, {}},
  };
  for (const auto& c : cases) {
    std::string why;
    const auto s = parsesettings(c.text, &why);
    ASSERT_EQ(s.has_value(), c.ok) << c.name << ": " << why;
    if (c.ok) {
      EXPECT_EQ(s->baud, c.want.baud) << c.name;
      EXPECT_EQ(s->parity, c.want.parity) << c.name;
      EXPECT_EQ(s->databits, c.want.databits) << c.name;
      EXPECT_EQ(s->stopbits, c.want.stopbits) << c.name;
    } else {
      EXPECT_NE(why.find(c.text), std::string::npos) << c.name << ": the message names the text";
    }
  }
}

class SerialDevTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zarn-serial-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    fs::create_directories(root / "dev");
    for (const char* n : {"ttyS0", "ttyS1", "ttyS2", "ttyS3", "ttyS10", "ttyUSB1", "ttyUSB0", "ttyACM0",
                          "tty", "ttyS", "ttySX", "tty1", "ttyUSB"})
      std::ofstream(root / "dev" / n);
    // ttyS1 and ttyS2 have no UART; ttyS3 has no sysfs entry (it is then tried).
    for (auto [n, type] : {std::pair{"ttyS0", "4"}, {"ttyS1", "0"}, {"ttyS2", "0"}, {"ttyS10", "4"}}) {
      fs::create_directories(root / "sys" / n);
      std::ofstream(root / "sys" / n / "type") << type << "\n";
    }
    ::unsetenv("ZARN_COM2");
  }
  void TearDown() override {
    ::unsetenv("ZARN_COM2");
    fs::remove_all(root);
  }
  std::string dev(const std::string& port, std::string* why = nullptr) {
    auto p = serialdevice(port, why, root / "dev", root / "sys");
    return p ? p->filename().string() : "";
  }
  fs::path root;
};

TEST_F(SerialDevTree, ComPortsNumberTheFittedDevicesInOrder) {
  const auto all = serialdevices(root / "dev", root / "sys");
  std::vector<std::string> names;
  for (const auto& p : all) names.push_back(p.filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"ttyS0", "ttyS3", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyACM0"}));
  EXPECT_EQ(dev("COM1"), "ttyS0");
  EXPECT_EQ(dev("com2"), "ttyS3");  // the letter case of the configuration file does not matter
  EXPECT_EQ(dev("COM4"), "ttyUSB0");
  EXPECT_EQ(dev("COM6"), "ttyACM0");
  std::string why;
  EXPECT_EQ(dev("COM7", &why), "");
  EXPECT_NE(why.find("only 6 serial devices"), std::string::npos) << why;
  EXPECT_EQ(dev("/dev/ttyUSB7"), "ttyUSB7");  // a path is taken as it stands
}

TEST_F(SerialDevTree, EnvironmentNamesTheDeviceOfAPort) {
  ::setenv("ZARN_COM2", "/dev/ttyUSB5", 1);
  EXPECT_EQ(dev("COM2"), "ttyUSB5");
  EXPECT_EQ(dev("COM1"), "ttyS0");
  ::setenv("ZARN_COM2", "", 1);  // empty: as if not set
  EXPECT_EQ(dev("COM2"), "ttyS3");
}

TEST_F(SerialDevTree, NoDevicesAtAll) {
  std::string why;
  EXPECT_EQ(serialdevices(root / "none", root / "sys").size(), 0u);
  EXPECT_FALSE(serialdevice("COM1", &why, root / "none", root / "sys"));
  EXPECT_NE(why.find("ZARN_COM1"), std::string::npos) << why;
}

}  // namespace
}  // namespace zarn::platform
