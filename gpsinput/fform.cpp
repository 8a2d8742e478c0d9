#include "gpsinput/fform.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "gpsinput/filter.h"
#include "gpsinput/logs.h"
#include "gpsinput/tracklines.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace fs = std::filesystem;
using text::mid;
using text::ucase;

namespace {

template <class C> C& place(C& c, int l, int t, int w, int h) {
  c.move(l, t, w, h);
  return c;
}

void label(ui::Label& l, const char* caption, int x, int y, int w) {
  place(l, x, y + 3, w, 16).caption = caption;
  l.transparent = true;
}

}  // namespace

ui::Colour drawcolour(int index) {
  static constexpr ui::Colour colours[] = {ui::white, ui::yellow, ui::red, ui::green, 0xFF0000, ui::black};
  return colours[std::clamp(index, 0, 5)];
}

FForm::FForm() : ui::Form(formname) {
  caption = "Playback Filter";
  width = 600;
  height = 384;
  add(Drive1, "Drive1");
  add(Dir1, "Dir1");
  add(File1, "File1");
  add(logfilelab, "logfilelab");
  for (auto [t, nm] : {std::pair{&dfrom, "dfrom"}, {&tfrom, "tfrom"}, {&dto, "dto"}, {&tto, "tto"},
                       {&sfilter, "sfilter"}, {&quality, "quality"}, {&rfilter, "rfilter"}, {&csgn, "csgn"}}) {
    add(*t, nm);
    t->locked = true;  // typing goes through the window's key handler
  }
  for (auto [l, nm] : {std::pair{&Label1, "Label1"}, {&Label7, "Label7"}, {&Label6, "Label6"}, {&Label4, "Label4"},
                       {&Label2, "Label2"}, {&Label3, "Label3"}, {&csgnlab, "csgnlab"}, {&gfilter, "gfilter"},
                       {&nfilter, "nfilter"}, {&grid, "grid"}, {&dtgt, "dtgt"}})
    add(*l, nm);
  for (auto [b, nm] : {std::pair{&dtcmd, "dtcmd"}, {&ltgt, "ltgt"}, {&qcmd, "qcmd"}, {&copyr, "copyr"},
                       {&copydest, "copydest"}, {&plotcmd, "plotcmd"}, {&drawcmd, "drawcmd"}, {&filecmd, "filecmd"},
                       {&printcmd, "printcmd"}, {&findcmd, "findcmd"}, {&drawcolcmd, "drawcolcmd"}})
    add(*b, nm);
  add(drawcol, "drawcol");
  add(labelon, "labelon");
  add(switches, "switches");
  for (auto [b, nm] : {std::pair{&clearcmd, "clearcmd"}, {&autocmd, "autocmd"}, {&showdest, "showdest"},
                       {&labelcol, "labelcol"}, {&dialcmd, "dialcmd"}, {&replaycmd, "replaycmd"},
                       {&fformoffcmd, "fformoffcmd"}})
    add(*b, nm);

  place(Drive1, 8, 8, 180, 40);
  place(Dir1, 8, 52, 180, 120);
  place(File1, 8, 176, 180, 170);
  place(logfilelab, 8, 356, 584, 18).border = true;

  label(Label1, "from", 200, 8, 38);
  place(dfrom, 240, 8, 60, 20);
  place(tfrom, 304, 8, 60, 20);
  place(dtcmd, 368, 8, 22, 20).caption = "v";
  label(Label7, "to", 200, 32, 38);
  place(dto, 240, 32, 60, 20);
  place(tto, 304, 32, 60, 20);
  place(ltgt, 200, 60, 32, 20).caption = ">=";
  place(sfilter, 236, 60, 50, 20);
  label(Label6, "Kmph", 290, 60, 50);
  place(qcmd, 200, 84, 32, 20).caption = ">=";
  place(quality, 236, 84, 50, 20);
  label(Label4, "Quality", 290, 84, 60);
  label(Label2, "within", 200, 108, 40);
  place(rfilter, 242, 108, 44, 20);
  label(Label3, "Km of ", 290, 108, 40);
  place(gfilter, 332, 110, 150, 18).border = true;
  place(copyr, 200, 132, 96, 20).caption = " ^ car from ";
  place(copydest, 300, 132, 96, 20).caption = "^ Destination";
  place(nfilter, 400, 134, 180, 18).border = true;
  label(csgnlab, "callsign", 200, 156, 50);
  place(csgn, 254, 156, 90, 20);

  place(plotcmd, 200, 186, 60, 24).caption = "PLOT";
  place(drawcmd, 264, 186, 60, 24).caption = "DRAW";
  place(filecmd, 328, 186, 60, 24).caption = "SAVE";
  place(printcmd, 392, 186, 60, 24).caption = "PRINT";
  place(findcmd, 456, 186, 110, 24).caption = "FIND NEAREST";
  drawcol.set(200, 222, 258, 222);
  drawcol.bordercolor = drawcolour(0);
  drawcol.borderwidth = 3;
  place(drawcolcmd, 264, 214, 22, 16);
  place(labelon, 292, 213, 70, 18).caption = "label";
  place(grid, 200, 238, 190, 18).border = true;
  place(dtgt, 394, 238, 190, 18).border = true;

  place(switches[0], 200, 262, 44, 16);
  for (int i = 1; i < 8; ++i) place(switches.load(i), 200 + 48 * i, 262, 44, 16).visible = true;
  // A switch's text shows when a unit reports it; until then nothing looks like a box to fill.
  for (int i = 0; i < 8; ++i) switches[i].transparent = true;

  place(clearcmd, 200, 286, 56, 22).caption = "Clear";
  place(autocmd, 260, 286, 92, 22).caption = "AutoMap ON";
  place(showdest, 356, 286, 52, 22).caption = "hide";
  place(labelcol, 412, 286, 52, 22).caption = "Label";
  place(dialcmd, 468, 286, 52, 22).caption = "Dial";
  place(replaycmd, 200, 316, 80, 24).caption = "REPLAY";
  place(fformoffcmd, 284, 316, 70, 24).caption = "Cancel";
}

