// The calls that must still go up the layers in the middle of a piece of work: a lower
// subsystem calls the hook, start-up wires it to the higher subsystem's procedure. Each hook is
// listed in ARCHITECTURE.md with its reason. An unwired hook does nothing.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "gpsinput/linkstate.h"

namespace zarn {
struct App;
struct LineResult;
struct PlotStep;

struct Hooks {
  // --- The GPS road ---
  // A line the serial poll has just parsed: its consumer shows it, moves the car and passes it
  // on at once, in the order the lines arrive (the poll also runs inside waits).
  std::function<void(const LineResult&, std::string& line)> sentence;
  // A sentence the file link left: the demo gives way and it is taken as received.
  std::function<void(std::string& line)> filelink;

  // --- Speech, map display and navigation reaching up ---
  // Passing a landmark, or announcing a new destination, starts a periodic report's interval
  // afresh at that moment (kind 1 where we are, 2 the destination, 3 the direction of travel).
  std::function<void(int kind)> restartreport;
  // The where-we-are report pulls the GPS correction onto the road at once: a fix taken in
  // while the landmark is being spoken uses the new correction.
  std::function<void(float east, float north)> setgpscorr;
  // A listed map's picture is missing: the program ends, and the catalogue's reading, which
  // watches main.quit, stops where it is.
  std::function<void()> endprogram;
  // Each car update, whoever asks for it (a fix, a unit's report, the keys), runs the trip meter,
  // the destination read-outs and the instruments before the car is drawn.
  std::function<void()> tripupdate;
  // A redraw, wherever the new map was chosen (a fix may choose one), places the direction-
  // finding bearing lines and the destination marker on the new picture after the trail.
  std::function<void()> redrawdest;
  // A redraw in multi-vehicle mode places the vehicles on the new picture before the found
  // place's symbol, as it places everything else.
  std::function<void()> drawvehicles;
  // A window of a lower subsystem (the instruments) hands its keys to the main window's key
  // handler, which may change or clear the key.
  std::function<void(int& key)> keycmd;
  // A filter run of the playback window (GPS input) moves the map, the trail, the read-outs and
  // the car with each record it reads: the map chosen for one record is the one the next is
  // drawn on.
  std::function<void(App&, const PlotStep&)> plotmap;

  // The vehicle link: the serial poll and the trip log (GPS input) hand up to vehicle tracking
  // and the main window.
  // A completed link line goes to the link handler at once: the poll reads the next character
  // in the state the line leaves (a length line makes it take a binary record of that length).
  std::function<void(App&, std::string& line, LinkFrame frame)> linkline;
  // The call state, the trip log's name and the seconds left of a wait are shown in the vehicle
  // windows as they change, while a call waits on the modem's and the service's replies.
  std::function<void(App&, const LinkShow&)> showlink;
  // A log line is printed as it is logged; a printer that fails is reported by the main window,
  // which switches printing off before the next line.
  std::function<void(App&, const std::string&)> printline;
};

// Calls a hook when it is wired.
template <class F, class... A> void callhook(const F& hook, A&&... args) {
  if (hook) hook(std::forward<A>(args)...);
}

}  // namespace zarn
