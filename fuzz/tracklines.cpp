// The track, .AGD and receiver-specific line readers. Every line goes to the track and .AGD
// readers (a replay hands them whatever its file holds), and to the receiver-line handler the
// sentence parser would give it to.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzapp.h"
#include "gpsinput/receiverlines.h"
#include "gpsinput/tracklines.h"
#include "mainwindow/takefix.h"
#include "platform/files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool switches = [] {
    // The switch descriptions the switch-state lines are reported from.
    zarn::platform::Files files(zarn::fuzz::scratch());
    return files.write("SWITCHES.CFG",
                       "3\r\n10000001,Door open,door.wav,Door shut,shut.wav\r\n"
                       "01000000,\"Engine, on\",eng.wav,Engine off,off.wav\r\n11111111,On,a.wav,Off,b.wav\r\n");
  }();
  (void)switches;
  auto app = zarn::fuzz::makeapp();
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= in.size(); ++i) {
    if (i == in.size() || in[i] == '\n') {
      const std::string line(in.substr(start, i - start));
      if (zarn::trkline(*app, line)) zarn::followtrack(*app);
      zarn::parsefix(*app, line);
      zarn::followtrack(*app);
      if (line.starts_with("SONY")) zarn::sonyfix(app->gps, app->geo, line);
      if (line.starts_with(">RPV")) zarn::taiprpv(app->gps, app->geo, line);
      if (line.starts_with("$GPSTA,S,")) zarn::gpstaswitch(app->gps, app->voice, app->win, line);
      if (line.size() >= 6 && line.compare(3, 3, "SEC") == 0) zarn::secsentence(app->gps, app->geo, line);
      zarn::timetosecs(line);
      start = i + 1;
    }
  }
  return 0;
}
