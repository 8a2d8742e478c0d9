// The operating-system services the program uses, each behind a small interface. The real
// implementations live beside this file (serial, clock, programs, printer) and in the
// sub-folders audio/ (PulseAudio), tts/ (espeak-ng) and qt/ (windows, dialogs, pictures);
// tests use the fakes and recording sinks declared in fakes.h.
#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/datetime.h"
#include "platform/ui.h"

namespace zarn::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime now() const = 0;
  // Seconds since midnight, in single precision as the program has always kept time of day.
  float timer() const;
};

class SystemClock final : public Clock {
 public:
  DateTime now() const override;
};

// The serial line: polled, never event-driven, 8-bit clean.
class SerialLine {
 public:
  virtual ~SerialLine() = default;
  // port: "COM1".."COMn" (the n-th serial device) or a device path; settings: "4800,N,8,1".
  virtual bool open(const std::string& port, const std::string& settings) = 0;
  virtual bool setsettings(const std::string& settings) = 0;
  virtual bool isopen() const = 0;
  virtual void close() = 0;
  virtual int inbuffercount() = 0;        // bytes waiting
  virtual std::string input() = 0;        // everything waiting, without blocking
  virtual bool output(std::string_view bytes) = 0;
  virtual void setdtr(bool on) = 0;
  virtual std::string lasterror() const { return {}; }
};

// WAV prompts.
class WavPlayer {
 public:
  virtual ~WavPlayer() = default;
  // sync: return when the sound has ended. Otherwise start it without cutting off a sound
  // already playing. Non-zero on success; zero for a missing or unplayable file, and never a
  // default sound.
  virtual int play(const std::filesystem::path& wav, bool sync) = 0;
  virtual void beep() = 0;
  // True while a sound started is still queued or playing: a caller that must hear it to its
  // end waits for this with the port read and events let run, not in play(..., true).
  virtual bool playing() { return false; }
};

// Text-to-speech.
class Speaker {
 public:
  virtual ~Speaker() = default;
  virtual bool available() const = 0;
  virtual void setsayglobals(int a, int b, int c, int d, int e) = 0;
  // Non-zero on success. The speech may still be playing when it returns, on the WAV player
  // (see WavPlayer::playing), where the program's speaker hands it.
  virtual int say(const std::string& text) = 0;
};

// Outside programs, started with an argument vector and never through a shell.
class ProgramRunner {
 public:
  virtual ~ProgramRunner() = default;
  // Returns false (with a reason in *error) when the program cannot be started.
  virtual bool start(const std::filesystem::path& program, const std::vector<std::string>& args,
                     bool wait, std::string* error = nullptr) = 0;
  // Whether there is a program of that name to start.
  virtual bool exists(const std::filesystem::path& program) const = 0;
};

// Lines that belong together, handed to the printer as one job. Nothing here waits for the
// printer: what it has not taken yet is held, and how the job ended is asked for later.
class PrintJob {
 public:
  virtual ~PrintJob() = default;  // a job dropped unended still goes to the printer
  virtual bool printline(const std::string& line) = 0;  // false on failure
  // No more lines: the job goes to the printer. False when it has failed already.
  virtual bool end() = 0;
  // Moves the job on without waiting and says what is known: false once it failed, true once
  // the printer has taken it (a job whose printer takes each line as it comes: so far),
  // nullopt while it is still on its way.
  virtual std::optional<bool> outcome() { return true; }
  // Why the job failed, as the system said it; empty when it said nothing.
  virtual std::string why() const { return {}; }
};