void listlogs(FForm& f) {
  f.Dir1.clear();
  f.File1.clear();
  std::vector<std::string> dirs, files;
  std::error_code ec;
  for (fs::directory_iterator it(f.dirpath, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code e2;
    if (it->is_directory(e2)) {
      dirs.push_back(name);
    } else if (it->is_regular_file(e2)) {
      const std::string ext = ucase(it->path().extension().string());
      if (ext == ".NME" || ext == ".MVD" || ext == ".AGD" || ext == ".TRK") files.push_back(name);
    }
  }
  std::sort(dirs.begin(), dirs.end());
  std::sort(files.begin(), files.end());
  if (fs::path(f.dirpath).has_relative_path()) f.Dir1.additem("..");
  for (auto& d : dirs) f.Dir1.additem(std::move(d));
  for (auto& n : files) f.File1.additem(std::move(n));
  f.touch();
}

namespace {

void plotstep(App& app, PlotStep::Kind kind, unsigned colour = 0) {
  PlotStep s;
  s.kind = kind;
  s.colour = colour;
  callhook(app.hooks.plotmap, app, s);
}

// The log as named, not upper-cased: its name here is case-sensitive.
std::string replayname(const App& app) { return app.gps.replayfile; }

// The replay input's full name, as a choice from the lists shows it: a log named in the
// configuration is named relative to the working folder.
void showlogname(App& app, FForm& f) {
  const fs::path p(app.gps.replayfile);
  f.logfilelab.set(p.empty() || p.is_absolute() ? p.string() : (app.files.workdir() / p).string());
}

// The chosen log's full name.
void fullpath(FForm& f) {
  if (f.File1.listindex < 0 || f.File1.listindex >= static_cast<int>(f.File1.items.size())) return;
  f.logfilelab.set((fs::path(f.dirpath) / f.File1.items[static_cast<std::size_t>(f.File1.listindex)]).string());
}

void chdir(FForm& f, const std::string& to) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(fs::path(f.dirpath) / to, ec);
  if (ec || !fs::is_directory(p, ec)) return;  // a folder that has gone changes nothing
  f.dirpath = p.string();
  listlogs(f);
}

// The commands that read the log. Each starts its run when none is active and stops the
// active one otherwise; plotbusy keeps every run, the date scan included, from starting inside
// another.
void plotclick(App& app, FForm& f) {
  GpsState& g = app.gps;
  if (g.plotbusy == 0) {
    g.plotbusy = 1;
    app.win.zarn.touch();
    f.plotcmd.caption = "ABORT";
    const std::string runlog = replayname(app);  // the run's, whatever is chosen meanwhile
    plotfilter(app, f, PlotMode::plot);
    f.plotcmd.caption = "PLOT";
    f.caption = "Plotting " + runlog + " ..";
    g.plotbusy = 0;
  } else {
    f.plotabort = 1;
    f.caption = replayname(app) + " ..";
  }
  f.touch();
}

void drawclick(App& app, FForm& f) {
  GpsState& g = app.gps;
  if (g.plotbusy == 0) {
    f.hide();
    g.plotbusy = 1;
    app.win.zarn.touch();
    f.drawcmd.caption = "ABORT";
    g.drawmode = 1;
    const std::string runlog = replayname(app);
    plotfilter(app, f, PlotMode::draw);
    g.drawmode = 0;
    f.drawcmd.caption = "DRAW";
    f.caption = "Plotting " + runlog + " ..";
    g.plotbusy = 0;
  } else {
    f.plotabort = 1;
    g.drawmode = 0;
    f.caption = replayname(app) + " ..";
  }
  f.touch();
}

void saveclick(App& app, FForm& f) {
  GpsState& g = app.gps;
  if (f.filecmd.caption == "SAVE" && g.plotbusy == 0) {
    g.plotbusy = 1;
    f.filecmd.caption = "ABORT";
    showmsg(app.voice, "Saving to FILTER.TXT ...");
    plotfilter(app, f, PlotMode::save);
    f.filecmd.caption = "SAVE";
    g.plotbusy = 0;
  } else {
    f.plotabort = 1;
    showmsg(app.voice, "Saving Aborted");
    app.sys.wav->beep();
  }
  f.touch();
}

void printclick(App& app, FForm& f) {
  GpsState& g = app.gps;
  if (g.plotbusy == 0) {
    g.plotbusy = 1;
    f.printcmd.caption = "ABORT";
    showmsg(app.voice, "Printing ...");
    plotfilter(app, f, PlotMode::print);
    f.printcmd.caption = "PRINT";
    g.plotbusy = 0;
  } else {
    f.plotabort = 1;
    showmsg(app.voice, "Printing Aborted");
    app.sys.wav->beep();
  }
  f.touch();
}

void findclick(App& app, FForm& f) {
  GpsState& g = app.gps;
  if (f.findcmd.caption == "FIND NEAREST" && g.plotbusy == 0) {
    g.plotbusy = 1;
    f.plotabort = 0;
    f.findcmd.caption = "ABORT SEARCH";
    plotfilter(app, f, PlotMode::nearest);
    g.plotbusy = 0;
    f.findcmd.caption = "FIND NEAREST";
  } else {
    f.plotabort = 1;
    f.findcmd.caption = "FIND NEAREST";
  }
  f.touch();
}

void copyrclick(App& app, FForm& f) {
  const auto slot = static_cast<std::size_t>(std::clamp(app.nav.curdest, 0, NavState::destmax));
  float d = 0;
  int brg = 0;
  distbearing(app.geo, app.gps.ownx, app.gps.owny, app.nav.destx.at(slot), app.nav.desty.at(slot), d, brg);
  f.rfilter.text = text::trim(text::str(static_cast<float>(std::floor(static_cast<double>(d) * 10) / 10)));
  f.touch();
}

// Clear works whenever it is clicked: a run still reading read its filters when it started and
// goes on plotting onto the cleared map.
void clearclick(App& app, FForm& f) {
  app.main.foundx = noposx;
  app.main.foundy = noposy;
  plotstep(app, PlotStep::Kind::cleartrail);
  plotstep(app, PlotStep::Kind::loadmap);
  auto& z = app.win.zarn;
  z.cpytext.visible = z.cpyring.visible = z.mapcopy.visible = false;
  z.touch();
  for (ui::TextBox* t : {&f.dfrom, &f.tfrom, &f.dto, &f.tto, &f.rfilter, &f.quality, &f.sfilter}) t->text.clear();
  f.touch();
}

void showdestclick(App& app, FForm& f) {
  auto& z = app.win.zarn;
  const bool show = f.showdest.caption != "show";
  f.showdest.caption = show ? "show" : "hide";
  app.nav.nodest = show ? 0 : 1;
  if (show) {
    plotstep(app, PlotStep::Kind::setdest);
  } else if (ui::Form* i = app.win.find("iform")) {
    for (const char* n : {"etalab", "timetil"})
      if (auto* l = dynamic_cast<ui::Label*>(i->find(n))) l->set("?");
    i->touch();
  }
  z.dest.visible = z.destlab.visible = z.destlabshad.visible = show;
  z.touch();
  f.touch();
}

// A log chosen while a run reads becomes the replay input at once; the run goes on reading the
// log it opened.
void clicklist(App& app, FForm& f) {
  fullpath(f);
  playfile(app, f);
}

}  // namespace

