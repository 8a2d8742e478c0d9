// Stand-ins for the services: headless defaults for the application object, and fakes that
// tests drive and inspect.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/services.h"

namespace zarn::platform {

// A clock that stands still until a test sets or advances it.
class FakeClock final : public Clock {
 public:
  DateTime now() const override { return t_; }
  void set(const DateTime& t) { t_ = t; }
  void settimer(double seconds_since_midnight);  // keeps the date
  void advance(double seconds);                  // across midnight into the next day
 private:
  DateTime t_{2020, 10, 26, 12, 0, 0, 0};
};

// A serial line that holds what is put on it, all of it read by the next poll: a flood arriving
// at once.
class HeldLine final : public SerialLine {
 public:
  bool open(const std::string&, const std::string&) override { return true; }
  bool setsettings(const std::string&) override { return true; }
  bool isopen() const override { return true; }
  void close() override {}
  int inbuffercount() override { return static_cast<int>(held.size()); }
  std::string input() override { return std::exchange(held, {}); }
  bool output(std::string_view) override { return true; }
  void setdtr(bool) override {}
  std::string held;
};

// No serial port: never opens, never has input.
class NoSerial final : public SerialLine {
 public:
  bool open(const std::string&, const std::string&) override { return false; }
  bool setsettings(const std::string&) override { return false; }
  bool isopen() const override { return false; }
  void close() override {}
  int inbuffercount() override { return 0; }
  std::string input() override { return {}; }
  bool output(std::string_view) override { return false; }
  void setdtr(bool) override {}
  std::string lasterror() const override { return "no serial port"; }
};

// A modem on the serial line as a test scripts it. Each command sent (the text up to a
// carriage return) is answered by the first rule whose command it begins with: the rule's
// replies arrive that many seconds after the command. Every poll of the input moves the clock
// on by step, so that a wait of a minute takes a few hundred polls. DTR low drops the call:
// replies still to come are lost. Commands and DTR changes are kept with their times of day.
class FakeModemLine final : public SerialLine {
 public:
  struct Reply {
    double after;  // seconds after the command, or from now for input()
    std::string text;
  };
  struct Timed {
    double t;  // time of day, seconds
    std::string text;
  };
  struct DtrChange {
    double t;
    bool on;
  };

  // The clock the replies keep to and that each poll moves on.
  void attach(FakeClock& clock) { clock_ = &clock; }
  // Rules are tried in the order given; uses: how many commands the rule answers (-1 any).
  void answer(std::string command, std::vector<Reply> replies, int uses = -1) {
    rules_.push_back({std::move(command), std::move(replies), uses});
  }
  // Input that comes unasked, after the given seconds.
  void arrive(double after, std::string text) { pending_.push_back({now() + after, std::move(text)}); }

  bool open(const std::string&, const std::string&) override { return true; }
  bool setsettings(const std::string&) override { return true; }
  bool isopen() const override { return true; }
  void close() override {}
  int inbuffercount() override;
  std::string input() override;
  bool output(std::string_view bytes) override;
  void setdtr(bool on) override;

  double step = 0.05;
  std::string sent;                // every byte written
  std::vector<Timed> commands;     // each command, without its carriage return
  std::vector<DtrChange> dtr;
  long polls = 0;

 private:
  struct Rule {
    std::string command;
    std::vector<Reply> replies;
    int uses;
  };
  double now() const;  // time of day, seconds, to the clock's fraction
  FakeClock* clock_ = nullptr;
  std::vector<Rule> rules_;
  std::vector<Timed> pending_;  // replies to come, t their due time
  std::string ready_, partial_;
};

// Records what would have been played. A file that does not exist (or is not a readable WAV)
// gives 0, as the real player does. Sounds take no time, unless a clock is attached: then each
// one started lasts that many seconds of it, after those still to be heard, as the real player
// queues them, and playing() holds until the last has ended.
class RecordingWavPlayer final : public WavPlayer {
 public:
  struct Played {
    std::string file;  // the name as resolved, file name part only
    bool sync;
    double seconds = -1;  // length of the decoded sound; -1 when it does not decode as PCM
  };
  int play(const std::filesystem::path& wav, bool sync) override;
  void beep() override { ++beeps; }
  bool playing() override;
  void attach(const Clock& clock, double lasts) {
    clock_ = &clock;
    lasts_ = lasts;
  }
  std::vector<Played> played;
  int beeps = 0;

