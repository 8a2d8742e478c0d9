// The application object: every subsystem's state, the windows and the platform services.
// Procedures take it by reference; tests build a fresh one with fakes.
#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/hooks.h"
#include "geodesy/geostate.h"
#include "gpsinput/gpsstate.h"
#include "mainwindow/mainstate.h"
#include "mainwindow/zarnform.h"
#include "mapdisplay/mapview.h"
#include "navigation/navstate.h"
#include "platform/files.h"
#include "platform/services.h"
#include "speech/speechstate.h"
#include "speech/voice.h"
#include "vehicles/vehicletable.h"

namespace zarn {

using platform::Services;

// The windows: the main window exists from the start; the others are made on first use and
// hidden rather than closed.
class Windows {
 public:
  explicit Windows(const ui::TextMetrics* metrics) : metrics_(metrics) { zarn.metrics = metrics; }
  ZarnForm zarn;

  template <class F> F& get() {
    auto it = forms_.find(F::formname);
    if (it == forms_.end()) {
      auto f = std::make_unique<F>();
      f->metrics = metrics_;
      if (ontop_.count(F::formname)) f->topmost = true;
      it = forms_.emplace(F::formname, std::move(f)).first;
    }
    return static_cast<F&>(*it->second);
  }
  template <class F> bool loaded() const { return forms_.count(F::formname) != 0; }
  // A window by its name, or null when it has not been made yet.
  ui::Form* find(std::string_view name) {
    if (name == zarn.name()) return &zarn;
    auto it = forms_.find(name);
    return it == forms_.end() ? nullptr : it->second.get();
  }
  // Keeps the windows named above the main window: those made already now, the others as they
  // are made.
  void keepontop(std::initializer_list<std::string_view> names) {
    for (std::string_view n : names) {
      ontop_.emplace(n);
      if (ui::Form* f = find(n)) f->topmost = true;
    }
  }
  // Every window made so far, the main window first.
  std::vector<ui::Form*> all() {
    std::vector<ui::Form*> out{&zarn};
    for (auto& [n, f] : forms_) out.push_back(f.get());
    return out;
  }

 private:
  const ui::TextMetrics* metrics_;
  std::map<std::string, std::unique_ptr<ui::Form>, std::less<>> forms_;
  std::set<std::string, std::less<>> ontop_;
};

struct App {
  // Services default to the headless ones (system clock, no serial port, and recording stand-ins
  // for sound, speech, outside programs and the printer, which keep what they are asked and
  // start or play nothing; message boxes answered with their default button); the executable
  // and the tests replace what they need before use. The headless end of the program throws
  // platform::ProgramEnded instead of ending the process.
  App();
  explicit App(Services s);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Services sys;
  platform::Files files;

  GeoState geo;
  SpeechState speech;
  GpsState gps;
  MapView map;
  MainState main;
  NavState nav;
  VehicleTable veh;

  Windows win;
  Voice voice;  // speaking: bound to the members above
  Hooks hooks;  // wired by the constructor

  // Shortcuts to the services.
  float timer() const { return sys.clock->timer(); }
  void doevents() { sys.events->doevents(); }
  int msgbox(const std::string& prompt, int buttons, const std::string& title) {
    return sys.dialogs->msgbox(prompt, buttons, title);
  }
  // Waits while letting events run; the one way the program waits.
  void wait(float seconds) { waitfor(seconds, {}); }
  // The same wait, ended early as soon as done() holds (tested after each pass of events);
  // true when done() ended it.
  bool waitfor(float seconds, const std::function<bool()>& done) {
    return platform::waitfor(*sys.clock, *sys.events, seconds, done);
  }
};

}  // namespace zarn
