// Small services of the main window: the end of the program, the coded-message look-up,
// printing one line and the status fill colour.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui.h"

namespace zarn {
struct App;
class ControlsForm;
struct GpsState;
struct MainState;
class StartForm;
struct Voice;
class Windows;
class ZarnForm;

// Closes the trip log and ends the program once the event being handled is over.
void endprogram(App& app);


// Prints one line of the log. When the printer fails, says so with the system's reason,
// switches printing off and tells the user how to switch it on again.
void printline(Voice& voice, GpsState& g, Windows& win, const std::string& line);
// The log's lines printed close together go as one job: hands them over once they pause, and
// says so as printline does when a job is refused. Never waits for the printer.
void settleprinter(Voice& voice, GpsState& g, Windows& win);

// The fill colour of the status shape on the instruments and stand-by windows: red no
// position or fix void, yellow no speed, green good.
void setfillcol(MainState& m, Windows& win, ui::Colour colour);

// The paged icon panel "controls": hide, show (showing it ends the demo state) and query.
void hidecontrols(ControlsForm& c);
void showcontrols(ControlsForm& c, MainState& m, ZarnForm& z);
bool controlsvis(const ControlsForm& c);

// Hands a file name to the outside viewer PICVIEWR.EXE (through PICVIEWR.CFG when the name is
// not empty) and starts it without waiting.
void runpicviewr(Voice& voice, const std::string& name);

// Speaks the greeting for the time of day: hello, good morning, good afternoon, good evening.
void greeting(Voice& voice);
// The greeting's prompt name (without ".wav") for a time of day in seconds since midnight.
std::string greetingname(float secs);

// The start window's progress line for a fraction 0 (a point at the centre) to 1 (full width).
void startbar(StartForm& f, float fraction);

}  // namespace zarn