void playfile(App& app, FForm& f) {
  GpsState& g = app.gps;
  plotstep(app, PlotStep::Kind::cleartrail);
  g.replay.reset();
  setreplayfile(g, f.logfilelab.caption);
  f.caption = replayname(app);
  sniffchecksum(g, app.voice);
  const float now = app.timer();
  app.main.clickage = now - 10;
  g.lastgpstime = now - g.gpstimeout - 1;  // GPS counts as lost at once
  g.gpsrx = 0;
  g.dgpsfix = 0;
  plotstep(app, PlotStep::Kind::statcol, ui::yellow);
  app.win.zarn.modebox.set("SIM");
  app.win.zarn.touch();
  f.touch();
}

void datescan(App& app, FForm& f) {
  GpsState& g = app.gps;
  if (g.plotbusy != 0) return;
  g.plotbusy = 1;
  for (ui::TextBox* t : {&f.dfrom, &f.tfrom, &f.dto, &f.tto}) t->text.clear();
  const LogKind kind = logkind(g.replayfile);
  // The "from" boxes take the first date and the first time the file holds, wherever they
  // come: a log that starts with GGA sentences has its date only in a later RMC. Each is taken
  // once, so boxes cleared during the scan stay clear. The time, date and day number each line
  // gives become the fix's, as a run would leave them.
  std::string date, time;
  bool datefrom = false, timefrom = false;
  if (auto in = platform::InputFile::open(app.files, g.replayfile, platform::Files::loglimit)) {
    while (!in->eof()) {
      std::string line = in->lineinput();
      app.doevents();
      if (line.size() < 3) continue;
      if (kind.trk) {
        // A track's points are not counted: the "from" boxes stay empty, and the car ends on the
        // last point.
        if (trkline(app, line)) {
          plotstep(app, PlotStep::Kind::car);
          f.dto.text = g.gpsdatetxt;
          f.tto.text = g.gpstimetxt;
        }
        continue;
      }
      if (kind.agd) {
        date = mid(line, 1, 2) + mid(line, 4, 2) + mid(line, 9, 2);
        time = mid(line, 12, 8);
        g.gpsdatetxt = date;
        g.gpsdayno = daynumber(date);
        g.gpstimetxt = time;
      } else if (kind.nme && line.size() > 13) {
        const std::string id = mid(line, 4, 3);
        if (id == "ZDA" || id == "GGA" || id == "RMC") {
          time = mid(line, 8, 2) + ":" + mid(line, 10, 2) + ":" + mid(line, 12, 2);
          g.gpstimetxt = time;
          std::size_t p = 0;
          int commas = 0;
          while (commas < (id == "RMC" ? 9 : 2) && (p = line.find(',', p)) != std::string::npos) ++commas, ++p;
          if (p != std::string::npos && id == "RMC") {
            // A sentence with its date missing or cut keeps the date known before it.
            if (std::string d = line.substr(p, 6); d.size() == 6 && text::alldigits(d)) {
              date = d;
              g.gpsdatetxt = d;
              g.gpsdayno = daynumber(d);
            }
          } else if (p != std::string::npos && id == "ZDA") {
            // dd,mm,yyyy
            const std::string dd = mid(line, static_cast<long>(p) + 1, 2), mm = mid(line, static_cast<long>(p) + 4, 2),
                              yy = mid(line, static_cast<long>(p) + 9, 2);
            if (text::alldigits(dd + mm + yy) && (dd + mm + yy).size() == 6) date = dd + mm + yy;
          }
        }
      }
      if (!datefrom && !date.empty()) f.dfrom.text = date, datefrom = true;
      if (!timefrom && !time.empty()) f.tfrom.text = time, timefrom = true;
      f.dto.text = date;
      f.tto.text = time;
    }
  }
  f.touch();
  g.plotbusy = 0;
}

