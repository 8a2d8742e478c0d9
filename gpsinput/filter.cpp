#include "gpsinput/filter.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/app.h"
#include "geodesy/distance.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/transform.h"
#include "gpsinput/fform.h"
#include "gpsinput/nmea.h"
#include "gpsinput/ownfix.h"
#include "gpsinput/tracklines.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

using text::trim;
using text::val;

namespace {

constexpr double noday = 1e20;  // an empty "to" date: no day is after it
constexpr double daysecs = 86400;

void plotstep(App& app, PlotStep::Kind kind, float x = 0, float y = 0) {
  PlotStep s;
  s.kind = kind;
  s.x = x;
  s.y = y;
  callhook(app.hooks.plotmap, app, s);
}

}  // namespace

LogKind logkind(const std::string& name) {
  const std::string u = text::ucase(name);
  LogKind k;
  k.agd = u.find(".AGD") != std::string::npos;
  k.nme = u.find(".NME") != std::string::npos;
  k.trk = u.find(".TRK") != std::string::npos;
  return k;
}

FilterBoxes filterboxes(const FForm& f) {
  FilterBoxes b;
  b.csgn = f.csgn.text;
  b.rfilter = f.rfilter.text;
  b.gfilter = f.gfilter.caption;
  b.qcmd = f.qcmd.caption;
  b.quality = f.quality.text;
  b.dfrom = f.dfrom.text;
  b.tfrom = f.tfrom.text;
  b.dto = f.dto.text;
  b.tto = f.tto.text;
  b.sfilter = f.sfilter.text;
  b.ltgt = f.ltgt.caption;
  return b;
}

double timekey(double dayno, double secs) { return dayno * daysecs + secs; }

FilterSet readfilters(GeoState& geo, const FilterBoxes& b) {
  FilterSet fs;
  fs.callsign = trim(b.csgn);
  const std::string r = trim(b.rfilter), c = trim(b.gfilter);
  if (!r.empty() && !c.empty()) {
    fs.bydistance = true;
    fs.limitkm = static_cast<float>(val(r));
    parsepos(geo, c, fs.centrex, fs.centrey);
  }
  fs.qualityatleast = b.qcmd == ">=";
  fs.quality = text::cint(val(trim(b.quality)));
  const double dayfrom = trim(b.dfrom).empty() ? 0 : daynumber(trim(b.dfrom));
  const double dayto = trim(b.dto).empty() ? noday : daynumber(trim(b.dto));
  const std::string tf = trim(b.tfrom), tt = trim(b.tto);
  fs.keyfrom = timekey(dayfrom, tf.empty() ? 0 : timetosecs(tf));
  fs.keyto = timekey(dayto, timetosecs(tt.empty() ? "23:59:59" : tt));
  const std::string s = trim(b.sfilter);
  fs.speedset = !s.empty();
  fs.speed = fs.speedset ? static_cast<float>(val(s)) : 0;
  fs.speedatmost = fs.speedset && b.ltgt == "<=";
  return fs;
}

bool passes(GeoState& geo, const FilterSet& fs, const GpsState& g) {
  if (!fs.callsign.empty() && g.callsign != fs.callsign) return false;
  if (fs.qualityatleast ? g.agdqual < fs.quality : g.agdqual > fs.quality) return false;
  const double key = timekey(g.gpsdayno, g.fixsecs);
  if (key < fs.keyfrom || key > fs.keyto) return false;
  if (fs.speedatmost ? g.ownspd > fs.speed : g.ownspd < fs.speed) return false;
  if (fs.bydistance) {
    float d = 0;
    int brg = 0;
    distbearing(geo, g.ownx, g.owny, fs.centrex, fs.centrey, d, brg);
    if (d > fs.limitkm) return false;
  }
  return true;
}

