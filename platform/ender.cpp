#include "platform/ender.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace zarn::platform {

void ProcessEnder::end(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);  // every C stream (OutputFile writes each log record as it is flushed)
  // Not exit(): static destructors would run while the window system's and the sound server's
  // threads still use what they destroy.
  std::_Exit(status);
}

}  // namespace zarn::platform
