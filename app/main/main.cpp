// zarn: the moving map. Runs in the directory it is started in (the data folder).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/main/shell.h"
#include "mainwindow/startup.h"
#include "platform/audio/pulsewav.h"
#include "platform/ender.h"
#include "platform/printer.h"
#include "platform/programs.h"
#include "platform/qt/endsignals.h"
#include "platform/qt/qtapp.h"
#include "platform/qt/qtservices.h"
#include "platform/serial.h"
#include "platform/textrules.h"
#include "platform/tts/espeakspeaker.h"
#include "speech/msgline.h"

namespace {
// Without a display QApplication aborts with a message few would understand.
bool hasdisplay() {
  for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* s = std::getenv(v);
    if (s && *s) return true;
  }
  return false;
}
}  // namespace

int main(int argc, char** argv) {
  if (!hasdisplay()) {
    std::fputs(
        "zarn needs a graphical display: neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
        "Start it from a desktop session (or set QT_QPA_PLATFORM=offscreen to run without a screen).\n",
        stderr);
    return 1;
  }
  if (const auto why = zarn::nomapfolder(zarn::platform::Files())) {
    std::fprintf(stderr, "zarn: %s\n", why->c_str());
    return 1;
  }
  zarn::qt::EndSignals::holdback();  // before QApplication starts any thread
  zarn::qt::Application qapp(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZARN"));
  QApplication::setQuitOnLastWindowClosed(false);  // windows are hidden, not closed

  using namespace zarn;
  Services s;
  s.clock = std::make_unique<platform::SystemClock>();
  s.serial = platform::withdtrchannel(std::make_unique<platform::TermiosSerial>());  // ZARN_DTR_CHANNEL
  auto wav = std::make_unique<platform::PulseWavPlayer>();
  platform::PulseWavPlayer* player = wav.get();
  s.wav = std::move(wav);
  // Speech waits behind a prompt still playing instead of talking over it; it is handed to the
  // player and the speaker waits for it with the port read, as for a prompt.
  s.tts = std::make_unique<platform::EspeakSpeaker>([player](std::vector<short> samples, int rate) {
    platform::WavSound sound;
    sound.rate = rate;
    sound.channels = 1;
    sound.bits = 16;
    sound.samples.assign(samples.begin(), samples.end());
    return player->playsound(std::move(sound), false);
  });
  s.printer = std::make_unique<platform::LpPrinter>();
  s.dialogs = std::make_unique<qt::QtDialogs>();
  s.events = std::make_unique<qt::QtEventPump>();
  s.images = std::make_unique<qt::QtImageStore>();
  s.ender = std::make_unique<platform::ProcessEnder>();
  s.metrics = qt::qtmetrics();
  s.screen = qt::qtscreen;
  App app(std::move(s));
  app.sys.programs = std::make_unique<platform::PosixPrograms>(app.files);  // needs the app's files
  // A command that fails is reported on the message line, whatever the message setting, and
  // the program goes on.
  qapp.onexception = [&app](const std::string& what) { showmsgsay(app.voice, "Error: " + what); };

  Shell shell(app);
  qt::EndSignals endsignals([&shell] { shell.end(); });
  // A backlog on the port is not worked through once the end has been asked.
  auto* pump = dynamic_cast<qt::QtEventPump*>(app.sys.events.get());
  if (pump) pump->endpending = [&endsignals] { return endsignals.pending(); };
  // The command line as one text (a replay file may be named there), in the program's Latin-1.
  std::string cmdline;
  for (int i = 1; i < argc; ++i) cmdline += (i > 1 ? " " : "") + std::string(argv[i]);
  if (std::string latin; text::utf8tolatin1(cmdline, latin)) cmdline = latin;
  Form_Load(app, cmdline);
  if (app.main.quit) return 0;  // the one-shot fix mode, or a start-up failure
  if (const auto why = player->unavailable())
    showmsg(app.voice, "Sounds and speech are off: no sound server can be reached (" + *why + ").");
  shell.start();
  const int status = qapp.exec();
  // Ended as the user's exit ends it: nothing is held up by a sound still being played out.
  app.sys.ender->end(status);
}
