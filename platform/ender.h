// The end of the process for the running program.
#pragma once

#include "platform/services.h"

namespace zarn::platform {

// Ends the process at once with the status: buffered output is written out first, and no
// destructor, exit handler, event or timer of the program runs after it. Files the program
// keeps open are closed by the system; what must be complete on disk is closed before the call.
class ProcessEnder final : public Ender {
 public:
  [[noreturn]] void end(int status) override;
};

}  // namespace zarn::platform
