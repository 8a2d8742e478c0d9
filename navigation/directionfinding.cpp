#include "navigation/directionfinding.h"

#include "app/app.h"

namespace zarn {

void dfinput(App& app, std::string& line) {
  // TODO: a bearing line ("/") records and draws the bearing through dfbearing; a new bearing
  // or a move records the direction-finder fix; otherwise the line sets the own heading and
  // velocity.
  (void)app;
  (void)line;
}

void dfinput2(App& app, std::string& line) {
  // TODO: the bearing from character 2 on, an optional value after "/".
  (void)app;
  (void)line;
}

void dfbearing(App& app, float bearing, int kind) {
  // TODO: clear the ten bearing lines for 360 or more (other than 888), else announce the
  // bearing and draw it among the last ten.
  (void)app;
  (void)bearing;
  (void)kind;
}

}  // namespace zarn
