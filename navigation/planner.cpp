#include "navigation/planner.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "geodesy/helpers.h"
#include "geodesy/postext.h"
#include "geodesy/ukgrid.h"
#include "gpsinput/waits.h"
#include "navigation/rgifiles.h"
#include "navigation/routefiles.h"
#include "platform/textrules.h"
#include "speech/msgline.h"

namespace zarn {

namespace {

// How long a planner is given to answer, in seconds.
constexpr float answertime = 120;

bool slotok(int d) { return d >= 0 && d <= NavState::destmax; }
bool destset(const NavState& n) { return n.nodest == 0 && slotok(n.curdest); }

// A request needs both ends: a beep and the missing one named otherwise.
bool canask(App& app, bool hasdest) {
  const char* missing = isnopos(app.gps.ownx, app.gps.owny) ? "No position for the route planner"
                        : !hasdest                            ? "No destination for the route planner"
                                                              : nullptr;
  if (!missing) return true;
  app.sys.wav->beep();
  showmsg(app.voice, missing);
  return false;
}

std::string latlontext(App& app, float x, float y) {
  float lat = 0, lon = 0;
  osgbtoll(app.geo, x, y, lat, lon);
  std::string t;
  fmtlatlon(lat, lon, t);
  return t;
}

// A printed number: the value as Str$ writes it and one blank after it.
std::string printed(float v) { return text::str(v) + " "; }


// A file's size, or the time of its last change, as the file system has it now; nullopt when
// it is not there.
std::optional<long long> filesize(const platform::Files& files, const std::string& name) {
  const auto s = files.stamp(name);
  return s ? std::optional<long long>(static_cast<long long>(s->size)) : std::nullopt;
}
std::optional<std::filesystem::file_time_type> filetime(const platform::Files& files, const std::string& name) {
  const auto s = files.stamp(name);
  return s ? std::optional(s->time) : std::nullopt;
}

// Tells when the planner's done-file is one made for this request: it was not there when the
// wait began, or it has gone or changed since (a lease kept the request from being written,
// so an old one may still lie there).
class FreshDone {
 public:
  explicit FreshDone(const platform::Files& files) : files_(files), old_(filetime(files, "KRVDONE.TXT")) {}
  bool operator()() {
    const auto now = filetime(files_, "KRVDONE.TXT");
    if (!now) old_.reset();
    return now && (!old_ || *now != *old_);
  }