// The program prints a line at a time, as on the line printer it was made for; a page printer
// gets the lines that belong together as one job: a run's lines through a job of its own, and
// the log's lines as one job for each burst, ended by settle once the lines pause.
class Printer {
 public:
  static constexpr double pause = 5;     // seconds without a line that end a burst
  static constexpr double longest = 60;  // a steady stream still prints a job this often
  // Seconds a job handed over may take to be printed or refused: the spooler's client is
  // ended past them, and the job has failed.
  static constexpr double jobtime = 30;
  virtual ~Printer() = default;
  // Whether the printer can take lines now: a run that prints asks before it starts.
  virtual bool open() { return true; }
  virtual std::unique_ptr<PrintJob> job() = 0;
  // A line of the log: false on failure, and the burst is dropped.
  bool printline(const std::string& line);
  // Called now and then (the tick) with the seconds since midnight: hands over a burst that has
  // paused or run long, and collects the bursts handed over earlier. False when one failed.
  bool settle(double now);
  // Hands over the burst now: false when it has failed already.
  bool flush();
  // How the bursts handed over have ended, without waiting: false when one failed.
  bool collect();
  // Jobs handed over that are not yet printed or refused.
  virtual bool busy() const { return !handed_.empty(); }
  // Why the last job failed, as the system said it; empty when it said nothing.
  const std::string& lasterror() const { return error_; }

 protected:
  // Drops the jobs in hand: a printer whose jobs use its members calls it as it goes.
  void drop() {
    burst_.reset();
    handed_.clear();
  }
  // Moves on what the printer still holds apart from the bursts (called by collect).
  virtual void carryon() {}
  std::string error_;

 private:
  bool failed(const PrintJob& job);
  std::unique_ptr<PrintJob> burst_;
  std::vector<std::unique_ptr<PrintJob>> handed_;
  bool fresh_ = false;  // lines came since the last settle
  double first_ = -1, last_ = -1;
};

// Modal message boxes. Buttons and answers use the old codes.
namespace mb {
inline constexpr int ok = 0, okcancel = 1, yesnocancel = 3, yesno = 4;
inline constexpr int critical = 16, question = 32, exclamation = 48, information = 64;
inline constexpr int idok = 1, idcancel = 2, idyes = 6, idno = 7;
}  // namespace mb

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual int msgbox(const std::string& prompt, int buttons, const std::string& title) = 0;
};

// Lets pending window events run: the only way a long wait keeps the program alive.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void doevents() = 0;
  // Nothing to do for a moment: the real pump sleeps briefly so that waits do not spin.
  virtual void idle() {}
  // True once the end of the program has been asked from outside (a signal), before and after
  // the events have taken it: long work stops early for it, and every wait ends.
  virtual bool endasked() const { return false; }
};

// Waits while letting events run: the one way the program waits. Ends early as soon as done()
// holds (tested after each pass of events) and then returns true, or once the end of the
// program has been asked (EventPump::endasked), returning false. A clock that never moves
// (a test's fake) ends the wait after a bounded number of passes.
bool waitfor(const Clock& clock, EventPump& events, float seconds, const std::function<bool()>& done);

// The end of the process. The program's one is immediate: buffered output goes out, and nothing
// of the program runs after it, however deep in waits and event handlers it is called.
class Ender {
 public:
  virtual ~Ender() = default;
  [[noreturn]] virtual void end(int status) = 0;
};

// What an ending that cannot end the process (a test's) throws instead, so that nothing after
// the end runs; the event loop stops at it as the program would have.
struct ProgramEnded : std::exception {
  explicit ProgramEnded(int s) : status(s) {}
  const char* what() const noexcept override { return "the program has ended"; }
  int status;
};

// The part of the screen the program's windows may take, in pixels: the desktop less its
// panels.
struct ScreenArea {
  int left = 0, top = 0, width = 640, height = 480;
};

// What a picture is for, which bounds the size it may claim: a picture shown in a window (an
// icon, a key or lesson picture, a flag) is no larger than the screen; a map or tile no larger
// than the toolkit can keep and draw.
enum class PictureUse { shown, map };

