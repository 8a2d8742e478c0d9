// Printers: the system print spooler, or a file that collects what would have been printed.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/services.h"

namespace zarn::platform {

// Hands each job to the spooler client ("lp" unless configured otherwise), started at the
// job's first line and given the lines as they come, so that a job is never held back in
// memory and a client that refuses at once is found at that line. Fails when the client is
// missing or reports an error.
class LpPrinter final : public Printer {
 public:
  // options go before the text, e.g. {"-d", "lineprinter"}.
  explicit LpPrinter(std::string command = "lp", std::vector<std::string> options = {})
      : command_(std::move(command)), options_(std::move(options)) {}
  ~LpPrinter() override { flush(); }
  std::unique_ptr<PrintJob> job() override;
  // The spooler client can be found: a name with a slash as given, a bare name on PATH.
  bool open() override;
  // Why the last job failed: the client's own message when it gave one.
  const std::string& lasterror() const { return error_; }

 private:
  friend class LpJob;
  std::string command_;
  std::vector<std::string> options_;
  std::string error_;
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
