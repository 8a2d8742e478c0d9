// State of the main window, start-up, the main tick and the commands.
#pragma once

namespace zarn {

struct MainState {
  bool tickbusy_guard = false;  // set while the main tick runs; the tick never re-enters itself
  bool quit = false;            // the exit sequence has ended the program
  long ticks = 0;               // main ticks run since start-up
};

}  // namespace zarn
