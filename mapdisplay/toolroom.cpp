#include "mapdisplay/toolroom.h"

#include <algorithm>
#include <initializer_list>
#include <tuple>

#include "app/app.h"

namespace zarn {

std::optional<ui::Rect> toolarea(const App& app) {
  const MainState& m = app.main;
  if (m.screenwidth <= ZarnForm::mapwidth && m.screenheight <= ZarnForm::mapheight) return std::nullopt;
  return ui::Rect{m.screenleft, m.screentop, static_cast<int>(m.screenwidth), static_cast<int>(m.screenheight)};
}

std::vector<ui::Taken> toolroom(App& app, const ui::Form* self) {
  std::vector<ui::Taken> taken = ui::taken(app.win.all(), self);
  const ZarnForm& z = app.win.zarn;
  if (!z.visible || &z == self) return taken;
  const auto keep = [&](const ui::Rect& r) { taken.push_back({r, ui::coverkept}); };
  if (!z.borderless) {
    keep(ui::framed(z));
    return taken;
  }
  const ui::Image& cross = z.Image2;
  keep({z.left + cross.left - 4, z.top, cross.width + 8, cross.top + cross.height + 4});
  int strip = z.height;
  for (const ui::Control* c : std::initializer_list<const ui::Control*>{&z.saytxt, &z.searchdat, &z.search, &z.llbox,
                                                                         &z.showcmd, &z.logotxt, &z.Image1})
    strip = std::min(strip, c->top);
  if (strip < z.height) keep({z.left, z.top + strip, z.width, z.height - strip});
  return taken;
}

void placetoolwindow(App& app, ui::Form& f) {
  const std::optional<ui::Rect> area = toolarea(app);
  if (!area || !f.topmost || &f == &app.win.zarn) return;
  std::tie(f.left, f.top) = ui::findplace(f, *area, toolroom(app, &f));
}

}  // namespace zarn
