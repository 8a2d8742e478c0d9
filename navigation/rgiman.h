// The guidance editor "rgimanform": instructions made by pointing at the map and appended to
// NEW.RGI.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;

class RgimanForm : public ui::Form {
 public:
  static constexpr const char* formname = "rgimanform";
  RgimanForm();
};

// Opens the editor: it takes map clicks from now on.
void showrgiman(App& app);
// A map click while the editor is open, at frame position (x, y) km: the left button places
// the instruction, another button gives its direction.
void rgimanclick(App& app, int button, float x, float y);

}  // namespace zarn
