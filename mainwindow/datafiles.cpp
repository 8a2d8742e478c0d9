#include "mainwindow/datafiles.h"

#include <algorithm>
#include <cctype>

#include "app/app.h"
#include "geodesy/postext.h"
#include "mainwindow/cform.h"
#include "mainwindow/secondary.h"
#include "mainwindow/startwin.h"
#include "platform/textrules.h"
#include "speech/msgline.h"
#include "vehicles/dialforms.h"

namespace zarn {

using text::trim;

std::optional<ValueList> ValueList::open(const platform::Files& files, std::string_view name) {
  auto f = platform::InputFile::open(files, name);
  if (!f) return std::nullopt;
  return ValueList(std::move(*f));
}

std::optional<std::string> ValueList::text() {
  if (f_.eof()) return std::nullopt;
  return f_.field();
}

std::optional<double> ValueList::number() {
  auto t = text();
  if (!t || !isnumber(*t)) return std::nullopt;
  return text::val(*t);
}

namespace {

// Reads the next value into v when it is a number; a bad or missing value leaves v as it was.
template <class T> bool take(ValueList& l, T& v) {
  const auto n = l.number();
  if (!n) return false;
  if constexpr (std::is_integral_v<T>)
    v = static_cast<T>(text::int16(*n));
  else
    v = static_cast<T>(*n);
  return true;
}

}  // namespace

bool readsounds(const platform::Files& files, MainState& m, SpeechState& speech) {
  static const char* const questions[] = {
      "",
      "where we are regularly ?",
      "where our Destination is regularly ?",
      "what direction we are moving regularly ?",
      "route guidance instructions ?",
      "when we are on a new road ?",
      "when we are near a Landmark ?",
      "when I am changing map ?",
      "when G P S state changes ?",
      "ETA ?",
      "traffic delay warnings ?"};
  static constexpr int defaults[] = {0, 60, 20, 60, 1, 1, 1, 1, 1, 60, 1};
  m.repkinds = 9;
  for (int k = 1; k <= 10; ++k) {
    m.repquest[k] = questions[k];
    m.repint[k] = defaults[k];
  }
  auto l = ValueList::open(files, "SOUNDS.CFG");
  if (!l) return false;
  m.repint[10] = 0;
  take(*l, speech.nosound);
  for (int k = 1; k <= 9; ++k) take(*l, m.repint[k]);
  return true;
}

void readzarndf(const platform::Files& files, NavState& n) {
  n.dfmove = 0.15f;
  n.dfrel = 1;
  n.dfaccept = 1;
  n.dfcfg5 = 60;
  n.dfratef = 5;
  n.dfratemin = 500;
  n.dfratemaxt = 60;
  n.dflinemax = 10;
  auto l = ValueList::open(files, "ZARNDF.CFG");
  if (!l) return;
  take(*l, n.dfmove);
  take(*l, n.dfrel);
  take(*l, n.dfaccept);
  l->text();  // the fourth value is not used
  take(*l, n.dfcfg5);
  take(*l, n.dfratef);
  take(*l, n.dfratemin);
  take(*l, n.dfratemaxt);
  take(*l, n.dflinemax);
}

std::optional<int> readlanguagecfg(const platform::Files& files) {
  auto l = ValueList::open(files, "LANGUAGE.CFG");
  if (!l) return std::nullopt;
  int n = 0;
  take(*l, n);
  return n;
}

void readxyll(const platform::Files& files, GeoState& g) {
  g.xylat0 = 1.3599590f;
  g.xyy0 = 38.0f;
  g.xylatstep = 0.0090437494f;
  g.xylon0 = 103.85132f;
  g.xyx0 = 30.0f;
  g.xylonstep = 0.0089857355f;
  auto l = ValueList::open(files, "ZARNXYLL.CFG");
  if (!l) return;
  for (float* v : {&g.xylat0, &g.xyy0, &g.xylatstep, &g.xylon0, &g.xyx0, &g.xylonstep}) take(*l, *v);
}

void readutmcfg(const platform::Files& files, GeoState& g) {
  g.utmmode = 0;
  g.utmeoff = 0;
  g.utmnoff = 0;
  auto l = ValueList::open(files, "UTM.CFG");
  if (!l) return;
  take(*l, g.utmmode);
  take(*l, g.utmeoff);
  take(*l, g.utmnoff);
}

void readzarnkeys(App& app) {
  auto l = ValueList::open(app.files, "ZARNKEYS.CFG");
  if (!l) return;
  int n = 0;
  if (!take(*l, n)) return;
  KForm* kf = nullptr;
  // A record per key at most: a count larger than the file holds ends at its end.
  for (int i = 1; i <= n && !l->eof(); ++i) {
    int k = -1;
    const bool ok = take(*l, k);
    const std::string pic = l->text().value_or("");
    l->text();  // not used at start-up
    if (!ok || k < 0 || k >= KForm::keys || pic.empty()) continue;
    if (!app.files.confined(pic)) {
      setstatlabel(app.win.get<StartForm>(), *app.sys.events,
                   "ZARNKEYS.CFG: " + pic + " is outside the working folder");
      continue;
    }
    if (!app.files.exists(pic)) continue;
    if (!kf) kf = &app.win.get<KForm>();
    kf->Picture1[k].setpicture(app.sys.images->load(app.files.resolve(pic)));
  }
}

bool readchase(const platform::Files& files, MainState& m) {
  auto l = ValueList::open(files, "CHASE.CFG");
  if (!l) return false;
  m.chasesent = l->text().value_or("");
  m.chasename = l->text().value_or("");
  m.chasewav = l->text().value_or("");
  m.chaseicon = l->text().value_or("");
  return true;
}

float readpulfixtime(const platform::Files& files) {
  return static_cast<float>(text::val(text::left(files.readfirstline("PULFIX.CFG"), 8)));
}

void writepulfix(Voice& voice, const std::string& result) {
  const platform::DateTime t = voice.sys.clock->now();
  std::string error;
  if (!voice.files.writelines("PULFIX.DAT", {result, text::timetext(t) + " " + text::datetext(t)}, &error))
    showmsg(voice, "PULFIX.DAT not written: " + error);
}

void readzarnlog(const platform::Files& files, NavState& n) {
  n.zoilogon = files.exists("ZARN.LOG") ? 1 : 0;
  n.zoitest = n.zoilogon == 1 && files.readfirstline("ZARN.LOG").find("TEST") != std::string::npos ? 1 : 0;
}

std::optional<std::vector<LocRecord>> readlocrecords(const platform::Files& files) {
  auto lines = files.readlines("ZARN.LOC");
  if (!lines) return std::nullopt;
  std::vector<LocRecord> recs;
  for (const std::string& l : *lines) {
    if (l.empty()) break;
    const auto comma = l.find(',');
    if (comma == std::string::npos)
      recs.push_back({std::string(), l});
    else
      recs.push_back({l.substr(0, comma), l.substr(comma + 1)});
  }
  return recs;
}

int readloc(const platform::Files& files, GeoState& geo, NavState& nav, CForm& cf) {
  int n = 0;
  if (const auto recs = readlocrecords(files)) {
    for (const LocRecord& r : *recs) {
      if (n >= NavState::destmax - 1) break;
      ++n;
      nav.destname[n] = r.pos;
      nav.destlabel[n] = r.label;
      parsepos(geo, nav.destname[n], nav.destx[n], nav.desty[n]);
      cf.desti.additem(nav.destlabel[n]);
    }
  }
  // The slot after the list takes positions picked at run time; it starts as the last entry.
  nav.adhocdest = n + 1;
  nav.destname[n + 1] = nav.destname[n];
  nav.destlabel[n + 1] = nav.destname[n];
  nav.destx[n + 1] = nav.destx[n];
  nav.desty[n + 1] = nav.desty[n];
  cf.desti.additem("(mouse)");
  nav.curdest = 1;
  return n;
}

std::optional<ZarnCom> readzarncom(const platform::Files& files, bool filelink) {
  auto l = ValueList::open(files, "ZARN.COM");
  if (!l) return std::nullopt;
  ZarnCom c;
  c.settings = l->file().lineinput();
  for (auto* v : {&c.gpstimeout, &c.fixmint, &c.fixminmove, &c.minhdgspd}) {
    const auto n = l->number();
    if (!n) {
      c.bad = true;
      break;
    }
    *v = static_cast<float>(*n);
    if (filelink) break;  // with the file link only the time-out matters
  }
  return c;
}

std::string readhistory(const platform::Files& files, MapView& m, int mvmode) {
  m.histint = mvmode == 1 ? 0 : 1;
  m.trailcolour = ui::white;
  m.trailsize = 50;
  m.trailsizedgps = 5;
  m.trailmaxpix = 100;
  const std::string error = "HISTORY.CFG Error: ";
  auto l = ValueList::open(files, "HISTORY.CFG");
  if (!l) return files.exists("HISTORY.CFG") ? error + "it cannot be read" : "";
  // Interval code, red, green, blue, dot size without and with a differential fix, widest dot.
  double v[7] = {};
  for (int i = 0; i < 7; ++i) {
    if (l->eof()) return error + "it ends after " + std::to_string(i) + " of its 7 values";
    const std::size_t at = l->file().position();
    const std::string item = l->text().value_or("");
    if (!isnumber(item)) {
      // The line the value starts on: the line ends before it, CR LF counted once.
      const std::string before = files.read("HISTORY.CFG").value_or("").substr(0, at);
      long line = 1;
      for (std::size_t k = 0; k < before.size(); ++k)
        line += before[k] == '\n' || (before[k] == '\r' && (k + 1 == before.size() || before[k + 1] != '\n'));
      return error + "damaged at line " + std::to_string(line) + ", \"" + text::left(item, 40) + "\" is not a number";
    }
    v[i] = text::val(item);
  }
  const auto int16 = [](double d) { return static_cast<int>(text::int16(d)); };
  m.histint = int16(v[0]);
  m.trailcolour = static_cast<ui::Colour>(std::clamp(int16(v[1]), 0, 255) | (std::clamp(int16(v[2]), 0, 255) << 8) |
                                          (std::clamp(int16(v[3]), 0, 255) << 16));
  m.trailsize = static_cast<float>(v[4]);
  m.trailsizedgps = static_cast<float>(v[5]);
  m.trailmaxpix = int16(v[6]);
  return "";
}

bool readdfcolour(const platform::Files& files, ZarnForm& z) {
  auto l = ValueList::open(files, "DFCOLOUR.CFG");
  if (!l) return true;
  for (int i = 0; i < 10 && !l->eof(); ++i) {
    const auto c = l->number();
    if (!c) return false;
    z.brg.load(i).bordercolor = static_cast<ui::Colour>(text::clng(*c) & 0xFFFFFF);
  }
  return true;
}

bool readzarndial(const platform::Files& files, Windows& win, int* count) {
  auto l = ValueList::open(files, "ZARNDIAL.CFG");
  if (!l) return true;
  int n = 0;
  if (!take(*l, n)) return false;
  if (count) *count = n;
  DialForm& d = win.get<DialForm>();
  for (int i = 1; i <= n; ++i) {
    // A count beyond the records the file holds is a damaged file, as a bad value is.
    const auto caption = l->text();
    const auto command = l->text();
    if (!caption || !command) return false;
    // Only ten buttons exist; further records are read and left for the dial window.
    if (i <= DialForm::buttons) d.dialcmd[i - 1].caption = *caption;
  }
  if (n == 2) d.height = ui::twipstopix(1440);
  return true;
}

std::vector<std::string> readadd2dial(const platform::Files& files) {
  std::vector<std::string> lines = files.readlines("ADD2DIAL.CFG").value_or(std::vector<std::string>{});
  lines.resize(6);
  return lines;
}

}  // namespace zarn
