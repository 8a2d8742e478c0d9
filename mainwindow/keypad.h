// The touch windows: the picture key pad "kform" and the on-screen keyboard "qkform".
#pragma once

#include "platform/ui.h"

namespace zarn {
struct App;

class KForm : public ui::Form {
 public:
  static constexpr const char* formname = "kform";
  static constexpr int keys = 16;
  KForm();
  ui::ControlArray<ui::Image> Picture1;  // picture keys 0..15
};

class QkForm : public ui::Form {
 public:
  static constexpr const char* formname = "qkform";
  QkForm();
};

// Shows the key pad or the keyboard (made on first use), above the map.
void showkform(App& app);
void showqkform(App& app);

}  // namespace zarn
