// The playback filter window "fform", as far as the receiver lines write it: the labels of
// the eight switches of a "$GPSTA,S," unit.
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;

class FForm : public ui::Form {
 public:
  static constexpr const char* formname = "fform";
  FForm();
  ui::ControlArray<ui::Label> switches;  // switches(0)..switches(7)
};

// Shows the playback filter window (made on first use).
void showfform(App& app);

}  // namespace zarn
