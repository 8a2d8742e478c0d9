// The track, .AGD and receiver-specific line readers: every line of the input to each of them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzzapp.h"
#include "gpsinput/receiverlines.h"
#include "gpsinput/tracklines.h"
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
      zarn::trkline(*app, line);
      zarn::parsefix(*app, line);
      zarn::secsentence(*app, line);
      zarn::sonyfix(*app, line);
      zarn::gpstaswitch(*app, line);
      zarn::taiprpv(*app, line);
      zarn::timetosecs(line);
      start = i + 1;
    }
  }
  return 0;
}
