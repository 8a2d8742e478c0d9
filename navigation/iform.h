// The instruments window "iform", as far as start-up and the status colours touch it.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;

class IForm : public ui::Form {
 public:
  static constexpr const char* formname = "iform";
  IForm();
  ui::Image Image1;   // the instrument panel picture
  ui::Shape gpslight; // the GPS state light
};

// Loads the instruments window's picture for the current language (prefixed file first).
void loadinstrpic(App& app);

}  // namespace zarn
