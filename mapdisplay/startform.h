// The start window "start": the picture with its two lines of text and the emblem, the
// progress text and line of start-up, and the error line. The window and its progress text are
// the map display's, as the map catalogue reports on it while it is read; the main window's
// start-up draws the rest (mainwindow/startwin.h).
#pragma once

#include <string>

#include "platform/ui.h"

namespace zarn {
namespace platform {
class EventPump;
}

// The window is its own picture: the start pictures are its background picture and the texts
// and the emblem are drawn on its drawing layer.
class StartForm : public ui::Form {
 public:
  static constexpr const char* formname = "start";
  StartForm();
  ui::Label trace;             // progress text
  ui::Label errmsg;            // a start-up failure
  ui::Label title, titleshad;  // the program's title and its shadow
  ui::Label cpr, cprshad;      // a notice and its shadow
  ui::Line startline;          // progress line, growing from the centre
};

// Shows a progress text in yellow on the start window f, letting the events run so that it
// shows at once while the window is up.
void setstatlabel(StartForm& f, platform::EventPump& events, const std::string& text);

}  // namespace zarn
