#include "mainwindow/popsearch.h"

#include "app/app.h"

namespace zarn {

void pcsearch(App& app, const std::string& code, std::string& name, std::string& county, float& x, float& y,
              int& more) {
  (void)app, (void)code, (void)county, (void)x, (void)y;
  name = "-";
  more = 0;
}

void pcrecord(App& app, float x, float y, float& foundx, float& foundy, std::string& name, std::string& county,
              int& n) {
  (void)app, (void)x, (void)y, (void)foundx, (void)foundy, (void)county, (void)n;
  name = "-";
}

}  // namespace zarn
