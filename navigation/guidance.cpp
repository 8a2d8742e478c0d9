#include "navigation/guidance.h"

#include "app/app.h"

namespace zarn {

void moreinfo(App& app, const std::string& a1, const std::string& gridref, const std::string& key,
              std::string& wav, std::string& text) {
  // TODO: look key up in ZARN.MOR, then <6-figure gridref>.RGI / .MOR and "$" kind ".MOR";
  // store gridref in morefile when a prompt is found.
  (void)app, (void)a1, (void)gridref, (void)key;
  wav.clear();
  text.clear();
}

void readrgb(App& app) {
  // TODO: read the route-guidance base file rgifile; rgiexists := 1 when it holds instructions.
  (void)app;
}

void rgistep(App& app) {
  // TODO: the route-guidance step (distance to the next instruction, window, spoken prompt).
  (void)app;
}

}  // namespace zarn
