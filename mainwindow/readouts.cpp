#include "mainwindow/readouts.h"

#include "app/app.h"

namespace zarn {

void showgridref(App& app, const std::string& text) {
  ui::Label& box = app.win.zarn.gridbox;
  if (text.size() <= 14)
    box.setfontsize(12);
  else if (text.size() == 15)
    box.setfontsize(9.75);
  else
    box.setfontsize(8.25);
  box.set(text);
}

void setstatcol(App& /*app*/, ui::Colour /*colour*/) {
  // TODO: when the colour differs from llbox's background, paint the backgrounds of llbox,
  // gridbox and hdgbox and the border of vecto in it.
}

}  // namespace zarn
