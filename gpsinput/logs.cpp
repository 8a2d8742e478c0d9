#include "gpsinput/logs.h"

#include "app/app.h"
#include "gpsinput/checksum.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "speech/queue.h"

namespace zarn {

namespace {
std::string two(int v) { return text::format(v, "00"); }
}  // namespace

void newtrip(App& app) {
  auto& g = app.gps;
  const std::string ext = app.main.mvmode == 1 ? ".MVD" : ".NME";
  std::string name;
  if (app.files.exists("NEWTRIP.CFG")) {
    std::string prefix;
    if (auto f = platform::InputFile::open(app.files, "NEWTRIP.CFG")) prefix = text::ucase(f->field());
    if (!app.files.confined(prefix)) {
      showmsg(app.voice, "NEWTRIP.CFG: " + prefix + " is outside the working folder");
      return;
    }
    const long w = 8 - static_cast<long>(prefix.size());
    for (int n = 1; n <= 999 && name.empty(); ++n) {
      std::string counter = std::to_string(n);
      if (static_cast<long>(counter.size()) < w) counter.insert(0, w - counter.size(), '0');
      const std::string candidate = prefix + counter + ext;
      if (!app.files.exists(candidate)) name = candidate;
    }
    if (name.empty()) {
      // Every name is taken: replacing the prefix-only file would lose a journey.
      showmsg(app.voice, "No free trip log name: " + prefix + " 1 to 999 are all in use");
      return;
    }
  } else {
    name = "NEWTRIP" + ext;
  }
  if (app.main.mvmode == 1) {
    saytext(app.voice, "I am now logging data into " + name);
    LinkShow show;
    show.logtext = "Log to " + name;
    callhook(app.hooks.showlink, app, show);
  } else {
    saytext(app.voice, "I am now recording GPS data into " + name);
  }
  closetriplog(g);
  std::string why;
  g.triplog = platform::OutputFile::open(app.files, name, platform::OutputFile::Mode::Log, &why);
  if (!g.triplog) {
    showmsg(app.voice, "Cannot create " + name + ": " + why);
    return;
  }
  g.logopen = true;
}

void writetriplog(GpsState& gps, std::string_view line) {
  if (!gps.logopen || !gps.triplog) return;
  // A received line may still hold its own line end; the log gives every line one CR LF.
  while (line.ends_with('\r') || line.ends_with('\n')) line.remove_suffix(1);
  // Flushed line by line: a killed program loses no more than the line being written.
  if (gps.triplog->print(line)) gps.triplog->flush();
}

void closetriplog(GpsState& gps) {
  gps.logopen = false;
  gps.triplog.reset();
}

void writenmepos(const platform::Files& files, const platform::Clock& clock, const std::string& lltext,
                 const std::string& course) {
  using text::mid;
  const std::string pos = mid(lltext, 1, 2) + mid(lltext, 5, 5) + "," + mid(lltext, 12, 1) + "," +
                          mid(lltext, 14, 3) + mid(lltext, 19, 5) + "," + mid(lltext, 26, 1);
  const platform::DateTime t = clock.now();
  const std::string time = two(t.hour) + two(t.minute) + two(t.second);
  const std::string date = two(t.day) + two(t.month) + two(t.year % 100);
  const std::string s = "$GPRMC," + time + ",A," + pos + ",30," + course + "," + date + ",,";
  if (auto f = platform::OutputFile::open(files, "NEW.NME", platform::OutputFile::Mode::Append))
    f->print(s + "*" + nmeachksum(s));
}

void sniffchecksum(GpsState& g, Voice& voice) {
  g.nochecksum = 1;
  // Read once, within the limit of a long recorded drive; the sniffing pass then rewinds.
  std::string why;
  g.replay = platform::InputFile::open(voice.files, g.replayfile, platform::Files::loglimit, &why);
  if (!g.replay) {
    if (g.replaytold != g.replayfile) {
      g.replaytold = g.replayfile;
      showmsgsay(voice, "Cannot replay " + (why.empty() ? g.replayfile + ": no such file" : why));
    }
    return;
  }
  g.replaytold.clear();
  for (int i = 0; i < 20 && !g.replay->eof(); ++i) {
    const std::string l = g.replay->lineinput();
    if (l.starts_with('$') && l.find('*') != std::string::npos) g.nochecksum = 0;
  }
  g.replay->rewind();
}

void setreplayfile(GpsState& gps, const std::string& name) {
  gps.replayfile = name;
  gps.replaytold.clear();
}

}  // namespace zarn