 private:
  const platform::Files& files_;
  std::optional<std::filesystem::file_time_type> old_;
};

// Keeps a ZARN.ROO that is not the planner's last answer (the user's save, or one from an
// earlier run) before the planner writes over it, in ZARNSAV1.ROO to ZARNSAV9.ROO: a copy that
// holds the same text already, else the first free name, else the oldest copy. The name it is
// kept under, empty when there is nothing to keep; nullopt, with a beep and the reason said,
// when it could not be kept.
std::optional<std::string> keeproute(App& app) {
  const auto now = app.files.stamp("ZARN.ROO");
  if (!now || now == app.nav.planner.krvanswer) return "";
  std::string error;
  const auto route = app.files.read("ZARN.ROO", platform::Files::datalimit, &error);
  std::optional<std::string> unused, oldest;
  std::filesystem::file_time_type oldtime{};
  for (int k = 1; route && k <= 9; ++k) {
    const std::string name = "ZARNSAV" + std::to_string(k) + ".ROO";
    const auto copy = app.files.stamp(name);
    if (!copy) {
      if (!unused) unused = name;
    } else if (app.files.read(name, platform::Files::datalimit) == route) {
      return name;
    } else if (!oldest || copy->time < oldtime) {
      oldest = name;
      oldtime = copy->time;
    }
  }
  const std::string name = unused.value_or(oldest.value_or(""));
  if (route && app.files.write(name, *route, &error)) return name;
  app.sys.wav->beep();
  showmsg(app.voice, error.empty() ? "ZARN.ROO could not be kept" : error);
  return std::nullopt;
}

// The planner's route, read from ZARN.ROO, takes the place of the route; the message line says
// so, and where the ZARN.ROO it replaced is kept.
void planned(App& app) {
  PlannerWait& w = app.nav.planner;
  // Changed since the request, it is the planner's answer, which a later request need not keep.
  if (const auto now = app.files.stamp("ZARN.ROO"); now != w.krvroo) w.krvanswer = now;
  const int before = app.nav.wpcount;
  if (!readroute(app, "ZARN.ROO")) return;
  const std::string points = text::str(app.nav.wpcount) + (app.nav.wpcount == 1 ? " waypoint" : " waypoints");
  showmsg(app.voice, (before > 0 ? "A planned route of" + points + " has replaced the route"
                                 : "A planned route of" + points + " is loaded") +
                         (w.krvkept.empty() ? "" : "; ZARN.ROO as it was is kept in " + w.krvkept));
}

// Sets the flag while the planner is awaited, and drops it however the wait ends.
struct Running {
  explicit Running(bool& f) : flag(f) { flag = true; }
  ~Running() { flag = false; }
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  bool& flag;
};

// The route of an "OO" request: ready once the planner is not at work (no KRV.REQ) and has been
// seen at work or has written ZARN.ROO since the request (a planner may make and remove KRV.REQ
// between two ticks), or has left its done-file (deleted when the request was written).
void krvpoll(App& app) {
  NavState& n = app.nav;
  PlannerWait& w = n.planner;
  if (n.krvwait != 1) return;
  const bool req = app.files.exists("KRV.REQ");
  const bool written = app.files.stamp("ZARN.ROO") != w.krvroo;
  if (app.files.exists("KRVDONE.TXT") || (!req && (w.krvreqseen || written))) {
    n.krvwait = 0;
    planned(app);
  } else if (req) {
    w.krvreqseen = true;
  } else if (elapsed(app.timer(), w.krvasked) >= answertime) {
    n.krvwait = 0;
    showmsg(app.voice, "KRV.EXE did not answer");
  }
}

// Looks at one result file of the automatic planner; true when it is to be taken now: there,
// not empty, and at the size the last look found.
bool steady(const platform::Files& files, const std::string& name, long long& lastsize) {
  const long long size = filesize(files, name).value_or(-1);
  const bool same = size > 0 && size == lastsize;
  lastsize = size;
  return same;
}

void autopoll(App& app) {
  NavState& n = app.nav;
  PlannerWait& w = n.planner;
  if (!w.autowait) return;
  if (!w.rgitaken && steady(app.files, "ZARNAUTO.RGI", w.rgisize)) {
    w.rgitaken = true;
    n.rgifile = "ZARNAUTO.RGI";
    n.rgiloadx = app.gps.ownx + 2;  // forces the load near the car
    n.rgiloady = app.gps.owny + 2;
    readrgb(n, app.voice, app.geo, app.gps, app.win.zarn.rgitrace);
  }
  if (!w.rootaken && steady(app.files, "ZARNAUTO.ROO", w.roosize)) {
    w.rootaken = true;
    if (readroute(app, "ZARNAUTO.ROO")) {
      n.routeshown = 1;
      n.wpfollowon = routeon(app) ? 1 : 0;  // an empty route is not followed
    }
  }
  if (w.rgitaken && w.rootaken) {
    w.autowait = false;
  } else if (elapsed(app.timer(), w.autoasked) >= answertime) {
    w.autowait = false;
    if (!w.rgitaken && !w.rootaken) showmsg(app.voice, "ZARNAUTO.EXE did not answer");
  }
}

}  // namespace

KrvAsk writekrvinput(App& app) {
  NavState& n = app.nav;
  // While "O" waits, its request is the one pending, whatever became of the lease.
  if (n.planner.krvrunning || app.files.exists("KRVLEASE.TXT")) {
    app.sys.wav->beep();
    return KrvAsk::pending;
  }
  if (!canask(app, destset(n))) return KrvAsk::refused;
  const auto kept = keeproute(app);
  if (!kept) return KrvAsk::refused;
  app.files.remove("KRVDONE.TXT");
  const auto d = static_cast<std::size_t>(n.curdest);
  const auto now = app.sys.clock->now();
  std::string error;
  const std::vector<std::string> input{latlontext(app, app.gps.ownx, app.gps.owny),
                                       latlontext(app, n.destx[d], n.desty[d])};
  // The lease goes last: a planner in the background takes it as the sign of a whole request.
  if (!app.files.writelines("KRVINPUT.TXT", input, &error) ||
      !app.files.writelines("KRVLEASE.TXT", {text::datetext(now) + " " + text::timetext(now)}, &error)) {
    app.sys.wav->beep();
    showmsg(app.voice, error);
    return KrvAsk::refused;
  }
  n.planner.krvasked = app.timer();
  n.planner.krvreqseen = false;
  n.planner.krvroo = app.files.stamp("ZARN.ROO");
  n.planner.krvkept = *kept;
  return KrvAsk::written;
}

KrvEnd runkrv(App& app) {
  PlannerWait& w = app.nav.planner;
  if (w.krvrunning) {  // typed again while it waits
    app.sys.wav->beep();
    return KrvEnd::refused;
  }
  FreshDone done(app.files);  // before the request deletes it: a planner may answer at once
  const KrvAsk ask = writekrvinput(app);
  if (ask == KrvAsk::refused) return KrvEnd::refused;
  // The planner started answers the pending request all the same.
  if (ask == KrvAsk::pending) {
    const auto kept = keeproute(app);
    if (!kept) return KrvEnd::refused;
    w.krvkept = *kept;
  }
  Running running(w.krvrunning);
  std::string error;
  if (!app.sys.programs->start("KRV.EXE", {}, false, &error)) {
    showmsg(app.voice, "KRV.EXE: " + error);
    return KrvEnd::notstarted;
  }
  if (!pollwait(app, answertime, [&](float) { return done(); })) {
    showmsg(app.voice, "KRV.EXE did not answer");
    return KrvEnd::timedout;
  }
  planned(app);
  return KrvEnd::loaded;
}

void krvcheck(App& app) {
  krvpoll(app);
  autopoll(app);
}

void autocancel(NavState& n) {
  ++n.planner.autoseq;
  n.planner.autowait = false;
}

void autoplanner(App& app, float x, float y, const std::string& area) {
  NavState& n = app.nav;
  const GpsState& g = app.gps;
  if (!canask(app, !isnopos(x, y))) return;
  const unsigned seq = n.planner.autoseq;
  // Events run in between: a destination set meanwhile makes this request an old one.
  const auto superseded = [&] {
    app.doevents();
    return n.planner.autoseq != seq;
  };
  float dlat = 0, dlon = 0, olat = 0, olon = 0;
  osgbtoll(app.geo, x, y, dlat, dlon);
  osgbtoll(app.geo, g.ownx, g.owny, olat, olon);
  std::string own;
  gridreftext(app.geo, g.ownx, g.owny, own);
  const std::string dest = slotok(n.curdest) ? n.destname[static_cast<std::size_t>(n.curdest)] : "";
  const auto now = app.sys.clock->now();
  std::string error;
  if (!app.files.writelines("ZARNAUTO.TXT",
                            {"DESTINATION", area, dest, printed(dlat), printed(dlon), "CAR", own, printed(olat),
                             printed(olon), text::datetext(now), text::timetext(now)},
                            &error)) {
    app.sys.wav->beep();
    showmsg(app.voice, error);
    return;
  }
  if (superseded()) return;
  // Without the program the request stays for a planner that works on its own, and so do its
  // results: nothing is deleted, and nothing looked for.
  if (!app.sys.programs->exists("ZARNAUTO.EXE")) return;
  app.files.remove("ZARNAUTO.RGI");
  app.files.remove("ZARNAUTO.ROO");
  if (superseded()) return;
  if (!app.sys.programs->start("ZARNAUTO.EXE", {}, false)) return;
  if (superseded()) return;
  PlannerWait& w = n.planner;
  w.autowait = true;
  w.autoasked = app.timer();
  w.rgisize = w.roosize = -1;
  w.rgitaken = w.rootaken = false;
}

}  // namespace zarn
