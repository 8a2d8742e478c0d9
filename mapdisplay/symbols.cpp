#include "mapdisplay/symbols.h"

#include "app/app.h"
#include "platform/textrules.h"

namespace zarn {

void placesymbol(App& app, const std::string& code, float x, float y, float x2, float y2) {
  // TODO: choose "$" code ".ICO" or its family icon, place sym at (x - 16, y - 16) and the leader
  // line vecto, shown only while a found place exists.
  (void)app;
  (void)code;
  (void)x;
  (void)y;
  (void)x2;
  (void)y2;
}

void showsymbol(App& app, float x, float y, const std::string& name) {
  // TODO: move sym and its shadowed label to (x, y), keeping the label on the window.
  (void)app;
  (void)x;
  (void)y;
  (void)name;
}

void showdest(App& app, float x, float y, int slot) {
  // TODO: choose the map for the destination when the map follows it, and place dest with its
  // shadowed label at the position's pixel unless no destination is set.
  (void)app;
  (void)x;
  (void)y;
  (void)slot;
}

void showheading(App& app) {
  auto& box = app.win.zarn.hdgbox;
  const int h = app.gps.ownhdg;
  const ui::Colour colour = h == -1 ? ui::yellow : ui::green;
  box.set(h == -1 ? std::string("?") : text::format(h, "000"));
  if (box.backcolor != colour) box.backcolor = colour;
}

}  // namespace zarn