PlotResult plotfilter(App& app, FForm& f, PlotMode mode) {
  GpsState& g = app.gps;
  auto& z = app.win.zarn;
  PlotResult r;

  // The output first: a run that cannot write what it finds reads nothing.
  std::unique_ptr<platform::OutputFile> out;
  std::unique_ptr<platform::PrintJob> printed;  // the run's lines, one job
  auto saveerror = [&](const std::string& why) {
    r.outputfailed = true;
    showmsgsay(app.voice, "FILTER.TXT cannot be written" + (why.empty() ? std::string() : ": " + why));
    app.sys.wav->beep();
  };
  auto printerror = [&](const std::string& why) {
    r.outputfailed = true;
    showmsgsay(app.voice, "Printer Error. Switched on ?" + (why.empty() ? std::string() : " (" + why + ")"));
    app.sys.wav->beep();
  };
  if (mode == PlotMode::save) {
    std::string why;
    // A new file replaces the old one only at the end, so what stands in its way is found now.
    if (!platform::regularorabsent(app.files.resolve("FILTER.TXT")))
      why = "not a file";
    else
      out = platform::OutputFile::open(app.files, "FILTER.TXT", platform::OutputFile::Mode::Output, &why);
    if (!out) {
      saveerror(why);
      return r;
    }
  } else if (mode == PlotMode::print) {
    if (!app.sys.printer->open()) {
      printerror(app.sys.printer->lasterror());
      return r;
    }
    printed = app.sys.printer->job();
  }
  float refx = 0, refy = 0, nearest = 1e20f;
  // The destination searched for: the current one, as marked on the map.
  const auto destmoved = [&] {
    const auto slot = static_cast<std::size_t>(std::clamp(app.nav.curdest, 0, NavState::destmax));
    const bool moved = app.nav.destx.at(slot) != refx || app.nav.desty.at(slot) != refy;
    refx = app.nav.destx.at(slot);
    refy = app.nav.desty.at(slot);
    return moved;
  };
  if (mode == PlotMode::nearest) destmoved();

  FilterBoxes boxes = filterboxes(f);
  const FilterSet fs = readfilters(app.geo, boxes);
  if (!fs.speedset) f.ltgt.caption = ">=";
  f.plotabort = 0;
  // A log chosen while the run reads becomes the replay input, sniffed for its own checksums:
  // the run keeps its log and parses its sentences as that log's are.
  const std::string runlog = g.replayfile;
  const int nochecksum = g.nochecksum;
  f.caption = "Plotting " + runlog + " ..";  // as named: file names here are case-sensitive
  f.touch();
  const LogKind kind = logkind(runlog);

  // FIND NEAREST gives the car back where it was when nothing passes.
  const OwnFix before = g;
  setgpscorr(g, app.main.cfgcorre, app.main.cfgcorrn);
  g.ownx = g.prevx;
  g.owny = g.prevy;
  if (mode != PlotMode::draw) plotstep(app, PlotStep::Kind::reload);
  if (mode != PlotMode::nearest) plotstep(app, PlotStep::Kind::cleartrail);

  const int savedwidth = z.surface.drawwidth;
  const ui::Colour savedcolour = z.surface.forecolor;
  z.surface.drawwidth = 1;

  auto in = platform::InputFile::open(app.files, runlog, platform::Files::loglimit);
  r.opened = in.has_value();
  bool found = false, firstdraw = true;
  // The record the window shows: a grid reference, time and date on the window and the line
  // on the status line.
  auto show = [&](const std::string& line, const std::string& t, const std::string& time, const std::string& date) {
    f.grid.set(t);
    f.dtgt.set(time + " " + date);
    // The message that stopped the run stays.
    if (!r.aborted) showmsg(app.voice, line + " " + t + "  ");
  };
  auto showfix = [&](const std::string& line, const std::string& t) { show(line, t, g.gpstimetxt, g.gpsdatetxt); };
  bool due = true, unshown = false;
  float shownat = -1, lastx = 0, lasty = 0, gridx = 0, gridy = 0;
  std::string grid, outline, lastline, lasttime, lastdate, parsed;
  int foundhdg = g.ownhdg;
  float prevx = 0, prevy = 0, labelx = 0, labely = 0;
  // A track that passes the same road again would print its times over the earlier ones: a
  // time label (its square and text) goes only where no other of the run stands.
  struct Area {
    float l, t, r, b;
  };
  std::vector<Area> labels;
  auto clearoflabels = [&](float px, float py) {
    const ui::Font font{z.surface.fontsize, false};
    const Area a{px - 3, py - 3, px + 3 + static_cast<float>(ui::textwidth(z.metrics, g.fixhhmm, font)),
                 py + 3 + static_cast<float>(ui::textheight(z.metrics, font))};
    for (const Area& o : labels)
      if (a.l < o.r && o.l < a.r && a.t < o.b && o.t < a.b) return false;
    labels.push_back(a);
    return true;
  };

  while (in) {
    app.doevents();
    if (f.plotabort == 1) {
      r.aborted = true;
      break;
    }
    // A destination chosen meanwhile (a click on the map) is searched for from the first line.
    if (mode == PlotMode::nearest && destmoved()) {
      nearest = 1e20f;
      found = false;
      r.records = r.passed = 0;
      in = platform::InputFile::open(app.files, runlog, platform::Files::loglimit);
      continue;
    }
    if (in->eof()) break;
    std::string line = in->lineinput();
    if (line.size() < 3) continue;
    ++r.records;
    // Each record is taken as a live one would be: the read-outs and the car follow it.
    if (kind.agd) {
      parsefix(app, line);
      plotstep(app, PlotStep::Kind::car);
    }
    if (kind.nme) {
      parsed.assign(line);  // the parser may cut a call sign off; the record keeps it
      const int chosen = std::exchange(g.nochecksum, nochecksum);
      const LineResult res = gpsparse(app, parsed);
      g.nochecksum = chosen;
      PlotStep s;
      s.kind = PlotStep::Kind::sentence;
      s.parsed = &res;
      s.label = parsed;
      callhook(app.hooks.plotmap, app, s);
    }
    if (kind.trk && trkline(app, line)) plotstep(app, PlotStep::Kind::car);
    if (mode != PlotMode::draw) plotstep(app, PlotStep::Kind::follow);
    if (!passes(app.geo, fs, g)) continue;
    ++r.passed;

    if (mode == PlotMode::nearest) {
      float d = 0;
      int brg = 0;
      distbearing(app.geo, g.ownx, g.owny, refx, refy, d, brg);
      if (!(d < nearest)) continue;  // ties keep the earlier record
      nearest = d;
      g.lastfixx = g.ownx;
      g.lastfixy = g.owny;
      foundhdg = g.ownhdg;
      std::string t;
      gridreftext(app.geo, g.ownx, g.owny, t);
      showfix(line, t);
      app.main.foundx = g.ownx;
      app.main.foundy = g.owny;
      PlotStep s;
      s.kind = PlotStep::Kind::found;
      s.x = g.ownx;
      s.y = g.owny;
      s.label = g.gpstimetxt + " " + g.gpsdatetxt + " " + t;
      s.first = !found;
      callhook(app.hooks.plotmap, app, s);
      found = true;
      continue;
    }

    if (mode == PlotMode::draw) {
      float px = 0, py = 0;
      worldtopix(app.geo, app.map, g.ownx, g.owny, px, py);
      if (prevx == 0 || prevy == 0) {
        z.surface.pset(px, py);  // the first record of a track stands alone, in the colour it finds
      } else {
        z.surface.forecolor = f.drawcol.bordercolor;
        if (firstdraw) {
          firstdraw = false;
          z.surface.pset(px, py);
        } else {
          float qx = 0, qy = 0;
          worldtopix(app.geo, app.map, prevx, prevy, qx, qy);
          z.surface.line(qx, qy, px, py);
        }
        if (f.labelon.value == 1 && std::abs(px - labelx) + std::abs(py - labely) > 50 &&
            clearoflabels(px, py)) {
          z.surface.box(px - 3, py - 3, px + 3, py + 3);
          labelx = px;
          labely = py;
          z.surface.currentx = px + 3;
          z.surface.currenty = py + 3;
          z.surface.print(g.fixhhmm);
        }
      }
      prevx = g.ownx;
      prevy = g.owny;
    } else {
      plotstep(app, PlotStep::Kind::dot, g.ownx, g.owny);
      // The window shows a record some ten times a second, and the last one at the end: a
      // long log passes faster than anyone reads, and the screen shows only what stands when
      // events run.
      if ((r.passed & 63) == 1) {
        const float now = app.timer();
        due = now - shownat >= 0.1f || now < shownat;
        if (due) shownat = now;
      }
      const bool output = mode == PlotMode::save || mode == PlotMode::print;
      // Sentences without a position (satellites, times) keep the last one's reference.
      if ((due || output) && (g.ownx != gridx || g.owny != gridy || grid.empty())) {
        gridreftext(app.geo, g.ownx, g.owny, grid);
        gridx = g.ownx;
        gridy = g.owny;
      }
      if (due) {
        showfix(line, grid);
        due = false;
        unshown = false;
      } else {
        lastline = line;
        lastx = g.ownx;
        lasty = g.owny;
        lasttime = g.gpstimetxt;
        lastdate = g.gpsdatetxt;
        unshown = true;
      }
      if (output) {
        outline.assign(line).append(" ").append(grid);
        if (mode == PlotMode::save && !out->print(outline)) {
          saveerror("");
          break;
        }
        if (mode == PlotMode::print && !printed->printline(outline)) {
          printerror(printed->why());
          break;
        }
      }
    }
    g.lastfixx = g.ownx;
    g.lastfixy = g.owny;
  }

  if (unshown) {
    if (lastx != gridx || lasty != gridy || grid.empty()) gridreftext(app.geo, lastx, lasty, grid);
    show(lastline, grid, lasttime, lastdate);
  }
  z.surface.drawwidth = savedwidth;
  z.surface.forecolor = savedcolour;
  z.touch();
  if (out) {
    std::string why;
    if (!out->close(&why) && !r.outputfailed) saveerror(why);
  }
  if (printed && !r.outputfailed) {
    // The run's job is printed or refused before the run is over. The wait lets events run (the
    // tick, ABORT, the end of the program); the printer's own time limit ends it.
    std::optional<bool> taken = printed->end() ? printed->outcome() : false;
    if (!taken) app.waitfor(static_cast<float>(platform::Printer::jobtime) + 1, [&] {
      taken = printed->outcome();
      return taken.has_value() || f.plotabort == 1;
    });
    // After ABORT, or once the end has been asked, the printer carries the job on by itself.
    if (taken == false) printerror(printed->why());
    else if (!taken && f.plotabort != 1 && !app.sys.events->endasked())
      printerror("the printer has not finished the job");
  }
  if (mode == PlotMode::nearest) {
    if (found) {
      g.ownx = g.lastfixx;
      g.owny = g.lastfixy;
      g.ownhdg = foundhdg;
      plotstep(app, PlotStep::Kind::dot, g.ownx, g.owny);
      plotstep(app, PlotStep::Kind::car);
    } else {
      static_cast<OwnFix&>(g) = before;
      showmsgsay(app.voice, "Nothing found");
    }
  }
  // A vehicle log (.MVD) or any other kind carries no own fix: its records all stand where the
  // car stood, so the run says why the map shows nothing of them.
  if (r.opened && !kind.agd && !kind.nme && !kind.trk)
    showmsgsay(app.voice, std::filesystem::path(runlog).filename().string() +
                              " holds no own fixes: only .NME, .AGD and .TRK logs can be plotted");
  return r;
}

}  // namespace zarn
