#include "mainwindow/wiring.h"

#include "app/app.h"
#include "mainwindow/takefix.h"

namespace zarn {

void wirehooks(App& app) {
  Hooks& h = app.hooks;
  // --- The GPS road ---
  h.sentence = [](App& a, const LineResult& r, std::string& line) { applyline(a, r, line); };
  h.filelink = [](App& a, std::string& line) { applyfilelink(a, line); };
}

}  // namespace zarn
