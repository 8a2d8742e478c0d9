// Printers: the system print spooler, or a file that collects what would have been printed.
#pragma once

#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/services.h"

namespace zarn::platform {

// Hands each line to the spooler client ("lp" unless configured otherwise) as a job of its
// own, the way a line printer got each line as it came. Fails when the client is missing or
// reports an error.
class LpPrinter final : public Printer {
 public:
  // options go before the text, e.g. {"-d", "lineprinter"}.
  explicit LpPrinter(std::string command = "lp", std::vector<std::string> options = {})
      : command_(std::move(command)), options_(std::move(options)) {}
  bool printline(const std::string& line) override;
  // The spooler client can be found: a name with a slash as given, a bare name on PATH.
  bool open() override;
  // Why the last line failed: the client's own message when it gave one.
  const std::string& lasterror() const { return error_; }

 private:
  std::string command_;
  std::vector<std::string> options_;
  std::string error_;
};

// Appends each line with CR LF to a file in the working directory; the file is closed after
// every line so nothing printed is lost.
class FilePrinter final : public Printer {
 public:
  FilePrinter(const Files& files, std::string name) : files_(files), name_(std::move(name)) {}
  bool printline(const std::string& line) override;
  // The file can be opened for appending (it is made when missing).
  bool open() override;

 private:
  const Files& files_;
  std::string name_;
};

}  // namespace zarn::platform