 private:
  const Clock* clock_ = nullptr;
  double lasts_ = 0;
  double until_ = 0;  // time of day, seconds, when the last sound started ends
};

// Records what would have been said. available() is settable.
class RecordingSpeaker final : public Speaker {
 public:
  bool available() const override { return avail; }
  void setsayglobals(int a, int b, int c, int d, int e) override { globals = {a, b, c, d, e}; }
  int say(const std::string& text) override {
    said.push_back(text);
    return avail ? 1 : 0;
  }
  bool avail = true;
  std::vector<int> globals;
  std::vector<std::string> said;
};

// Message boxes answered from a script; with an empty script the default button is taken
// (OK, or Yes for Yes/No questions). Every prompt shown is kept.
class ScriptedDialogs final : public Dialogs {
 public:
  int msgbox(const std::string& prompt, int buttons, const std::string& title) override;
  std::deque<int> answers;
  struct Shown {
    std::string prompt;
    int buttons;
    std::string title;
  };
  std::vector<Shown> shown;
  std::function<void()> onshow;  // runs as each box shows, before it is answered
};

// Runs a test's hook on every pass, so a test can advance its fake clock or feed input
// while the code under test waits.
class NoEvents final : public EventPump {
 public:
  void doevents() override {
    ++calls;
    if (hook) hook();
  }
  bool endasked() const override { return ending && ending(); }
  long calls = 0;
  std::function<void()> hook;
  std::function<bool()> ending;
};

// Programs that are "started" only into a list.
class RecordingPrograms final : public ProgramRunner {
 public:
  bool start(const std::filesystem::path& program, const std::vector<std::string>& args, bool wait,
             std::string* error) override;
  bool exists(const std::filesystem::path&) const override { return succeed; }
  struct Started {
    std::filesystem::path program;
    std::vector<std::string> args;
    bool wait;
  };
  std::vector<Started> started;
  bool succeed = true;  // false: no program is there to start
};

// Keeps the status the end was asked with and throws ProgramEnded.
class RecordingEnder final : public Ender {
 public:
  [[noreturn]] void end(int s) override {
    status = s;
    throw ProgramEnded(s);
  }
  std::optional<int> status;  // set once the end was asked
};

// Every line printed, and the jobs the lines went in as they were handed over.
class RecordingPrinter final : public Printer {
 public:
  ~RecordingPrinter() override {
    flush();
    drop();  // the jobs write into this printer
  }
  std::unique_ptr<PrintJob> job() override { return std::make_unique<Job>(*this); }
  bool works = true;
  std::vector<std::string> lines;
  std::vector<std::vector<std::string>> jobs;

 private:
  class Job final : public PrintJob {
   public:
    explicit Job(RecordingPrinter& p) : p_(p) {}
    ~Job() override { end(); }
    bool printline(const std::string& line) override {
      if (!p_.works) return false;
      p_.lines.push_back(line);
      lines_.push_back(line);
      return true;
    }
    bool end() override {
      if (!lines_.empty()) p_.jobs.push_back(std::exchange(lines_, {}));
      return p_.works;
    }

   private:
    RecordingPrinter& p_;
    std::vector<std::string> lines_;
  };
};

// Reads only the picture size from BMP and ICO headers; enough for logic and tests.
class HeaderImageStore final : public ImageStore {
 protected:
  std::optional<std::pair<int, int>> measure(const std::filesystem::path& file) override;
  ui::PictureRef decode(const std::filesystem::path& file) override;
};

}  // namespace zarn::platform
