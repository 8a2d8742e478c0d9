#include "mainwindow/exitseq.h"

#include <string>

#include "app/app.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/logs.h"
#include "gpsinput/ownfix.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {

// Keeps the last own position for the next start: ZARNLAST.DAT, and INITROCK.CFG for the
// receiver initialisation when ZARNLAST.DAT asks for it with a first line "INITROCK". Returns
// what could not be written.
std::string savelastpos(App& app) {
  const GpsState& g = app.gps;
  // Before the first fix the no-position value would convert to a place in the ocean.
  if (noposition(g)) return {};
  float lat = 0, lon = 0;
  osgbtoll(app.geo, g.ownx, g.owny, lat, lon);
  std::string pos;
  llcompact(lat, lon, pos);
  if (pos.size() != 15) return {};

  std::string error;
  if (text::trim(app.files.readfirstline("ZARNLAST.DAT")) == "INITROCK" &&
      !app.files.writelines("INITROCK.CFG", {pos}, &error))
    return "INITROCK.CFG not written: " + error;  // the request stays in ZARNLAST.DAT for the next exit
  if (!app.files.writelines("ZARNLAST.DAT", {pos}, &error)) return "ZARNLAST.DAT not written: " + error;
  return {};
}

}  // namespace

void exitprog(App& app) {
  const std::string question = "Are you sure you want to exit ZARN ?";
  speakqueue(app.voice);  // nothing queued earlier is spoken after the question
  showmsg(app.voice, question);
  {
    TalkGuard talk(app.speech);
    talk.on();
    queuewav(app.voice, "SUREEXIT.WAV");
    speakqueue(app.voice);
    if (app.msgbox(question, platform::mb::yesnocancel + platform::mb::question, "Exit ZARN ?") !=
        platform::mb::idyes)
      return;
    showmsg(app.voice, "Goodbye !");
    queuewav(app.voice, "goodbye.wav");
    speakqueue(app.voice);
  }

  // From here on the tick does nothing, and nothing is logged or replayed any more.
  app.main.tickbusy_guard = true;
  closetriplog(app.gps);
  app.gps.replay.reset();
  std::string problems;  // what the user has to know before the program goes
  const auto note = [&problems](const std::string& p) {
    if (!p.empty()) problems += (problems.empty() ? "" : "\n") + p;
  };
  if (app.win.zarn.modebox.caption == "GPS") note(savelastpos(app));  // a live receiver's position only
  if (app.gps.astral > 0 || app.main.poweroff > 0) app.sys.serial->setdtr(false);
  if (app.files.exists("ZARNEXIT.BAT")) {
    // Started by name with no arguments, never through a shell, and not waited for.
    std::string error;
    if (!app.sys.programs->start("ZARNEXIT.BAT", {}, false, &error)) note("ZARNEXIT.BAT: " + error);
  }
  // A line on the message line would vanish unread with the program.
  if (!problems.empty()) app.msgbox(problems, platform::mb::ok + platform::mb::exclamation, "ZARN");
  app.main.quit = true;
  app.sys.ender->end(0);
}

}  // namespace zarn
