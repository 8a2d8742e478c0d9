// Printing to the spooler and to a file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/files.h"
#include "platform/printer.h"
#include "support/tempdir.h"

using zarn::platform::LpPrinter;

namespace {

struct PrinterTest : ::testing::Test {
  void TearDown() override { ::setenv("PATH", oldpath.c_str(), 1); }
  // A stand-in spooler client first in PATH.
  void fakelp(const std::string& body) {
    dir.put("bin/lp", "#!/bin/sh\n" + body, true);
    ::setenv("PATH", ((dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
  }
  std::string oldpath = std::getenv("PATH") ? std::getenv("PATH") : "";
  zarn::testing::TempDir dir;
};

TEST_F(PrinterTest, FilePrinterAppendsLinesWithCrLf) {
  zarn::platform::Files files{dir.path()};
  dir.put("PRINTER.TXT", "earlier\r\n");
  zarn::platform::FilePrinter printer(files, "printer.txt");
  EXPECT_TRUE(printer.printline("13:02 Unit 4 \xA3" "5"));
  EXPECT_TRUE(printer.printline(""));
  EXPECT_EQ(dir.get("PRINTER.TXT"), "earlier\r\n13:02 Unit 4 \xA3" "5\r\n\r\n") << "Latin-1 kept, nothing lost";
  EXPECT_FALSE(zarn::platform::FilePrinter(files, "nodir\\printer.txt").printline("x"));
}

TEST_F(PrinterTest, LpGetsEachLineAsUtf8) {
  fakelp("echo \"$@\" >> '" + (dir / "args.txt").string() + "'\ncat >> '" + (dir / "printed.txt").string() +
         "'\necho request id is lp-1\n");
  LpPrinter printer("lp", {"-d", "line printer"});
  EXPECT_TRUE(printer.printline("Caf\xE9 12")) << printer.lasterror();
  EXPECT_TRUE(printer.printline("second")) << printer.lasterror();
  EXPECT_EQ(dir.get("printed.txt"), "Caf\xC3\xA9 12\nsecond\n");
  EXPECT_EQ(dir.get("args.txt"), "-d line printer\n-d line printer\n");
}

TEST_F(PrinterTest, LpFailuresAreReportedNotFatal) {
  fakelp("cat > /dev/null\necho 'lp: The printer or class does not exist.' >&2\nexit 1\n");
  LpPrinter printer;
  EXPECT_FALSE(printer.printline("x"));
  EXPECT_EQ(printer.lasterror(), "lp: The printer or class does not exist.");

  // The client ends without reading: writing to it must give an error, not SIGPIPE.
  fakelp("exit 0\n");
  EXPECT_FALSE(printer.printline(std::string(4 << 20, 'x')));
  EXPECT_FALSE(printer.lasterror().empty());

  ::setenv("PATH", (dir / "empty").c_str(), 1);
  LpPrinter missing;
  EXPECT_FALSE(missing.printline("x")) << "no lp at all";
  EXPECT_NE(missing.lasterror().find("lp"), std::string::npos) << missing.lasterror();
}

}  // namespace