// Loads pictures (BMP, ICO) for image controls; null when the file is missing, unreadable or
// refused. Each file is decoded once and shared while it is unchanged (the same file on disk, of
// the same size, modification and status-change times), whatever its date, so a picture named a
// hundred times, or a map chosen again, is not read again. A picture whose header claims more
// pixels than its use can show is refused before it is decoded: a small file may claim
// gigabytes. One whose size only decoding tells, and that cannot be decoded, is refused too; a
// failed or refused file is not decoded again while unchanged.
class ImageStore {
 public:
  virtual ~ImageStore() = default;
  // Null when refused; the reason ("is too large to show: ...", without the file's name) goes to
  // `why` when asked for, else is told through tellrefusals, once while the file is unchanged.
  virtual ui::PictureRef load(const std::filesystem::path& file, PictureUse use, std::string* why = nullptr);
  ui::PictureRef load(const std::filesystem::path& file) { return load(file, PictureUse::shown); }

  void setscreen(std::function<ScreenArea()> screen) { screen_ = std::move(screen); }
  // Where a refusal is told, naming the file, when its reader did not ask for the reason.
  void tellrefusals(std::function<void(const std::string&)> tell) { tell_ = std::move(tell); }
  // Files decoded so far (each decode is a read of the whole file).
  std::size_t decodes() const { return decodes_; }
  // Bytes of decoded pictures held for reuse beyond those in use.
  static constexpr std::size_t keptbytes = std::size_t{48} << 20;
  // The largest map picture: the toolkit's allocation limit (128 MB) at 4 bytes a pixel, and the
  // raster painter's 32767 pixels a side.
  static constexpr long long mappixels = 32LL << 20;
  static constexpr int mapside = 32767;

 protected:
  // The size the file's header claims, without decoding it; nullopt when no picture is known
  // there, {0, 0} when the format does not tell before decoding.
  virtual std::optional<std::pair<int, int>> measure(const std::filesystem::path& file) = 0;
  virtual ui::PictureRef decode(const std::filesystem::path& file) = 0;

 private:
  // What tells one version of a file from another: times can be set back, but not the status
  // change time, which also moves when the file is replaced, as does its identity. The status
  // change time moves with a change of mode or owner too: when it alone moved, the bytes'
  // checksum tells whether the picture did.
  struct Stamp {
    std::uintmax_t dev = 0, ino = 0, size = 0;
    long long mtime = 0, ctime = 0;  // nanoseconds since 1970
    bool operator==(const Stamp&) const = default;
  };
  struct Entry {
    Stamp stamp;
    // A file changed moments before it was read may change again without its times moving: its
    // bytes' checksum, taken before decoding, is compared once the file has settled (one not
    // decoded is measured again), and whenever its status change time alone has moved.
    bool recheck = false;
    std::optional<std::uint64_t> sum;
    int width = 0, height = 0;  // claimed by the header or decoded; 0 while not known
    bool failed = false;        // the decoder could not read it
    bool refused = false;       // a refusal was given (told or returned)
    std::weak_ptr<const ui::Picture> pic;
    std::string refusal;  // why the file was refused when no use can take it
  };
  std::string limitof(int w, int h, PictureUse use) const;
  void keep(const ui::PictureRef& pic);
  std::map<std::string, Entry, std::less<>> entries_;
  std::list<ui::PictureRef> kept_;  // most recently used first
  std::size_t keptsize_ = 0;
  std::size_t decodes_ = 0;
  std::function<ScreenArea()> screen_;
  std::function<void(const std::string&)> tell_;
};

// Every service the program uses, one of each; the application object owns them.
struct Services {
  std::unique_ptr<Clock> clock;
  std::unique_ptr<SerialLine> serial;
  std::unique_ptr<WavPlayer> wav;
  std::unique_ptr<Speaker> tts;
  std::unique_ptr<ProgramRunner> programs;
  std::unique_ptr<Printer> printer;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<EventPump> events;
  std::unique_ptr<ImageStore> images;
  std::unique_ptr<Ender> ender;
  ui::TextMetrics metrics;  // empty functions: estimated text sizes
  std::function<ScreenArea()> screen;  // empty: a 640 x 480 screen, as without a display
};

// The screen as the services measure it.
inline ScreenArea screenarea(const Services& s) { return s.screen ? s.screen() : ScreenArea{}; }

}  // namespace zarn::platform
