#include "app/app.h"

#include "gpsinput/serialpoll.h"
#include "mainwindow/wiring.h"
#include "platform/fakes.h"
#include "speech/msgline.h"

namespace zarn {

namespace {
Services headless() {
  Services s;
  s.clock = std::make_unique<platform::SystemClock>();
  s.serial = std::make_unique<platform::NoSerial>();
  s.wav = std::make_unique<platform::RecordingWavPlayer>();
  s.tts = std::make_unique<platform::RecordingSpeaker>();
  s.programs = std::make_unique<platform::RecordingPrograms>();
  s.printer = std::make_unique<platform::RecordingPrinter>();
  s.dialogs = std::make_unique<platform::ScriptedDialogs>();
  s.events = std::make_unique<platform::NoEvents>();
  s.images = std::make_unique<platform::HeaderImageStore>();
  s.ender = std::make_unique<platform::RecordingEnder>();
  return s;
}

// Fills in whatever a caller left empty with the headless service.
Services complete(Services s) {
  Services d = headless();
  if (!s.clock) s.clock = std::move(d.clock);
  if (!s.serial) s.serial = std::move(d.serial);
  if (!s.wav) s.wav = std::move(d.wav);
  if (!s.tts) s.tts = std::move(d.tts);
  if (!s.programs) s.programs = std::move(d.programs);
  if (!s.printer) s.printer = std::move(d.printer);
  if (!s.dialogs) s.dialogs = std::move(d.dialogs);
  if (!s.events) s.events = std::move(d.events);
  if (!s.images) s.images = std::move(d.images);
  if (!s.ender) s.ender = std::move(d.ender);
  return s;
}
}  // namespace

App::App() : App(Services{}) {}

App::App(Services s)
    : sys(complete(std::move(s))),
      win(&sys.metrics),
      voice{speech, sys, files, win.zarn.saytxt, win.zarn, main.metric, main.playback,
            [this] {
              const ui::Form* qk = win.find("qkform");
              return qk && qk->visible;
            },
            [this] { readcomms(*this); }} {
  wirehooks(*this);
  // A file written without its writer asking why it failed (a log line on a full disk, a
  // FIFO in place of a list) is named on the message line.
  files.tellfailures([this](const std::string& text) { showmsgsay(voice, text); });
  // A picture refused for its size is named there too, once while its file is unchanged.
  sys.images->setscreen([this] { return platform::screenarea(sys); });
  sys.images->tellrefusals([this](const std::string& text) { showmsg(voice, text); });
}

// Files still open (a trip log) are closed after the message line has gone: they tell no more.
App::~App() {
  files.tellfailures({});
  sys.images->tellrefusals({});
}

}  // namespace zarn
