// Printers: the system print spooler, or a file that collects what would have been printed.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/services.h"

namespace zarn::platform {

struct Spool;

// Hands each job to the spooler client ("lp" unless configured otherwise), started at the
// job's first line, and never waits for it: lines go to the client as it takes them, those it
// has not taken yet are held, up to `held` bytes a job. A line past that fails, as do the
// later ones while printing stays off; those held before it still go. A job ended is printed
// once the client ends with status 0; a client that has not ended `limit` seconds after the
// job's end is killed with its process group, and the job has failed. What it started into a
// group or session of its own (setsid) is out of reach and runs on: only a subreaper could
// track it, and that would take on the orphans of every program this one starts. The client's
// own message, or what became of it, is the failure's reason (lasterror).
class LpPrinter final : public Printer {
 public:
  static constexpr std::size_t held = 4 << 20;
  // options go before the text, e.g. {"-d", "lineprinter"}.
  explicit LpPrinter(std::string command = "lp", std::vector<std::string> options = {}, double limit = jobtime);
  // Clients still running are left to print what they took: their input is closed, and text they
  // had not taken yet is not printed.
  ~LpPrinter() override;
  std::unique_ptr<PrintJob> job() override;
  // The spooler client can be found: a name with a slash as given, a bare name on PATH.
  bool open() override;
  bool busy() const override { return Printer::busy() || !left_.empty(); }

 private:
  friend class LpJob;
  void carryon() override;
  std::string command_;
  std::vector<std::string> options_;
  double limit_;
  std::vector<std::unique_ptr<Spool>> left_;  // jobs dropped while their client still ran
};

// Appends each line with CR LF to a file in the working directory; the file is closed after
// every line so nothing printed is lost.
class FilePrinter final : public Printer {
 public:
  FilePrinter(const Files& files, std::string name) : files_(files), name_(std::move(name)) {}
  ~FilePrinter() override { flush(); }
  std::unique_ptr<PrintJob> job() override;
  // The file can be opened for appending (it is made when missing).
  bool open() override;

 private:
  const Files& files_;
  std::string name_;
};

// A line as it is printed: without the line ends a received line brings along (the CR that
// ended it, the LF after the one before), which the printer's own line end replaces; a CR or
// LF inside it a blank, so that one line stays one line, and no NUL.
std::string printable(std::string_view line);

}  // namespace zarn::platform
