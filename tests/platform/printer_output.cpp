// Printing to the spooler and to a file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/files_tempdir.h"
#include "platform/printer.h"

using zarn::platform::FilePrinter;
using zarn::platform::Files;
using zarn::platform::LpPrinter;

namespace {

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* p = std::getenv("PATH");
    oldpath_ = p ? p : "";
  }
  void TearDown() override { ::setenv("PATH", oldpath_.c_str(), 1); }
  // A stand-in spooler client first in PATH.
  void fakelp(const std::string& body) {
    dir.put("bin/lp", "#!/bin/sh\n" + body, true);
    ::setenv("PATH", ((dir.path() / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  }
  zarn_test::TempDir dir;
  Files files{dir.path()};

 private:
  std::string oldpath_;
};

TEST_F(PrinterTest, FilePrinterAppendsLinesWithCrLf) {
  dir.put("PRINTER.TXT", "earlier\r\n");
  FilePrinter printer(files, "printer.txt");
  EXPECT_TRUE(printer.printline("13:02 Unit 4 \xA3" "5"));
  EXPECT_TRUE(printer.printline(""));
  EXPECT_EQ(dir.get("PRINTER.TXT"), "earlier\r\n13:02 Unit 4 \xA3" "5\r\n\r\n") << "Latin-1 kept, nothing lost";
  FilePrinter nowhere(files, "nodir\\printer.txt");
  EXPECT_FALSE(nowhere.printline("x"));
}

TEST_F(PrinterTest, LpGetsEachLineAsUtf8) {
  const auto out = dir.path() / "printed.txt";
  const auto args = dir.path() / "args.txt";
  fakelp("echo \"$@\" >> '" + args.string() + "'\ncat >> '" + out.string() + "'\necho request id is lp-1\n");
  LpPrinter printer("lp", {"-d", "line printer"});
  EXPECT_TRUE(printer.printline("Caf\xE9 12")) << printer.lasterror();
  EXPECT_TRUE(printer.printline("second")) << printer.lasterror();
  EXPECT_EQ(dir.get("printed.txt"), "Caf\xC3\xA9 12\nsecond\n");
  EXPECT_EQ(dir.get("args.txt"), "-d line printer\n-d line printer\n");
}

TEST_F(PrinterTest, LpFailureIsReportedWithItsMessage) {
  fakelp("cat > /dev/null\necho 'lp: The printer or class does not exist.' >&2\nexit 1\n");
  LpPrinter printer;
  EXPECT_FALSE(printer.printline("x"));
  EXPECT_EQ(printer.lasterror(), "lp: The printer or class does not exist.");
}

TEST_F(PrinterTest, LpMissingIsAFailureNotACrash) {
  ::setenv("PATH", (dir.path() / "empty").string().c_str(), 1);
  LpPrinter printer;
  EXPECT_FALSE(printer.printline("x"));
  EXPECT_NE(printer.lasterror().find("lp"), std::string::npos) << printer.lasterror();
  LpPrinter named((dir.path() / "no-such-lp").string());
  EXPECT_FALSE(named.printline("x"));
}

TEST_F(PrinterTest, LpThatTakesNoTextDoesNotKillUs) {
  // The client ends without reading: writing to it must give an error, not SIGPIPE.
  fakelp("exit 0\n");
  LpPrinter printer;
  EXPECT_FALSE(printer.printline(std::string(4 << 20, 'x')));
  EXPECT_FALSE(printer.lasterror().empty());
}

}  // namespace