void fformkey(App& app, FForm& f, int& key) {
  app.main.lastclick = app.timer();
  const int k = key;
  key = 0;
  auto put = [&](char c) {
    if (!f.focus) return;
    f.focus->text += c;
    f.touch();
  };
  // A decimal point belongs to a number as much as its digits do.
  if ((k >= '0' && k <= '9') || k == '.') {
    put(static_cast<char>(k));
    return;
  }
  int passed = k;
  callhook(app.hooks.keycmd, passed);
  if (k == ':' || k == '-') {
    put(static_cast<char>(k));
  } else if (k == ui::key::back && f.focus && !f.focus->text.empty()) {
    f.focus->text.pop_back();
    f.touch();
  }
}

void wirefform(App& app, FForm& f) {
  if (f.wired) return;
  f.wired = true;
  f.dirpath = app.files.workdir().string();
  f.Drive1.clear();
  f.Drive1.additem(f.dirpath);
  f.Drive1.additem("/");
  showlogname(app, f);
  listlogs(f);

  f.Drive1.onClick = [&f] {
    if (f.Drive1.listindex < 0 || f.Drive1.listindex >= static_cast<int>(f.Drive1.items.size())) return;
    f.dirpath.clear();
    chdir(f, f.Drive1.items[static_cast<std::size_t>(f.Drive1.listindex)]);
  };
  f.Dir1.onDblClick = [&f] {
    if (f.Dir1.listindex < 0 || f.Dir1.listindex >= static_cast<int>(f.Dir1.items.size())) return;
    chdir(f, f.Dir1.items[static_cast<std::size_t>(f.Dir1.listindex)]);
  };
  f.File1.onClick = f.File1.onDblClick = [&app, &f] { clicklist(app, f); };
  for (ui::TextBox* t : {&f.dfrom, &f.tfrom, &f.dto, &f.tto, &f.sfilter, &f.quality, &f.rfilter, &f.csgn})
    t->onMouseDown = [&f, t](const ui::MouseEvent&) { f.focus = t; };
  f.dtcmd.onClick = [&app, &f] { datescan(app, f); };
  for (ui::Button* b : {&f.ltgt, &f.qcmd})
    b->onClick = [&f, b] {
      b->caption = b->caption == "<=" ? ">=" : "<=";
      f.touch();
    };
  f.copydest.onClick = [&app, &f] {
    const auto slot = static_cast<std::size_t>(std::clamp(app.nav.curdest, 0, NavState::destmax));
    f.gfilter.set(app.nav.destname.at(slot));
    f.nfilter.set(app.nav.destlabel.at(slot));
  };
  f.copyr.onClick = [&app, &f] { copyrclick(app, f); };
  f.plotcmd.onClick = [&app, &f] { plotclick(app, f); };
  f.drawcmd.onClick = [&app, &f] { drawclick(app, f); };
  f.filecmd.onClick = [&app, &f] { saveclick(app, f); };
  f.printcmd.onClick = [&app, &f] { printclick(app, f); };
  f.findcmd.onClick = [&app, &f] { findclick(app, f); };
  f.drawcolcmd.onClick = [&f] {
    f.drawcolidx = f.drawcolidx >= 5 ? 0 : f.drawcolidx + 1;
    f.drawcol.bordercolor = drawcolour(f.drawcolidx);
    f.touch();
  };
  f.clearcmd.onClick = [&app, &f] { clearclick(app, f); };
  f.autocmd.onClick = [&app, &f] {
    app.map.automaps = 1 - app.map.automaps;
    f.autocmd.caption = app.map.automaps == 1 ? "AutoMap ON" : "AutoMap OFF";
    f.touch();
  };
  f.showdest.onClick = [&app, &f] { showdestclick(app, f); };
  f.labelcol.onClick = [&app] {
    auto& s = app.win.zarn.symlab;
    s.transparent = !s.transparent;
    app.win.zarn.touch();
  };
  f.dialcmd.onClick = [&app] {
    if (ui::Form* d = app.win.find("dialform")) d->show();
  };
  // Leaving the window stops a run still reading: it would share the own fix with the replay.
  // Only REPLAY gives the map back to the tick, which replays the chosen log; Cancel and the
  // close box only hide the window, the replay resting until REPLAY.
  auto hidewindow = [&app, &f] {
    if (app.gps.plotbusy != 0) f.plotabort = 1;
    f.hide();
  };
  f.replaycmd.onClick = [&app, hidewindow] {
    hidewindow();
    app.main.playback = 0;
    app.main.lastclick = app.timer() - 10;
  };
  f.fformoffcmd.onClick = hidewindow;
  f.onClose = hidewindow;
  f.onKeyPress = [&app, &f](int& k) { fformkey(app, f, k); };
  f.onGotFocus = [&app] { app.main.lastclick = app.timer(); };
}

void showfform(App& app) {
  FForm& f = app.win.get<FForm>();
  wirefform(app, f);
  // The replay input may have changed since (a demo of the control panel): the box names it.
  if (app.gps.plotbusy == 0) showlogname(app, f);
  app.main.lastclick = app.timer();
  f.show();
  f.touch();
}

}  // namespace zarn
